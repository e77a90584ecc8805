#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace TestFiles {

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush()) {
        if (error)
            *error = path + u": "_s + file.errorString();
        return false;
    }
    return true;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    const QDir directory(dir);
    const QStringList names = directory.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QString path = directory.filePath(name);
        files.insert(name, QFileInfo(path).isDir() ? QByteArray("<dir>") : read(path));
    }
    return files;
}

QStringList temporaries(const QString &dir)
{
    return QDir(dir).entryList(
        {u".nokuri-save-*"_s}, QDir::AllEntries | QDir::Hidden | QDir::System);
}

} // namespace TestFiles
