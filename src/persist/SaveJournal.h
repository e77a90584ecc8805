#pragma once

#include "persist/Directory.h"
#include "persist/SaveEngine.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// One rename, removal or copy that a committed save still has to make. Names are inside the
// notes folder; absolute paths lead elsewhere (the target of a symbolic link).
struct SaveStep
{
    QString from;
    QString to; // empty: `from` is removed
    // `to` becomes a synced copy of `from`, a live file that no step of the save changes, so
    // the copy may be made at any time after the other steps.
    bool copy = false;

    bool operator==(const SaveStep &) const = default;
};

// The commit record of a save: the steps from the old generation to the new one, written down
// before the first of them is made, so that a save interrupted after that point can be finished.
namespace SaveJournal {

// The record's name in the notes folder, and the prefix of every temporary of a save.
extern const QString TempPrefix;
extern const QString Name;

// The temporary that new content for the file at `path` is written to before it replaces the
// file: beside it, in its folder.
QString temporaryFor(const QString &path);

QByteArray compose(const QList<SaveStep> &steps);
// Nothing unless the bytes are a complete record.
std::optional<QList<SaveStep>> parse(const QByteArray &bytes);

// Writes the record durably: under a temporary name, synced, renamed to Name, the folder synced.
// `foreignFolders` hold temporaries too and are synced before the rename. The caller has
// synced its temporaries' bytes; `temporaries` tells whether it wrote any. Only a failure before
// the rename is returned as an error with `committed` false; from the rename on the save is
// committed.
std::optional<SaveError> commit(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, const QStringList &foreignFolders, bool temporaries,
    bool &committed);

// Makes the renames and removals and syncs the folders they touched; then makes the copies and
// removes the record. With `copies` Later it leaves the rest to finishLater(): a record of the
// copies alone in place of the record, or, when there are no copies (or nothing else), the
// record as it is, unsynced. A step whose source is gone was made before, when `resuming` an
// interrupted save. On failure the record stays.
std::optional<SaveError> carryOut(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, bool resuming, BackupCopies copies = BackupCopies::Now);

// Makes the copies of a record that holds nothing else, syncs them, renames them into place and
// removes the record. Once `stopRequested` says so it stops between two files and the record
// stays. A copy whose source is gone is not made.
std::optional<SaveError> makeCopies(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &copies, const std::function<bool()> &stopRequested = {});

// The steps of the record in the folder; nothing when there is no complete record.
std::optional<QList<SaveStep>> read(const Directory &dir);

// Finishes a save that a kill or power cut interrupted after its commit (a record whose steps
// are carried out), then removes the temporaries of any interrupted save, also those beside the
// targets of symbolic links. `names` gets the folder's names that are left. With `pendingCopies`,
// a record of copies alone stays, its steps go there, and the caller's save takes them over.
// On failure the record and the temporaries stay.
std::optional<SaveError> finishInterrupted(const Directory &dir, const QString &dirPath,
    QStringList &names, QList<SaveStep> *pendingCopies = nullptr);

} // namespace SaveJournal
