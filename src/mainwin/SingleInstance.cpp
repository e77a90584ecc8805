#include "mainwin/SingleInstance.h"

SingleInstance::SingleInstance(const QString &notesDir)
    : m_notesDir(notesDir)
    , m_lock(notesDir)
    , m_server(notesDir)
{
    connect(&m_server, &ActivationServer::activationRequested, this,
        &SingleInstance::activationRequested);
}

bool SingleInstance::claim()
{
    switch (m_lock.state()) {
    case FolderLock::State::Held:
        // Without the socket (its name taken by someone else) only the raising is lost.
        m_server.listen();
        return true;
    case FolderLock::State::Unavailable:
        // A folder that takes no lock file: the socket's name, unique per folder, is the lock.
        if (m_server.listen())
            return true;
        break;
    case FolderLock::State::HeldElsewhere:
        break;
    }
    if (!ActivationServer::askToShow(m_notesDir))
        qWarning("Nokuri is already running on %s but does not answer", qPrintable(m_notesDir));
    return false;
}
