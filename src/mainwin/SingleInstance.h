#pragma once

#include "mainwin/ActivationServer.h"
#include "mainwin/FolderLock.h"

#include <QObject>

// One program per notes folder. The first start holds the folder's lock and listens; a second
// start on the same folder asks the first to come to the front and then ends.
class SingleInstance final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)
public:
    explicit SingleInstance(const QString &notesDir);

    // True when this process is the one for the folder (a lock left by a crash is free again).
    // Otherwise the running one has been asked to show itself.
    bool claim();

signals:
    void activationRequested();

private:
    QString m_notesDir;
    FolderLock m_lock;
    ActivationServer m_server;
};
