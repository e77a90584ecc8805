#include "persist/OutsideChanges.h"

#include "persist/LiveFiles.h"

#include <QDir>
#include <QFile>
#include <algorithm>

std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

StampedFile readStampedFile(const QString &path)
{
    StampedFile read {fileStampOf(path), readWholeFile(path)};
    if (!read.bytes || read.stamp != fileStampOf(path))
        read.stamp.reset();
    return read;
}

KnownSettingsFile readKnownSettings(const QString &dir, const QString &name)
{
    StampedFile read = readStampedFile(QDir(dir).filePath(name));
    return {name, read.stamp, std::move(read.bytes)};
}

QHash<QString, FileStamp> noteFileStamps(const QString &dir, const QString &settingsName)
{
    return stampsOf(liveNoteFiles(dir, settingsName));
}

QHash<QString, FileStamp> stampsOf(const QHash<QString, LiveFile> &files)
{
    QHash<QString, FileStamp> stamps;
    stamps.reserve(files.size());
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        stamps.insert(it.key(), FileStamp::of(it->status));
    return stamps;
}

QHash<QString, FileStamp> knownStamps(
    const KnownEntryFiles &entries, const KnownSettingsFile &settings)
{
    QHash<QString, FileStamp> stamps;
    for (const QString &name : entries.names())
        stamps.insert(name, entries.find(name)->stamp);
    if (settings.stamp)
        stamps.insert(settings.name, *settings.stamp);
    return stamps;
}

QList<OutsideFile> findOutsideChanges(const QString &dir, const KnownEntryFiles &entries,
    const KnownSettingsFile &settings, QHash<QString, LiveFile> *looked)
{
    const QDir folder(dir);
    QHash<QString, LiveFile> live = liveNoteFiles(dir, settings.name);
    const QHash<QString, FileStamp> now = stampsOf(live);
    if (looked)
        *looked = std::move(live);
    // A file whose stamp is not the one known may have changed; its bytes tell.
    QStringList names;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        const KnownEntryFiles::Known *entry = entries.find(it.key());
        const std::optional<FileStamp> known = it.key() == settings.name
            ? settings.stamp
            : (entry ? std::optional(entry->stamp) : std::nullopt);
        if (known != *it)
            names.append(it.key());
    }
    for (const QString &name : entries.names()) {
        if (!now.contains(name))
            names.append(name);
    }
    if ((settings.bytes || settings.stamp) && !now.contains(settings.name))
        names.append(settings.name);
    std::sort(names.begin(), names.end());

    QList<OutsideFile> changes;
    for (const QString &name : std::as_const(names)) {
        OutsideFile file {name, std::nullopt};
        if (now.contains(name)) {
            file.bytes = readWholeFile(folder.filePath(name));
            if (!file.bytes)
                continue; // unreadable now (being replaced): the next look sees it
        }
        std::optional<QByteArray> knownBytes;
        if (name == settings.name)
            knownBytes = settings.bytes;
        else if (const KnownEntryFiles::Known *entry = entries.find(name))
            knownBytes = entry->entry->bytes();
        if (file.bytes != knownBytes)
            changes.append(file);
    }
    return changes;
}
