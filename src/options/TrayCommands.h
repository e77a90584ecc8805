#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class MainMenus;
class PlatformServices;
class QMenu;
class QPoint;
class QWidget;

// Where the help document may lie for a program in `programDir`, best first: installed under
// the program's prefix (bin/nokuri → share/nokuri/help), in a help folder beside the program,
// and in the source tree the program was built from.
QStringList helpDocumentCandidates(const QString &programDir);
// The first candidate that is a file, or the first candidate (to name it) when none is.
QString firstExistingFile(const QStringList &candidates);

// The tray menu mnuTray, which a right press on the tray icon pops up: save, help, the about
// box and quit. Save and quit are the window's business and leave as signals. Without a system
// tray the tab menu offers help and the about box instead, so that neither becomes unreachable.
class TrayCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayCommands)
public:
    // The tray menu belongs to `window`; the tab menu is among `menus`.
    TrayCommands(PlatformServices &platform, MainMenus &menus, QWidget &window);

    // Right press: the tray menu at the position; nothing in it is ever disabled.
    void trayRightPressed(const QPoint &globalPos);

signals:
    void saveRequested();
    void quitRequested();

private:
    void offerHelpInTabMenu(MainMenus &menus);

    void mnuTraySave_Click();
    void mnuTrayHelp_Click();
    void mnuTrayCredit_Click();
    void mnuTrayQuit_Click();

    PlatformServices &m_platform;
    // Owned by the window, like the window's other menus.
    QMenu *const m_mnuTray;
    QAction *m_mnuTraySave = nullptr;
    QAction *m_mnuTrayFind = nullptr;
    QAction *m_mnuTrayHelp = nullptr;
    QAction *m_mnuTrayCredit = nullptr;
    QAction *m_mnuTrayQuit = nullptr;
};
