#include "persist/DurableFile.h"

#include "persist/SystemReason.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

int writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t count
            = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (count > 0)
            done += count;
        else if (count == 0)
            return EIO;
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

int writeSynced(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    int error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    return error;
}

} // namespace

std::optional<QString> replaceFileDurably(
    const QString &path, const QString &tempPath, const QByteArray &bytes)
{
    const QByteArray temp = QFile::encodeName(tempPath);
    int error = writeSynced(temp, bytes);
    if (!error && ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temp.constData());
        return systemReason(error);
    }
    // The rename itself lasts once the folder is synced; the new content is in place either way.
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return std::nullopt;
}
