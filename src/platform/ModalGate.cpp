#include "platform/ModalGate.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>

ModalGate::Open::Open(ModalGate &gate, QWidget &widget)
    : m_gate(gate)
    , m_widget(&widget)
{
    m_gate.m_open.append(m_widget);
}

ModalGate::Open::~Open()
{
    // A widget deleted while open left a null entry; any null one stands for it.
    m_gate.m_open.removeOne(m_widget);
    m_gate.closed();
}

ModalGate::Wait::Wait(ModalGate &gate)
    : m_gate(gate)
{
    ++m_gate.m_waits;
}

ModalGate::Wait::~Wait()
{
    if (--m_gate.m_waits == 0)
        emit m_gate.waitsOver();
    m_gate.closed();
}

void ModalGate::closed()
{
    if (openCount() == 0)
        emit allReturned();
}

void ModalGate::afterWaits(QObject *context, std::function<void()> work)
{
    // From the main loop: the save that waited still has to take in what it wrote, and another
    // may have begun since.
    QTimer::singleShot(0, context, [this, context, work] {
        if (!waiting()) {
            work();
            return;
        }
        connect(
            this, &ModalGate::waitsOver, context,
            [this, context, work] { afterWaits(context, work); }, Qt::SingleShotConnection);
    });
}

int ModalGate::exec(QDialog &dialog)
{
    if (!admits())
        return QDialog::Rejected;
    const Open open(*this, dialog);
    return dialog.exec();
}

QAction *ModalGate::exec(QMenu &menu, const QPoint &globalPos)
{
    if (!admits())
        return nullptr;
    const Open open(*this, menu);
    return menu.exec(globalPos);
}

void ModalGate::closeAll()
{
    m_refusing = true;
    // Pop-ups a dialog opened itself (a calendar, a list) go first; a bounded sweep, as a popup
    // may refuse to close.
    for (int i = 0; i < 8 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    const QList<QPointer<QWidget>> open = m_open;
    for (auto it = open.crbegin(); it != open.crend(); ++it) {
        if (!*it)
            continue;
        if (auto *dialog = qobject_cast<QDialog *>(it->data()))
            dialog->reject();
        else
            (*it)->close();
    }
}
