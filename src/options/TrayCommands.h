#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QPoint;
class frmMain;

// Where the help document may lie for a program in `programDir`, best first: installed under
// the program's prefix (bin/nokuri → share/nokuri/help), in a help folder beside the program,
// and in the source tree the program was built from.
QStringList helpDocumentCandidates(const QString &programDir);
// The first candidate that is a file, or the first candidate (to name it) when none is.
QString firstExistingFile(const QStringList &candidates);

// The tray icon's presses and the tray menu mnuTray: save, help, the about box and quit.
// Without a system tray the tab menu offers help and the about box instead, so that neither
// becomes unreachable.
class TrayCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TrayCommands)
public:
    explicit TrayCommands(frmMain &main);

    // Left press: the window comes back in normal size, in front and with the focus.
    void trayLeftPressed();
    // Right press: the tray menu at the position; nothing in it is ever disabled.
    void trayRightPressed(const QPoint &globalPos);

private:
    void offerHelpInTabMenu();

    void mnuTraySave_Click();
    void mnuTrayHelp_Click();
    void mnuTrayCredit_Click();
    void mnuTrayQuit_Click();

    frmMain &m_main;
    // Owned by the window, like the window's other menus.
    QMenu *const m_mnuTray;
    QAction *m_mnuTraySave = nullptr;
    QAction *m_mnuTrayHelp = nullptr;
    QAction *m_mnuTrayCredit = nullptr;
    QAction *m_mnuTrayQuit = nullptr;
};
