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
    if (m_lock.state() == FolderLock::State::Held) {
        // Without the socket (its name taken by someone else) only the raising is lost.
        m_server.listen();
        return true;
    }
    // A folder that takes no lock file: the socket's name, unique per folder, is the lock.
    if (m_lock.state() == FolderLock::State::Unavailable && m_server.listen())
        return true;
    if (ActivationServer::askToShow(m_notesDir))
        return false;
    // Neither lock nor socket can be had and nobody answers: the folder itself is unusable,
    // and saving will say so.
    if (m_lock.state() == FolderLock::State::Unavailable)
        return true;
    qWarning("Nokuri is already running on %s but does not answer", qPrintable(m_notesDir));
    return false;
}
