#include "mainwin/QuitCoordinator.h"

#include "platform/ModalGate.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

QuitCoordinator::QuitCoordinator(QWidget &window, ModalGate &modals)
    : QObject(&window)
    , m_window(window)
    , m_modals(modals)
{
    connect(&m_modals, &ModalGate::allReturned, this, [this] {
        if (m_requested)
            serveLater();
    });
    QCoreApplication::instance()->installEventFilter(this);
}

void QuitCoordinator::request()
{
    m_requested = true;
    m_modals.closeAll();
    serveLater();
}

void QuitCoordinator::startUpFinished()
{
    m_startedUp = true;
    if (m_requested)
        serveLater();
}

bool QuitCoordinator::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit)
        return false;
    request();
    return true;
}

void QuitCoordinator::serveLater()
{
    // Queued: the caller that returned from the last modal call still has to unwind.
    QTimer::singleShot(0, this, &QuitCoordinator::serve);
}

void QuitCoordinator::serve()
{
    if (!m_requested || !m_startedUp || m_modals.openCount() > 0)
        return;
    m_requested = false;
    // The quit's own failed-save question must be able to ask.
    m_modals.reopen();
    m_window.close();
}
