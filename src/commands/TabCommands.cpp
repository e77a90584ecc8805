#include "commands/TabCommands.h"

#include "commands/ImportedText.h"
#include "commands/frmOmidasi.h"
#include "mainwin/TabStrip.h"
#include "mainwin/Twips.h"
#include "mainwin/frmMain.h"
#include "platform/PlatformServices.h"
#include "store/clsTabCont.h"

#include <QAction>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <memory>

TabCommands::TabCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
    const MainMenus &menus = main.menus();
    connect(menus.mnuTabAdd, &QAction::triggered, this, &TabCommands::mnuTabAdd_Click);
    connect(menus.mnuTabCBAdd, &QAction::triggered, this, &TabCommands::mnuTabCBAdd_Click);
    connect(menus.mnuTabFLAdd, &QAction::triggered, this, &TabCommands::mnuTabFLAdd_Click);
    connect(menus.mnuTabDel, &QAction::triggered, this, &TabCommands::mnuTabDel_Click);
    connect(menus.mnuTabName, &QAction::triggered, this, &TabCommands::mnuTabName_Click);
}

void TabCommands::mnuTabAdd_Click()
{
    addNamedTab([] { return QString(); });
}

void TabCommands::mnuTabCBAdd_Click()
{
    addNamedTab([this] { return withCrLfBreaks(m_main.platform().clipboardText()); });
}

void TabCommands::mnuTabFLAdd_Click()
{
    if (!roomForAnotherTab())
        return;
    // A cancelled chooser or an unreadable file ends the command without a word.
    const std::optional<QString> path = m_main.platform().chooseOpenFile(&m_main);
    if (!path)
        return;
    const std::optional<QString> content = readFileEntry(*path);
    if (!content)
        return;
    const QString name = QFileInfo(*path).fileName();
    m_main.AddTabPage(name, *content);
    const int count = m_main.tabs().count();
    m_main.tabs()[count - 1].setOmidasi(name);
    showCaption(count);
    emit m_main.tabSetChanged();
}

void TabCommands::mnuTabDel_Click()
{
    TabSet &tabs = m_main.tabs();
    if (tabs.count() <= 1) {
        m_main.platform().showMessage(QStringLiteral("削除できません"),
            QStringLiteral("タブ削除のエラー"), MessageIcon::Critical);
        return;
    }
    const int s = m_main.selectedTab();
    // Records and pages stay at their indexes; the data behind the deleted tab moves down.
    for (int j = s; j <= tabs.count() - 2; ++j) {
        tabs[j + 1].LetTemp(0);
        tabs[j].GetTemp(0);
        tabs[j].ResetTab(j);
        m_main.refreshStripCaption(j + 1);
    }
    const int count = tabs.count() - 1;
    tabs.truncate(count);
    m_main.removeLastTabPage();
    m_main.ArrangeControls();
    if (s == count)
        m_main.tabMain().selectTab(count);
    else
        m_main.DispStatus(); // the selected position now shows the following tab
    emit m_main.tabSetChanged();
}

void TabCommands::mnuTabName_Click()
{
    const int s = m_main.selectedTab();
    clsTabCont &record = m_main.tabs()[s];
    const std::optional<QString> name = askTabName(record.Omidasi());
    if (name)
        record.setOmidasi(*name);
    showCaption(s + 1);
    if (name)
        emit m_main.tabSetChanged();
}

std::optional<QString> TabCommands::readFileEntry(const QString &path)
{
    if (QFileInfo(path).size() <= QuickReadBytes)
        return readFileEntryContent(path);
    std::optional<QString> content;
    const std::unique_ptr<QThread> reader(
        QThread::create([&content, path] { content = readFileEntryContent(path); }));
    QProgressDialog progress(
        QStringLiteral("ファイルを読み込んでいます…"), QString(), 0, 0, &m_main);
    progress.setWindowTitle(QStringLiteral("Nokuri"));
    connect(reader.get(), &QThread::finished, &progress, &QDialog::accept);
    reader->start();
    const bool finished = m_main.platform().runModal(progress) == QDialog::Accepted;
    reader->wait();
    return finished ? content : std::nullopt;
}

bool TabCommands::roomForAnotherTab()
{
    if (m_main.tabs().count() < TabSet::MaxTabs)
        return true;
    m_main.platform().showMessage(QStringLiteral("タブは30個までしか作れません"),
        QStringLiteral("Nokuri"), MessageIcon::Critical);
    return false;
}

void TabCommands::addNamedTab(const std::function<QString()> &readContent)
{
    if (!roomForAnotherTab())
        return;
    const std::optional<QString> name = askTabName(QString());
    if (name) {
        m_main.AddTabPage(QString(), readContent());
        m_main.tabs()[m_main.tabs().count() - 1].setOmidasi(*name);
    }
    // After Cancel this shows the last tab's own caption again.
    showCaption(m_main.tabs().count());
    if (name)
        emit m_main.tabSetChanged();
}

std::optional<QString> TabCommands::askTabName(const QString &current)
{
    frmOmidasi dialog(Twips::of(m_main));
    dialog.setOmidasi(current);
    m_main.platform().runModal(dialog);
    if (!dialog.Ok())
        return std::nullopt;
    return dialog.Omidasi();
}

void TabCommands::showCaption(int position)
{
    m_main.refreshStripCaption(position);
    // A caption's length can change the strip's rows and with them the page area.
    m_main.ArrangeControls();
}
