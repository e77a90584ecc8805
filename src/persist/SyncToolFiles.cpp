#include "persist/SyncToolFiles.h"

#include <QDir>

bool isSyncConflictFile(QStringView name)
{
    return name.contains(u".sync-conflict-")
        || name.contains(u"conflicted copy", Qt::CaseInsensitive);
}

QStringList syncConflictFiles(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    names.removeIf([](const QString &name) { return !isSyncConflictFile(name); });
    return names;
}
