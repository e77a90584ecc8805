#include "PeakMemory.h"

#include <QByteArray>
#include <QFile>

namespace {

qint64 peakFrom(const QString &statusPath)
{
    QFile status(statusPath);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    // /proc files claim to be empty, so they are read whole rather than line by line.
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.sliced(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

qint64 peakResidentKb(pid_t pid)
{
    return peakFrom(QStringLiteral("/proc/%1/status").arg(pid));
}

qint64 ownPeakResidentKb()
{
    return peakFrom(QStringLiteral("/proc/self/status"));
}
