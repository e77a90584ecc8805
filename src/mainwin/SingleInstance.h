#pragma once

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;

// One program per notes folder. The first start holds a lock and listens; a second start on
// the same folder asks the first to come to the front and then ends.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)
public:
    // runtimeDir holds the lock and the socket; they are named after the notes folder.
    SingleInstance(const QString &notesDir, const QString &runtimeDir);
    ~SingleInstance() override;

    // True when this process is the one for the folder (a lock left by a crash is taken
    // over). Otherwise the running one has been asked to show itself.
    bool claim();

signals:
    void activationRequested();

private:
    QString m_serverName;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
