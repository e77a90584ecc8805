#pragma once

#include <QHash>
#include <QString>
#include <sys/stat.h>

// A note file (entry file or settings file) that is live in the notes folder: a regular file, or
// a symbolic link to one.
struct LiveFile
{
    struct stat status; // of the content: a link's target
    bool isLink = false;
};

// The live note files of the folder now, by name, each looked at once. The outside-change look
// before a save hands them on to the save, which then need not look again.
QHash<QString, LiveFile> liveNoteFiles(const QString &dir, const QString &settingsName);
