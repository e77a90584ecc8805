#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

// The modal windows and pop-up menus that are running, each in an event loop of its own. A quit
// must not close the main window from inside one of those loops: the gate ends them all as if
// cancelled, refuses new ones, and says when the last has returned to its caller. The window's
// waits for a save in another thread run an event loop too; they count as open, but nothing cuts
// them short.
class ModalGate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ModalGate)
public:
    // Counts one modal window or menu as open while it lives.
    class Open final
    {
    public:
        Open(ModalGate &gate, QWidget &widget);
        ~Open();
        Open(const Open &) = delete;
        Open &operator=(const Open &) = delete;

    private:
        ModalGate &m_gate;
        QPointer<QWidget> m_widget;
    };

    // Counts the window's wait for a save in another thread as open while it lives: a quit waits
    // for its end, as for a modal window's, and so does what must not run inside a save.
    class Wait final
    {
    public:
        explicit Wait(ModalGate &gate);
        ~Wait();
        Wait(const Wait &) = delete;
        Wait &operator=(const Wait &) = delete;

    private:
        ModalGate &m_gate;
    };

    ModalGate() = default;

    // False once closeAll() ran: the caller gives its cancelled answer without showing anything.
    bool admits() const { return !m_refusing; }
    qsizetype openCount() const { return m_open.size() + m_waits; }
    bool waiting() const { return m_waits > 0; }
    // Runs `work` from the main loop, once no wait is open, unless `context` has gone by then:
    // a question, or a look at the folder a save writes, comes after the save.
    void afterWaits(QObject *context, std::function<void()> work);

    // Runs the dialog modally, or answers Rejected at once while refusing.
    int exec(QDialog &dialog);
    // Runs the menu at the position, or answers no choice at once while refusing.
    QAction *exec(QMenu &menu, const QPoint &globalPos);

    // Cancels every modal window and menu that is open, innermost first, and refuses new ones
    // until reopen(). Waits go on.
    void closeAll();
    void reopen() { m_refusing = false; }

signals:
    // The last open modal window, menu or wait has returned to its caller.
    void allReturned();
    // The last wait has ended.
    void waitsOver();

private:
    void closed();

    QList<QPointer<QWidget>> m_open;
    int m_waits = 0;
    bool m_refusing = false;
};
