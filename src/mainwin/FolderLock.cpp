#include "mainwin/FolderLock.h"

#include <QDir>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::FolderLock(const QString &notesDir)
{
    const QByteArray path
        = QFile::encodeName(QDir(notesDir).filePath(QString::fromLatin1(FileName)));
    // Close-on-exec: a program started from Nokuri (a help viewer) must not keep the lock.
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
        m_state = State::Held;
        return;
    }
    m_state = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    ::close(m_fd);
    m_fd = -1;
}

FolderLock::~FolderLock()
{
    // The file stays: removing it would let a start that has just opened it lock a file that
    // no longer is the folder's lock, beside a newer start that creates a fresh one.
    if (m_fd >= 0)
        ::close(m_fd);
}
