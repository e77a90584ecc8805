#pragma once

#include "persist/FileStamp.h"
#include "persist/KnownEntryFiles.h"
#include "persist/LiveFiles.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// What the settings file held when the program last read or wrote it; no bytes when there was
// none. No stamp when the program cannot vouch for the file's present stamp (someone may have
// written it in between), which makes the next look compare the bytes.
struct KnownSettingsFile
{
    QString name;
    std::optional<FileStamp> stamp;
    std::optional<QByteArray> bytes;
};

// The whole file's bytes; nothing when it cannot be read to the end.
std::optional<QByteArray> readWholeFile(const QString &path);

// A file's bytes with the stamp it had while they were read: no stamp when someone wrote it
// meanwhile or it could not be read.
struct StampedFile
{
    std::optional<FileStamp> stamp;
    std::optional<QByteArray> bytes;
};
StampedFile readStampedFile(const QString &path);

// Reads the settings file with the stamp it had while it was read.
KnownSettingsFile readKnownSettings(const QString &dir, const QString &name);

// The stamps of the note files (entry files and the settings file) in the folder now. Nothing
// else counts: the temporaries of the program and of sync tools (".syncthing.*.tmp", "*.part",
// "~*", ".~lock*", ".sync_*") and the sync tools' conflict files never change a note.
QHash<QString, FileStamp> noteFileStamps(const QString &dir, const QString &settingsName);
QHash<QString, FileStamp> stampsOf(const QHash<QString, LiveFile> &files);

// The stamps the program knows the note files by.
QHash<QString, FileStamp> knownStamps(
    const KnownEntryFiles &entries, const KnownSettingsFile &settings);

// A note file that someone else changed: its bytes now, or nothing when it was removed.
struct OutsideFile
{
    QString name;
    std::optional<QByteArray> bytes;
};

// The note files whose content differs from what the program last read or wrote. A file whose
// stamp is the known one is taken as unchanged unread; one whose stamp moved but whose bytes are
// the same (copied back, touched) is unchanged too. Sorted by name. `looked` (when given) gets
// the live note files as this look found them.
QList<OutsideFile> findOutsideChanges(const QString &dir, const KnownEntryFiles &entries,
    const KnownSettingsFile &settings, QHash<QString, LiveFile> *looked = nullptr);
