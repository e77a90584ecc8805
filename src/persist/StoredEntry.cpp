#include "persist/StoredEntry.h"

#include "persist/EntryFiles.h"
#include "persist/NoteCodec.h"

StoredEntry::StoredEntry(QByteArray bytes)
    : m_read(std::move(bytes))
    , m_fromFile(true)
    , m_decoded(false)
{
    const qsizetype titleEnd = m_read.indexOf('\r');
    auto title
        = titleEnd < 0 ? std::nullopt : decodeNoteHead(QByteArrayView(m_read).first(titleEnd));
    if (title)
        m_entry.title = *std::move(title);
    else
        decoded();
}

StoredEntry::StoredEntry(Entry entry, EntrySource source)
    : m_entry(std::move(entry))
    , m_source(std::move(source))
{ }

const Entry &StoredEntry::decoded() const
{
    if (!m_decoded) {
        m_entry = parseEntryFile(m_read, &m_source);
        m_read = QByteArray();
        m_decoded = true;
    }
    return m_entry;
}

std::optional<QString> StoredEntry::longContentStart(qsizetype longerThan, qsizetype chars) const
{
    if (m_decoded)
        return std::nullopt;
    return parseEntryContentStart(m_read, longerThan, chars);
}

QByteArray StoredEntry::bytes() const
{
    if (!m_decoded)
        return m_read;
    // Bytes that the source of a file read keeps are that file; encoding gives them otherwise.
    if (m_fromFile && m_source.bytes)
        return *m_source.bytes;
    return entryFileBytes(m_entry, m_source);
}
