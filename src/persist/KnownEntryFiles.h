#pragma once

#include "persist/FileStamp.h"
#include "persist/StoredEntry.h"

#include <QHash>
#include <QList>
#include <memory>
#include <optional>

// What the entry files of the notes folder hold, as far as the program knows from reading and
// writing them: per file name the entry and the file's stamp at that moment; the file's bytes
// are exactly the entry's bytes(). A save then need not encode or reread an entry that is
// unchanged, and the recovery file can point to the saved text instead of repeating it.
class KnownEntryFiles final
{
public:
    struct Known
    {
        std::shared_ptr<const StoredEntry> entry;
        FileStamp stamp;
    };

    void clear() { m_files.clear(); }
    // The file may hold anything now: the next look compares it as another program's change.
    void forget(const QString &name) { m_files.remove(name); }
    void remember(
        const QString &name, std::shared_ptr<const StoredEntry> entry, const FileStamp &stamp);
    void remember(
        const QString &name, const Entry &entry, const EntrySource &source, const FileStamp &stamp);
    const Known *find(const QString &name) const;
    QList<QString> names() const { return m_files.keys(); }
    // The stamp under which file `name` holds exactly what entryFileBytes(entry, source) gives,
    // if it is known to without decoding a file that was not decoded yet.
    std::optional<FileStamp> holding(
        const QString &name, const Entry &entry, const EntrySource &source) const;
    // The stamp under which file `name` holds `entry`'s bytes, if it is known to without
    // decoding.
    std::optional<FileStamp> holding(const QString &name, const StoredEntry &entry) const;
    // Whether file `name` holds `content` as its content.
    bool holdsContent(const QString &name, const EntryContent &content) const;

private:
    QHash<QString, Known> m_files;
};

// Equal strings; unchanged entries share their text with what was read or saved, so the
// comparison is mostly a look at two pointers.
bool sameText(const QString &a, const QString &b);
