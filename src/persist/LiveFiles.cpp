#include "persist/LiveFiles.h"

#include "persist/Directory.h"
#include "persist/EntryFiles.h"

QHash<QString, LiveFile> liveNoteFiles(const QString &dir, const QString &settingsName)
{
    // One look at each note file, by name in the opened folder: every save and every change in
    // the folder comes here, with the .bak files and temporaries beside hundreds of notes.
    // A regular file costs one call; only a link is followed.
    QHash<QString, LiveFile> files;
    const Directory folder(dir);
    QStringList names;
    if (folder.openError() || folder.names(names) != 0)
        return files;
    for (const QString &name : std::as_const(names)) {
        if (name != settingsName && !parseEntryFileName(name))
            continue;
        LiveFile file;
        if (folder.linkStatus(name, file.status) != 0)
            continue;
        file.isLink = S_ISLNK(file.status.st_mode);
        if (file.isLink && folder.status(name, file.status) != 0)
            continue;
        if (S_ISREG(file.status.st_mode))
            files.insert(name, file);
    }
    return files;
}
