#include "persist/DurableFile.h"

#include "persist/Directory.h"
#include "persist/SystemReason.h"

#include <QFileInfo>

std::optional<QString> replaceFileDurably(
    const QString &path, const QString &tempPath, const QByteArray &bytes)
{
    const QFileInfo target(path);
    const Directory folder(target.absolutePath());
    if (const int error = folder.openError())
        return systemReason(error);
    const QString temp = QFileInfo(tempPath).fileName();
    int error = folder.writeSynced(temp, bytes, Directory::KeepUmask);
    if (!error)
        error = folder.rename(temp, target.fileName());
    if (error) {
        folder.remove(temp);
        return systemReason(error);
    }
    // The rename itself lasts once the folder is synced; the new content is in place either way.
    folder.sync();
    return std::nullopt;
}
