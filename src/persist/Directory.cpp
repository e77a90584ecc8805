#include "persist/Directory.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

int writeAll(int fd, const char *data, qsizetype size)
{
    qsizetype done = 0;
    while (done < size) {
        const ssize_t count = ::write(fd, data + done, static_cast<size_t>(size - done));
        if (count > 0)
            done += count;
        else if (count == 0 || errno != EINTR)
            return count == 0 ? EIO : errno;
    }
    return 0;
}

// Copies the rest of `from` to `to` with plain reads and writes.
int copyByReading(int from, int to)
{
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(from, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return errno;
        if (count == 0)
            return 0;
        if (const int error = writeAll(to, buffer, count))
            return error;
    }
}

// Shares the blocks where the file system can (FICLONE), else copies inside the kernel
// (copy_file_range), else through a buffer.
int copyContent(int from, int to)
{
    if (::ioctl(to, FICLONE, from) == 0)
        return 0;
    bool copiedAny = false;
    for (;;) {
        const ssize_t count = ::copy_file_range(from, nullptr, to, nullptr, size_t(1) << 30, 0);
        if (count > 0) {
            copiedAny = true;
            continue;
        }
        if (count == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (copiedAny
            || (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP
                && errno != EPERM))
            return errno;
        return copyByReading(from, to);
    }
}

} // namespace

Directory::Directory(const QString &path)
    : m_fd(::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    , m_openError(m_fd < 0 ? errno : 0)
{ }

Directory::~Directory()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Directory::names(QStringList &result, QStringList *links) const
{
    const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    DIR *listing = ::fdopendir(copy);
    if (!listing) {
        const int error = errno;
        ::close(copy);
        return error;
    }
    ::rewinddir(listing);
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent *item = ::readdir(listing);
        if (!item) {
            error = errno;
            break;
        }
        const QString name = QFile::decodeName(item->d_name);
        if (name == u"." || name == u"..")
            continue;
        result.append(name);
        struct stat own;
        if (links
            && (item->d_type == DT_LNK
                || (item->d_type == DT_UNKNOWN && linkStatus(name, own) == 0
                    && S_ISLNK(own.st_mode))))
            links->append(name);
    }
    ::closedir(listing);
    return error;
}

int Directory::status(const QString &name, struct stat &result) const
{
    return ::fstatat(m_fd, encoded(name), &result, 0) == 0 ? 0 : errno;
}

int Directory::linkStatus(const QString &name, struct stat &result) const
{
    return ::fstatat(m_fd, encoded(name), &result, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

int Directory::ownStatus(struct stat &result) const
{
    return ::fstat(m_fd, &result) == 0 ? 0 : errno;
}

int Directory::readAll(const QString &name, QByteArray &bytes) const
{
    const int fd = ::openat(m_fd, encoded(name), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    bytes.clear();
    char buffer[16384];
    int error = 0;
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            error = errno;
        if (count <= 0)
            break;
        bytes.append(buffer, count);
    }
    ::close(fd);
    return error;
}

namespace {

// Opens `to` as a new file; a leftover of that name is removed first, only when there is one.
int createNew(int dirFd, const QByteArray &to, int &fd)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        fd = ::openat(dirFd, to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST || attempt > 0 || ::unlinkat(dirFd, to.constData(), 0) != 0)
            return errno;
    }
    return EEXIST;
}

// Starts writing back and closes a file written under `to`; on any failure the file is removed.
int finishNew(int dirFd, const QByteArray &to, int fd, int error)
{
    // Only a hint: the write-back runs while the next files are written, syncFile() waits.
    if (!error)
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        ::unlinkat(dirFd, to.constData(), 0);
    return error;
}

} // namespace

int Directory::writeSynced(const QString &to, const QByteArray &bytes, int mode) const
{
    const int error = write(to, bytes, mode);
    return error ? error : syncFile(to);
}

int Directory::write(const QString &to, const QByteArray &bytes, int mode) const
{
    const QByteArray name = encoded(to);
    int fd = -1;
    if (const int error = createNew(m_fd, name, fd))
        return error;
    int error = 0;
    if (mode != KeepUmask && ::fchmod(fd, mode_t(mode)) != 0)
        error = errno;
    if (!error)
        error = writeAll(fd, bytes.constData(), bytes.size());
    return finishNew(m_fd, name, fd, error);
}

int Directory::copy(const QString &from, const QString &to) const
{
    const int source = ::openat(m_fd, encoded(from), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return errno;
    struct stat status;
    if (::fstat(source, &status) != 0) {
        const int error = errno;
        ::close(source);
        return error;
    }
    const QByteArray name = encoded(to);
    int fd = -1;
    int error = createNew(m_fd, name, fd);
    if (!error) {
        if (::fchmod(fd, status.st_mode & 07777) != 0)
            error = errno;
        if (!error)
            error = copyContent(source, fd);
        const timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
        if (!error && ::futimens(fd, times) != 0)
            error = errno;
        error = finishNew(m_fd, name, fd, error);
    }
    ::close(source);
    return error;
}

int Directory::link(const QString &from, const QString &to) const
{
    const QByteArray name = encoded(to);
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::linkat(m_fd, encoded(from), m_fd, name, 0) == 0)
            return 0;
        if (errno != EEXIST || attempt > 0 || ::unlinkat(m_fd, name, 0) != 0)
            return errno;
    }
    return EEXIST;
}

int Directory::syncFile(const QString &name) const
{
    const int fd = ::openat(m_fd, encoded(name), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

int Directory::rename(const QString &from, const QString &to) const
{
    return ::renameat(m_fd, encoded(from), m_fd, encoded(to)) == 0 ? 0 : errno;
}

int Directory::remove(const QString &name) const
{
    return ::unlinkat(m_fd, encoded(name), 0) == 0 ? 0 : errno;
}

int Directory::sync() const
{
    return ::fsync(m_fd) == 0 ? 0 : errno;
}

int syncDirectory(const QString &path)
{
    const Directory directory(path);
    return directory.openError() ? directory.openError() : directory.sync();
}
