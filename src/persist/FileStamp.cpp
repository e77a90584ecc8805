#include "persist/FileStamp.h"

#include <QFile>
#include <sys/stat.h>

FileStamp FileStamp::of(const struct stat &status)
{
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
        qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
        qint64(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec};
}

std::optional<FileStamp> fileStampOf(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileStamp::of(status);
}
