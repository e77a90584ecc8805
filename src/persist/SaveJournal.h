#pragma once

#include "persist/Directory.h"
#include "persist/SaveEngine.h"

#include <QList>
#include <QString>
#include <optional>

// One rename or removal that a committed save still has to make. Names are inside the notes
// folder; absolute paths lead elsewhere (the target of a symbolic link).
struct SaveStep
{
    QString from;
    QString to; // empty: `from` is removed

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
// synced its temporaries' bytes. Only a failure before the rename is returned as an error with
// `committed` false; from the rename on the save is committed.
std::optional<SaveError> commit(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, const QStringList &foreignFolders, bool &committed);

// Makes the steps, syncs the folders they touched and removes the record. A step whose source
// is gone was made before, when `resuming` an interrupted save. On failure the record stays.
std::optional<SaveError> carryOut(
    const Directory &dir, const QString &dirPath, const QList<SaveStep> &steps, bool resuming);

// Finishes a save that a kill or power cut interrupted after its commit (a record whose steps
// are carried out), then removes the temporaries of any interrupted save, also those beside the
// targets of symbolic links. `names` gets the folder's names that are left. On failure the
// record and the temporaries stay.
std::optional<SaveError> finishInterrupted(
    const Directory &dir, const QString &dirPath, QStringList &names);

} // namespace SaveJournal
