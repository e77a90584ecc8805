#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the UI thread, so that being asked to
// end quits in order, with the save.
class QuitSignals final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuitSignals)
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    QSocketNotifier *m_notifier;
};
