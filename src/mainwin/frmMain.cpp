#include "mainwin/frmMain.h"

#include "mainwin/ContentBox.h"
#include "mainwin/FontSubstitutes.h"
#include "mainwin/Layout.h"
#include "mainwin/NoteFiles.h"
#include "mainwin/OutsideEdits.h"
#include "mainwin/PageContent.h"
#include "mainwin/PageSlots.h"
#include "mainwin/QuitCoordinator.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/SettingsFile.h"
#include "mainwin/StatusPanels.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabStrip.h"
#include "mainwin/Twips.h"
#include "persist/FolderReadAhead.h"
#include "platform/DesktopNotifier.h"
#include "platform/PlatformServices.h"
#include "platform/TrayIcon.h"
#include "store/clsTabCont.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QImageReader>
#include <QPushButton>
#include <QStackedWidget>
#include <QWindowStateChangeEvent>
#include <utility>

namespace {

const QString StatusDateFormat = QStringLiteral("yy/MM/dd HH:mm");

} // namespace

frmMain::frmMain(PlatformServices &platform, const QString &appDir, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_appDir(appDir)
    , m_tabs(platform)
    , m_tabMain(new TabStrip)
    , m_staMain(new StatusPanels)
    , m_pages(new PageSlots(*m_tabMain, *this, *this))
    , m_menus(this)
    , m_settings(std::make_unique<SettingsFile>(*this))
    , m_noteFiles(std::make_unique<NoteFiles>(m_tabs, *this, platform, appDir, *m_settings))
    , m_recovery(new RecoveryFile(
          m_tabs, *this, *this, platform, m_noteFiles->known(),
          [this] { return m_outside->knownStamps(); }, appDir, this))
    , m_outside(new OutsideEdits(*this, *m_noteFiles, *m_settings))
    , m_quit(new QuitCoordinator(*this, platform.modals()))
    , m_saves(
          platform.modals(), [this] { return saveOnce(); }, [this] { m_recovery->noteChange(); })
{
    installFontSubstitutes();
    setWindowTitle(QStringLiteral("Nokuri"));
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        // Named as PNG: guessing the format would load every image plugin to ask it first.
        QImageReader reader(QStringLiteral(":/icons/nokuri-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    // For every window, so dialogs and message boxes carry the icon too.
    QApplication::setWindowIcon(icon);
    m_tabs.attachPages(this);
    m_tabs.addChangeListener([this] { noteChange(); });

    auto *client = new QWidget;
    m_tabMain->setParent(client);
    m_tabMain->setObjectName(QStringLiteral("tabMain"));
    setCentralWidget(client);
    // The status bar settles its height after the window's own resize, so the strip follows
    // the client area rather than the window.
    client->installEventFilter(this);
    m_staMain->setObjectName(QStringLiteral("staMain"));
    m_staMain->setPanelWidths(twips());
    setStatusBar(m_staMain);

    const Twips scale = twips();
    resize(scale.xToPixels(5745), scale.yToPixels(4380));

    // The strip starts with one tab, and page 0 is there before any tab record.
    m_tabMain->addTab();
    m_pages->add();

    connect(m_tabMain, &TabStrip::mousePressed, this, &frmMain::tabMain_MouseDown);
    connect(m_tabMain, &TabStrip::aboutToChange, this, &frmMain::tabMain_BeforeClick);
    connect(m_tabMain, &TabStrip::changed, this, &frmMain::tabMain_Click);
    connect(m_staMain, &StatusPanels::panelClicked, this, &frmMain::staMain_PanelClick);
    connect(m_pages, &PageSlots::titleChosen, this, &frmMain::cboTitle_Click);
    connect(m_pages, &PageSlots::titleButtonClicked, this, &frmMain::cmdTitle_Click);
    connect(m_pages, &PageSlots::typed, this, &frmMain::noteChange);
    connect(m_pages, &PageSlots::contentRightPressed, this, &frmMain::contentRightPressed);

    // The add items' shortcut keys act in the window while the menu is closed.
    addActions({m_menus.mnuTabAdd, m_menus.mnuTabCBAdd, m_menus.mnuTabFLAdd, m_menus.mnuTabFind});

    connect(m_menus.mnuTabSave, &QAction::triggered, this, &frmMain::SaveAll);
    connect(m_menus.mnuTabQuit, &QAction::triggered, this, &frmMain::requestQuit);
}

frmMain::~frmMain() = default;

void frmMain::Form_Load(FolderReadAhead *readAhead)
{
    std::optional<FolderReadAhead> readHere;
    if (!readAhead)
        readAhead = &readHere.emplace(m_appDir);
    m_tray = m_platform.addTrayIcon(windowIcon(), QStringLiteral("Nokuri"));
    connect(m_tray.get(), &TrayIcon::leftPressed, this, &frmMain::trayLeftPressed);
    connect(m_tray.get(), &TrayIcon::rightPressed, this, &frmMain::trayRightPressed);

    ApplyScrlType(ScrollType::Vertical);
    m_tabs.DefFontName = QStringLiteral("ＭＳ ゴシック");
    m_tabs.DefFontSize = 10;
    m_makeBackup = true;

    m_pages->setDrafting(true);
    m_noteFiles->ReadTabFiles(readAhead);
    if (m_tabs.count() == 0) {
        clsTabCont &first = m_tabs.append();
        first.AddTitle(0, QString(), QString());
        first.setDispIndex(0);
        first.DispCont(0);
        selectTitleItem(0, 0);
        first.DispCont(0);
    }
    m_settings->ReadIni();
    m_pages->setDrafting(false);

    const int s = selectedTab();
    m_tabMain->pageStack()->setCurrentWidget(&page(s));
    page(s).txtCont()->setEnabled(false);
    EnableTabPage(true, s);

    m_outside->filesRead();
    m_recovery->offerRestore();
    reportMissedAlarms();
    DispStatus();
    m_outside->start(*m_recovery);
    m_quit->startUpFinished();
    m_pages->buildDraftsWhenIdle();
}

void frmMain::noteChange()
{
    if (!m_quit->startedUp())
        return;
    m_saves.noteChange();
    m_recovery->noteChange();
}

void frmMain::reportMissedAlarms()
{
    QString text;
    int firstMissed = -1;
    const QDateTime now = m_platform.now();
    for (int i = 0; i < m_tabs.count(); ++i) {
        clsTabCont &record = m_tabs[i];
        if (record.OnAlm() && record.Alarm() <= now) {
            record.setOnAlm(false);
            text += QStringLiteral("タブ「") + record.Title(0) + QStringLiteral("」\r\n");
            if (firstMissed < 0)
                firstMissed = i;
        }
    }
    if (text.isEmpty())
        return;
    text += QStringLiteral("のアラームが表示されませんでした");
    m_platform.notifier().notifyAlarm(text, firstMissed);
    m_platform.showMessage(text, QStringLiteral("Nokuriのアラーム"), MessageIcon::None);
}

bool frmMain::SaveAll()
{
    return m_saves.save();
}

bool frmMain::saveOnce()
{
    // A failed write is in the log; the save that follows holds the changes in any case.
    m_recovery->flush();
    const bool saved = m_outside->beforeSave() && m_noteFiles->SaveAll(m_makeBackup);
    if (saved) {
        m_outside->saved();
        m_recovery->discard();
    }
    return saved;
}

bool frmMain::Form_Unload()
{
    // A quit that cut the recovery question short decided nothing: saving now would make the
    // recovery file look older than the notes, and it would not be offered again.
    while (!m_recovery->undecided() && !SaveAll()) {
        int choice = m_platform.askQuestion(
            QStringLiteral("メモを保存できませんでした。どうしますか?"), QStringLiteral("Nokuri"),
            {QStringLiteral("もう一度保存する"), QStringLiteral("保存せずに終了する"),
                QStringLiteral("終了しない")});
        // Quitting unsaved keeps the recovery file for the next start.
        if (choice == 1 && m_recovery->flush())
            break;
        if (choice == 1) {
            choice = m_platform.askQuestion(
                QStringLiteral(
                    "変更を回復用ファイルにも書き込めませんでした。保存せずに終了すると、"
                    "保存していない変更は失われます。"),
                QStringLiteral("Nokuri"),
                {QStringLiteral("もう一度保存する"), QStringLiteral("変更を捨てて終了する"),
                    QStringLiteral("終了しない")});
            if (choice == 1)
                break;
        }
        if (choice != 0)
            return false;
    }
    m_tray.reset();
    return true;
}

void frmMain::requestQuit()
{
    m_quit->request();
}

void frmMain::commitData()
{
    if (m_quit->startedUp() && !m_recovery->undecided())
        SaveAll();
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    // Closed by the window manager while a save runs: a quit, served once the save is done.
    if (m_saves.running()) {
        event->ignore();
        requestQuit();
        return;
    }
    if (!Form_Unload()) {
        event->ignore();
        return;
    }
    m_unloaded = true;
    event->accept();
    emit unloaded();
}

void frmMain::restoreWindow()
{
    showNormal();
    show();
    raise();
    activateWindow();
}

int frmMain::selectedTab() const
{
    return m_tabMain->selectedPosition() - 1;
}

void frmMain::selectTab(int position)
{
    m_tabMain->selectTab(position);
}

void frmMain::showEntry(int tab, int entry)
{
    m_tabMain->pressTab(Qt::LeftButton, m_tabMain->mapToGlobal(QPoint()), tab);
    page(tab).cboTitle()->setCurrentIndex(entry);
    cboTitle_Click(tab);
}

TabPage &frmMain::page(int index) const
{
    return m_pages->page(index);
}

void frmMain::AddTabPage(const QString &title, const QString &content)
{
    m_tabMain->addTab();
    const int n = m_tabMain->count() - 1;
    m_pages->add();

    clsTabCont &record = m_tabs.append();
    record.AddTitle(n, title, content);
    record.setDispIndex(0);
    record.DispCont(n);
    selectTitleItem(n, 0);
    record.DispCont(n);
}

void frmMain::removeLastTabPage()
{
    m_pages->removeLast();
    m_tabMain->removeLastTab();
}

void frmMain::EnableTabPage(bool enable, int index)
{
    if (index < 0 || index > tabCount() - 1) {
        m_platform.showMessage(QStringLiteral("指定したインデックスが正しくありません"),
            QStringLiteral("プロパティエラー"), MessageIcon::Critical);
        return;
    }
    TabPage &target = page(index);
    target.cboTitle()->setEnabled(enable);
    target.cmdTitle()->setEnabled(enable);
    target.txtCont()->setEnabled(enable);
}

Twips frmMain::twips() const
{
    return Twips::of(*this);
}

void frmMain::ResizeTabStrip()
{
    const Twips scale = twips();
    const QSize client = centralWidget()->size();
    const QSize outer
        = outerSizeForClient(scale.yFromPixels(client.height()), scale.xFromPixels(client.width()));
    m_tabMain->setGeometry(scale.toPixels(tabStripRect(outer.height(), outer.width())));
}

void frmMain::ArrangeControls()
{
    m_pages->arrange();
}

void frmMain::Form_Resize()
{
    // Hidden in the tray only where there is a tray to come back from.
    if (isMinimized() && m_platform.isSystemTrayAvailable())
        hide();
    ResizeTabStrip();
    ArrangeControls();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        ResizeTabStrip();
        ArrangeControls();
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::refreshStripCaption(int position)
{
    m_tabMain->setCaption(position, m_tabs[position - 1].TabTitle());
}

void frmMain::setScrlType(const QString &value)
{
    const std::optional<ScrollType> type = scrollTypeFromLetter(value);
    if (!type) {
        m_platform.showMessage(QStringLiteral("スクロールバーの指定タイプが正しくありません"),
            QStringLiteral("プロパティエラー"), MessageIcon::Critical);
        return;
    }
    if (*type == m_scrlType)
        return;
    m_scrlType = *type;
    noteChange();
}

void frmMain::ApplyScrlType(ScrollType type)
{
    // One box per page serves every type, so its text, font, visibility and enabled state
    // carry over as they are; only its scroll bars and wrapping change.
    if (type == m_scrlType)
        return;
    m_pages->setScrollType(type);
    m_scrlType = type;
    noteChange();
}

void frmMain::setMakeBackup(bool value)
{
    if (value == m_makeBackup)
        return;
    m_makeBackup = value;
    noteChange();
}

void frmMain::DispStatus()
{
    const clsTabCont &record = m_tabs[selectedTab()];
    m_staMain->setPanelText(1, record.Crt().toString(StatusDateFormat));
    if (!record.OnAlm()) {
        m_staMain->setPanelText(2, QStringLiteral("Alarm No"));
        return;
    }
    m_staMain->setPanelText(
        2, QStringLiteral("Alarm ") + record.Alarm().toString(StatusDateFormat));
}

void frmMain::appendTitleItem(int tab, const QString &text)
{
    m_pages->content(tab).appendTitle(text);
}

void frmMain::setTitleItem(int tab, int pos, const QString &text)
{
    page(tab).cboTitle()->setItemText(pos, text);
}

void frmMain::removeTitleItem(int tab, int pos)
{
    page(tab).cboTitle()->removeItem(pos);
}

int frmMain::titleItemCount(int tab) const
{
    return m_pages->content(tab).titleCount();
}

void frmMain::selectTitleItem(int tab, int pos)
{
    m_pages->content(tab).selectTitle(pos);
    cboTitle_Click(tab);
}

QString frmMain::boxText(int tab) const
{
    return m_pages->content(tab).text();
}

void frmMain::setBoxText(int tab, const QString &text)
{
    m_pages->content(tab).setText(text);
}

void frmMain::setBoxEntry(int tab, std::shared_ptr<const StoredEntry> entry)
{
    m_pages->content(tab).setEntry(std::move(entry));
}

std::shared_ptr<const StoredEntry> frmMain::boxEntry(int tab) const
{
    return m_pages->content(tab).entry();
}

void frmMain::setBoxVisible(int tab, bool visible)
{
    m_pages->content(tab).setVisible(visible);
}

void frmMain::setBoxFont(int tab, const QString &name, float size)
{
    m_pages->content(tab).setFont(name, size);
}

void frmMain::tabMain_MouseDown(Qt::MouseButton button, const QPoint &globalPos)
{
    const int s = selectedTab();
    m_tabs[s].MoveCont(s);
    if (button != Qt::RightButton)
        return;
    const bool canAdd = tabCount() < TabSet::MaxTabs;
    m_menus.mnuTabAdd->setEnabled(canAdd);
    m_menus.mnuTabCBAdd->setEnabled(canAdd);
    m_menus.mnuTabFLAdd->setEnabled(canAdd);
    m_menus.mnuTabDel->setEnabled(tabCount() > 1);
    m_platform.popupMenu(m_menus.mnuTab, globalPos);
    // The add items' shortcut keys must keep working; the commands check the limit themselves.
    for (QAction *add : {m_menus.mnuTabAdd, m_menus.mnuTabCBAdd, m_menus.mnuTabFLAdd})
        add->setEnabled(true);
}

void frmMain::tabMain_BeforeClick()
{
    EnableTabPage(false, selectedTab());
}

void frmMain::tabMain_Click()
{
    const int n = selectedTab();
    clsTabCont &record = m_tabs[n];
    const int d = record.DispIndex();
    EnableTabPage(true, n);
    record.DispTitle(n, d);
    record.DispCont(n);
    m_tabMain->pageStack()->setCurrentWidget(&page(n));
    DispStatus();
}

void frmMain::cboTitle_Click(int index)
{
    clsTabCont &record = m_tabs[index];
    record.MoveCont(index);
    record.setDispIndex(m_pages->content(index).selectedTitle());
    record.DispCont(index);
}

void frmMain::cmdTitle_Click(int index)
{
    m_tabs[index].MoveCont(index);
    emit titleButtonClicked(index, page(index).cboTitle()->currentIndex());
    refreshStripCaption(index + 1);
    ArrangeControls();
}

void frmMain::staMain_PanelClick(int panel, const QPoint &globalPos)
{
    if (panel == 1)
        m_tabs[selectedTab()].SetCrt();
    if (panel == 2)
        m_platform.popupMenu(m_menus.mnuAlm, globalPos);
    DispStatus();
}
