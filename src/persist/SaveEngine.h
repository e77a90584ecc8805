#pragma once

#include "persist/FileStamp.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct SaveFile
{
    SaveFile() = default;
    SaveFile(QString fileName, QByteArray content)
        : name(std::move(fileName))
        , bytes(std::move(content))
    { }
    // For content not encoded yet: a live file with the stamp `held` holds it already and stays
    // as it is, unread; otherwise `make` gives the bytes, only when they are needed and one
    // file at a time.
    SaveFile(QString fileName, std::optional<FileStamp> held, std::function<QByteArray()> make)
        : name(std::move(fileName))
        , heldBy(held)
        , encode(std::move(make))
    { }

    QString name; // file name inside the directory, e.g. "Tab1A.tab"
    QByteArray bytes;
    std::optional<FileStamp> heldBy;
    std::function<QByteArray()> encode;
};

struct SaveError
{
    QString fileName;
    QString reason; // the system's reason
};

// Replaces the live files of the directory by exactly `entryFiles` plus `settings`
// (TabSet.ini, put in place last). Each live file always holds its complete old or its
// complete new content: everything new is written and synced before anything is replaced.
// With backups on, the .bak files become the generation that was live before this save;
// either way, live entry files that are not in the new set are removed.
// Files whose bytes are already right are left alone. Temporaries are named ".nokuri-save-*",
// which no reader matches.
// On failure nothing live has changed and the error names the file and the reason. Everything
// that a full disk or missing permissions can stop happens before the first live name changes;
// should a rename fail after that, the names already replaced are put back, and the reason
// also names any that could not be. A failing sync of the directory at the very end is
// reported too, although the new files are then in place.
// After a save that succeeded, `stamps` (when given) holds the stamp of every file of the new set.
std::optional<SaveError> saveNoteFiles(const QString &dir, const QList<SaveFile> &entryFiles,
    const SaveFile &settings, bool makeBackup, QHash<QString, FileStamp> *stamps = nullptr);

// Removes what an interrupted save left behind (its temporary files).
void cleanupInterruptedSave(const QString &dir);
