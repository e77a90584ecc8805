#include "mainwin/FolderReload.h"

#include "mainwin/NoteFiles.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/SettingsFile.h"
#include "mainwin/TabStrip.h"
#include "mainwin/frmMain.h"
#include "store/clsTabCont.h"

void reloadNotes(frmMain &main, NoteFiles &files, SettingsFile &settings)
{
    const int tab = main.selectedTab();
    const int entry = main.tabs()[tab].DispIndex();
    const QRect geometry = main.geometry();
    const Qt::WindowStates state = main.windowState();

    // Down to the page that exists from the start, without a record, as the reading expects.
    main.tabMain().selectTab(1);
    while (main.tabCount() > 1) {
        main.removeLastTabPage();
        main.tabs().truncate(main.tabCount() - 1);
    }
    main.tabs().truncate(0);
    while (main.titleItemCount(0) > 0)
        main.removeTitleItem(0, 0);

    files.ReadTabFiles();
    if (main.tabCount() == 0) {
        clsTabCont &first = main.tabs().append();
        first.AddTitle(0, QString(), QString());
        first.setDispIndex(0);
        first.DispCont(0);
        main.selectTitleItem(0, 0);
        first.DispCont(0);
    }
    settings.ReadIni();
    for (int position = 1; position <= main.tabCount(); ++position)
        main.refreshStripCaption(position);
    main.ArrangeControls();
    // The settings file's place and size are the other machine's.
    if (main.windowState() != state)
        main.setWindowState(state);
    if (!(state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        main.setGeometry(geometry);

    if (tab < main.tabCount()) {
        if (entry < main.tabs()[tab].NoOfCont())
            main.selectTitleItem(tab, entry);
        main.tabMain().selectTab(tab + 1);
    } else {
        main.tabMain().selectTab(main.selectedTab() + 1);
    }
    main.DispStatus();
    // What the reading set off is no change of the user's: the files hold all of it.
    main.recovery().discard();
}
