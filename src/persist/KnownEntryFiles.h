#pragma once

#include "persist/Entry.h"
#include "persist/FileStamp.h"

#include <QHash>
#include <optional>

// What the entry files of the notes folder hold, as far as the program knows from reading and
// writing them: per file name the entry, its source and the file's stamp at that moment; the
// file's bytes are exactly what entryFileBytes makes of that entry and source. A save then need
// not encode or reread an entry that is unchanged, and the recovery file can point to the saved
// text instead of repeating it.
class KnownEntryFiles final
{
public:
    struct Known
    {
        Entry entry;
        EntrySource source;
        FileStamp stamp;
    };

    void clear() { m_files.clear(); }
    void remember(
        const QString &name, const Entry &entry, const EntrySource &source, const FileStamp &stamp);
    const Known *find(const QString &name) const;
    // The stamp under which file `name` holds exactly what entryFileBytes(entry, source) gives,
    // if it is known to.
    std::optional<FileStamp> holding(
        const QString &name, const Entry &entry, const EntrySource &source) const;

private:
    QHash<QString, Known> m_files;
};

// Equal strings; unchanged entries share their text with what was read or saved, so the
// comparison is mostly a look at two pointers.
bool sameText(const QString &a, const QString &b);
