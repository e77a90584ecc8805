#include "IdleWakeups.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

IdleWakeups::IdleWakeups(const QObject &ownTimer)
    : m_ownTimer(ownTimer)
{ }

qint64 IdleWakeups::countWhileWaiting(int ms)
{
    QEventLoop loop;
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    IdleWakeups counter(end);
    QCoreApplication::instance()->installEventFilter(&counter);
    end.start(ms);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&counter);
    return counter.m_count;
}

bool IdleWakeups::eventFilter(QObject *watched, QEvent *event)
{
    // The timer that ends the wait is the bench's, not the program's.
    if (event->type() == QEvent::Timer && watched != &m_ownTimer)
        ++m_count;
    return false;
}
