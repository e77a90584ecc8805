#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

struct SaveFile
{
    QString name; // file name inside the directory, e.g. "Tab1A.tab"
    QByteArray bytes;
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
std::optional<SaveError> saveNoteFiles(const QString &dir, const QList<SaveFile> &entryFiles,
    const SaveFile &settings, bool makeBackup);

// Removes what an interrupted save left behind (its temporary files).
void cleanupInterruptedSave(const QString &dir);
