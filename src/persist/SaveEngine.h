#pragma once

#include "persist/FileStamp.h"
#include "persist/LiveFiles.h"

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

// Whether a save makes the copies that renew the backups of unchanged files before it returns,
// or leaves them in its commit record for finishSaves(), so that the window need not wait for
// them; the syncs after its renames wait as well. Either way a kill or a power cut leaves one whole
// generation behind, the .bak files included: the next start or save makes the copies that are
// left.
enum class BackupCopies { Now, Later };

struct SaveError
{
    QString fileName;
    QString reason; // the system's reason
};

// Replaces the live files of the directory by exactly `entryFiles` plus `settings`
// (TabSet.ini). The whole set changes at once: after a kill or a power cut at any instant,
// cleanupInterruptedSave() finds the old generation or the new one, of the live files and
// of the .bak files alike, never a mix. With backups on, the .bak files become the generation
// that was live before this save, each a file of its own; either way, live entry files that are
// not in the new set are removed. Files whose bytes are already right are left alone. A live
// file that is a symbolic link into another folder is written through: its target gets the new
// content and the link stays. Temporaries are named ".nokuri-save-*", which no reader matches.
// A save first finishes a save that was interrupted after its commit.
// On failure the error names the file and the reason. Everything that a full disk or missing
// permissions can stop happens before the commit, and then no live or .bak file has changed.
// A failure after the commit (an I/O error on a rename) leaves the commit record in place for
// the next save or start to finish.
// After a save that succeeded, `stamps` (when given) holds the stamp of every file of the new set.
// With BackupCopies::Later, a save that follows one whose copies are not all made takes them
// over without making them.
// `looked` (when given): the live note files as a look at the folder found them just before
// (liveNoteFiles); the save goes by it instead of looking at them again. A file that changed
// after that look is then taken as the look found it: its stamp in `stamps` is the look's, so the
// next look finds the change.
std::optional<SaveError> saveNoteFiles(const QString &dir, const QList<SaveFile> &entryFiles,
    const SaveFile &settings, bool makeBackup, QHash<QString, FileStamp> *stamps = nullptr,
    BackupCopies copies = BackupCopies::Now, const QHash<QString, LiveFile> *looked = nullptr);

// Finishes what a save with BackupCopies::Later left: makes the backup copies, syncs the
// folders and removes the commit record. Between two copies it asks `stopRequested`; once it
// says so, the rest stay for the next call, save or start. Must not run beside a save of the
// same folder.
std::optional<SaveError> finishSaves(
    const QString &dir, const std::function<bool()> &stopRequested = {});

// At start-up, before anything is read: finishes a save that was interrupted after its commit
// and removes the temporaries of any interrupted save. On failure the files stay as they are
// for the next attempt.
std::optional<SaveError> cleanupInterruptedSave(const QString &dir);
