#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

// The modal windows and pop-up menus that are running, each in an event loop of its own. A quit
// must not close the main window from inside one of those loops: the gate ends them all as if
// cancelled, refuses new ones, and says when the last has returned to its caller.
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

    ModalGate() = default;

    // False once closeAll() ran: the caller gives its cancelled answer without showing anything.
    bool admits() const { return !m_refusing; }
    qsizetype openCount() const { return m_open.size(); }

    // Runs the dialog modally, or answers Rejected at once while refusing.
    int exec(QDialog &dialog);
    // Runs the menu at the position, or answers no choice at once while refusing.
    QAction *exec(QMenu &menu, const QPoint &globalPos);

    // Cancels every modal window and menu that is open, innermost first, and refuses new ones
    // until reopen().
    void closeAll();
    void reopen() { m_refusing = false; }

signals:
    // The last open modal window or menu has returned to its caller.
    void allReturned();

private:
    QList<QPointer<QWidget>> m_open;
    bool m_refusing = false;
};
