#include "Program.h"

#include "alarm/AlarmCommands.h"
#include "commands/SortCommands.h"
#include "commands/TabCommands.h"
#include "commands/frmTitl.h"
#include "find/FindCommands.h"
#include "find/FindTarget.h"
#include "mainwin/ContentBox.h"
#include "mainwin/ContentMenu.h"
#include "mainwin/TabPage.h"
#include "mainwin/Twips.h"
#include "mainwin/frmMain.h"
#include "options/OptionsCommand.h"
#include "options/TrayCommands.h"
#include "platform/PlatformServices.h"

namespace {

// Going to a found entry: the window in front, then the tab and the entry as a press on the
// strip and a choice in the title list select them.
class WindowAsFindTarget final : public QObject, public FindTarget
{
public:
    explicit WindowAsFindTarget(frmMain &window)
        : QObject(&window)
        , m_window(window)
    { }

    void goToEntry(int tab, int entry) override
    {
        // A maximised window stays maximised; one in the tray or minimised comes back.
        if (m_window.isHidden() || m_window.isMinimized())
            m_window.restoreWindow();
        m_window.raise();
        m_window.activateWindow();
        m_window.showEntry(tab, entry);
    }
    ContentBox *contentBox(int tab) const override { return m_window.page(tab).txtCont(); }

private:
    frmMain &m_window;
};

void openTitles(frmMain &window, PlatformServices &platform, int tab, int entry)
{
    frmTitl dialog(window.tabs(), window, platform, Twips::of(window));
    dialog.setClsIndex(tab);
    dialog.setTitlIndex(entry);
    dialog.Form_Load();
    platform.runModal(dialog);
}

} // namespace

std::unique_ptr<frmMain> assembleProgram(PlatformServices &platform, const QString &notesFolder)
{
    auto window = std::make_unique<frmMain>(platform, notesFolder);
    frmMain &main = *window;
    TabSet &tabs = main.tabs();
    MainMenus &menus = main.menus();

    // Every part created here is a child of the window and lives as long as it.
    auto *tabCommands = new TabCommands(tabs, main, platform, menus);
    auto *sortCommands = new SortCommands(tabs, main, platform, menus);
    auto *contentMenu = new ContentMenu(tabs, main, platform);
    auto *alarmCommands = new AlarmCommands(tabs, main, platform, menus);
    new OptionsCommand(main, platform, menus, &main);
    auto *trayCommands = new TrayCommands(platform, menus, main);
    auto *findCommands = new FindCommands(
        tabs, [&main] { return main.selectedTab(); }, *new WindowAsFindTarget(main), main);

    // Whatever shows the tab set follows each change of it.
    const auto tabSetChanged = [sortCommands, findCommands] {
        sortCommands->refreshDialog();
        findCommands->tabSetChanged();
    };
    QObject::connect(tabCommands, &TabCommands::tabSetChanged, sortCommands, tabSetChanged);
    QObject::connect(sortCommands, &SortCommands::tabSetChanged, sortCommands, tabSetChanged);
    QObject::connect(
        &main, &frmMain::contentRightPressed, contentMenu, &ContentMenu::txtCont_MouseDown);
    QObject::connect(&main, &frmMain::titleButtonClicked, &main,
        [&main, &platform](int tab, int entry) { openTitles(main, platform, tab, entry); });
    QObject::connect(&main, &frmMain::trayLeftPressed, &main, &frmMain::restoreWindow);
    QObject::connect(alarmCommands, &AlarmCommands::windowWanted, &main, &frmMain::restoreWindow);
    QObject::connect(
        &main, &frmMain::trayRightPressed, trayCommands, &TrayCommands::trayRightPressed);
    QObject::connect(menus.mnuTabFind, &QAction::triggered, findCommands, &FindCommands::open);
    QObject::connect(trayCommands, &TrayCommands::saveRequested, &main, &frmMain::SaveAll);
    QObject::connect(trayCommands, &TrayCommands::quitRequested, &main, &frmMain::requestQuit);
    return window;
}
