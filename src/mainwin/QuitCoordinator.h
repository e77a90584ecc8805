#pragma once

#include <QObject>

class ModalGate;
class QWidget;

// Serves every request to end the program: the quit commands, SIGTERM and its kin, and the end
// of the desktop session (which Qt delivers as the application's Quit event). Closing the main
// window from inside a modal window's or a menu's own event loop left dialogs running without
// it, or crashed once the loop went on; so the open modal windows and menus are cancelled, a save
// and the start-up are let finish, and the window closes (and saves) from the main loop only.
class QuitCoordinator final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuitCoordinator)
public:
    QuitCoordinator(QWidget &window, ModalGate &modals);

    void request();
    // The start-up has read everything: a request that came during it is served now.
    void startUpFinished();
    bool startedUp() const { return m_startedUp; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void serveLater();
    void serve();

    QWidget &m_window;
    ModalGate &m_modals;
    bool m_startedUp = false;
    bool m_requested = false;
};
