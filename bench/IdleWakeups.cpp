#include "IdleWakeups.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

IdleWakeups::IdleWakeups(const QObject &ownTimer)
    : m_ownTimer(ownTimer)
{
    m_clock.start();
}

qint64 IdleWakeups::perMinuteWhileWaiting(int ms)
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
    if (counter.m_count < 2)
        return counter.m_count * 60000 / ms;
    return (counter.m_count - 1) * 60000
        / std::max<qint64>(1, counter.m_lastMs - counter.m_firstMs);
}

bool IdleWakeups::eventFilter(QObject *watched, QEvent *event)
{
    // The timer that ends the wait is the bench's, not the program's.
    if (event->type() == QEvent::Timer && watched != &m_ownTimer) {
        m_lastMs = m_clock.elapsed();
        if (m_count++ == 0)
            m_firstMs = m_lastMs;
    }
    return false;
}
