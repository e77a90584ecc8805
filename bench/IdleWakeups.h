#pragma once

#include <QObject>

// Counts the timer events the main thread handles while the event loop waits: each one wakes
// a program that has nothing else to do.
class IdleWakeups final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleWakeups)
public:
    // Runs the event loop for `ms` milliseconds and returns the timer events seen meanwhile.
    static qint64 countWhileWaiting(int ms);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit IdleWakeups(const QObject &ownTimer);

    const QObject &m_ownTimer;
    qint64 m_count = 0;
};
