#pragma once

#include <QElapsedTimer>
#include <QObject>

// Counts the timer events the main thread handles while the event loop waits: each one wakes
// a program that has nothing else to do.
class IdleWakeups final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleWakeups)
public:
    // Runs the event loop for `ms` milliseconds and returns the timer events per minute: from
    // the spacing of the events when there are several, so that a periodic timer is not
    // counted once too often where the window happens to hold both ends of its period.
    static qint64 perMinuteWhileWaiting(int ms);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit IdleWakeups(const QObject &ownTimer);

    const QObject &m_ownTimer;
    QElapsedTimer m_clock;
    qint64 m_count = 0;
    qint64 m_firstMs = 0;
    qint64 m_lastMs = 0;
};
