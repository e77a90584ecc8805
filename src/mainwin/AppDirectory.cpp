#include "mainwin/AppDirectory.h"

#include "persist/EntryFiles.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool holdsNotes(const QString &dir)
{
    if (QFileInfo(QDir(dir).filePath(QStringLiteral("TabSet.ini"))).isFile())
        return true;
    const QStringList candidates
        = QDir(dir).entryList({QStringLiteral("Tab*.tab")}, QDir::Files | QDir::Readable);
    return std::any_of(candidates.begin(), candidates.end(),
        [](const QString &name) { return parseEntryFileName(name).has_value(); });
}

} // namespace

QString locateAppDirectory(const QString &programDir, const QString &userDataDir)
{
    if (holdsNotes(programDir))
        return programDir;
    QDir().mkpath(userDataDir);
    return userDataDir;
}
