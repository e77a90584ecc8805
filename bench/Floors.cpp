#include "Floors.h"

#include "NoteSet.h"
#include "persist/EntryFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

int openOrThrow(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error(qPrintable(u"cannot open "_s + path));
    return fd;
}

} // namespace

qint64 Floors::rawRead(const QString &dir, const QList<NoteSet::File> &files)
{
    QElapsedTimer timer;
    timer.start();
    for (const NoteSet::File &file : files) {
        const int fd = openOrThrow(QDir(dir).filePath(file.name), O_RDONLY);
        QByteArray bytes(file.bytes.size(), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t count = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (count <= 0)
                break;
            done += count;
        }
        ::close(fd);
        if (done != bytes.size())
            throw std::runtime_error(qPrintable(u"short read of "_s + file.name));
    }
    return timer.nsecsElapsed();
}

qint64 Floors::rawDurableWrite(const QList<NoteSet::File> &files, const QString &emptyDir)
{
    const QDir dir(emptyDir);
    const int dirFd = openOrThrow(emptyDir, O_RDONLY | O_DIRECTORY);
    QElapsedTimer timer;
    timer.start();
    for (const NoteSet::File &file : files) {
        const int fd = openOrThrow(dir.filePath(file.name), O_WRONLY | O_CREAT | O_EXCL);
        const ssize_t written = ::write(fd, file.bytes.constData(), size_t(file.bytes.size()));
        const bool synced = ::fsync(fd) == 0;
        ::close(fd);
        if (written != file.bytes.size() || !synced)
            throw std::runtime_error(qPrintable(u"cannot write "_s + file.name));
    }
    ::fsync(dirFd);
    const qint64 elapsed = timer.nsecsElapsed();
    ::close(dirFd);
    return elapsed;
}

QList<NoteSet::File> Floors::liveFilesIn(const QString &dir)
{
    QList<NoteSet::File> files;
    for (const QString &name : QDir(dir).entryList(QDir::Files)) {
        if (name != u"TabSet.ini" && !parseEntryFileName(name))
            continue;
        QFile file(QDir(dir).filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(qPrintable(u"cannot read "_s + file.fileName()));
        files.append({name, file.readAll()});
    }
    return files;
}
