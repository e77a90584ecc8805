#include "commands/TabCommands.h"

#include "commands/ImportedText.h"
#include "commands/frmOmidasi.h"
#include "mainwin/MainMenus.h"
#include "mainwin/TabWindow.h"
#include "mainwin/Twips.h"
#include "platform/PlatformServices.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QAction>
#include <QFileInfo>
#include <QProgressDialog>
#include <QThread>
#include <memory>

TabCommands::TabCommands(
    TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus)
    : QObject(&window.widget())
    , m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
{
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
    addNamedTab([this] { return withCrLfBreaks(m_platform.clipboardText()); });
}

void TabCommands::mnuTabFLAdd_Click()
{
    if (!roomForAnotherTab())
        return;
    // A cancelled chooser or an unreadable file ends the command without a word.
    const std::optional<QString> path = m_platform.chooseOpenFile(&m_window.widget());
    if (!path)
        return;
    const std::optional<QString> content = readFileEntry(*path);
    if (!content)
        return;
    const QString name = QFileInfo(*path).fileName();
    m_window.AddTabPage(name, *content);
    const int count = m_tabs.count();
    m_tabs[count - 1].setOmidasi(name);
    showCaption(count);
    emit tabSetChanged();
}

void TabCommands::mnuTabDel_Click()
{
    if (m_tabs.count() <= 1) {
        m_platform.showMessage(QStringLiteral("削除できません"), QStringLiteral("タブ削除のエラー"),
            MessageIcon::Critical);
        return;
    }
    const int s = m_window.selectedTab();
    // Records and pages stay at their indexes; the data behind the deleted tab moves down.
    for (int j = s; j <= m_tabs.count() - 2; ++j) {
        m_tabs[j + 1].LetTemp(0);
        m_tabs[j].GetTemp(0);
        m_tabs[j].ResetTab(j);
        m_window.refreshStripCaption(j + 1);
    }
    const int count = m_tabs.count() - 1;
    m_tabs.truncate(count);
    m_window.removeLastTabPage();
    m_window.ArrangeControls();
    if (s == count)
        m_window.selectTab(count);
    else
        m_window.DispStatus(); // the selected position now shows the following tab
    emit tabSetChanged();
}

void TabCommands::mnuTabName_Click()
{
    const int s = m_window.selectedTab();
    clsTabCont &record = m_tabs[s];
    const std::optional<QString> name = askTabName(record.Omidasi());
    if (name)
        record.setOmidasi(*name);
    showCaption(s + 1);
    if (name)
        emit tabSetChanged();
}

std::optional<QString> TabCommands::readFileEntry(const QString &path)
{
    if (QFileInfo(path).size() <= QuickReadBytes)
        return readFileEntryContent(path);
    std::optional<QString> content;
    const std::unique_ptr<QThread> reader(
        QThread::create([&content, path] { content = readFileEntryContent(path); }));
    QProgressDialog progress(
        QStringLiteral("ファイルを読み込んでいます…"), QString(), 0, 0, &m_window.widget());
    progress.setWindowTitle(QStringLiteral("Nokuri"));
    connect(reader.get(), &QThread::finished, &progress, &QDialog::accept);
    reader->start();
    const bool finished = m_platform.runModal(progress) == QDialog::Accepted;
    reader->wait();
    return finished ? content : std::nullopt;
}

bool TabCommands::roomForAnotherTab()
{
    if (m_tabs.count() < TabSet::MaxTabs)
        return true;
    m_platform.showMessage(QStringLiteral("タブは30個までしか作れません"), QStringLiteral("Nokuri"),
        MessageIcon::Critical);
    return false;
}

void TabCommands::addNamedTab(const std::function<QString()> &readContent)
{
    if (!roomForAnotherTab())
        return;
    const std::optional<QString> name = askTabName(QString());
    if (name) {
        m_window.AddTabPage(QString(), readContent());
        m_tabs[m_tabs.count() - 1].setOmidasi(*name);
    }
    // After Cancel this shows the last tab's own caption again.
    showCaption(m_tabs.count());
    if (name)
        emit tabSetChanged();
}

std::optional<QString> TabCommands::askTabName(const QString &current)
{
    frmOmidasi dialog(Twips::of(m_window.widget()));
    dialog.setOmidasi(current);
    m_platform.runModal(dialog);
    if (!dialog.Ok())
        return std::nullopt;
    return dialog.Omidasi();
}

void TabCommands::showCaption(int position)
{
    m_window.refreshStripCaption(position);
    // A caption's length can change the strip's rows and with them the page area.
    m_window.ArrangeControls();
}
