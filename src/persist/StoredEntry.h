#pragma once

#include "persist/Entry.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

// One entry file's entry, made either from the bytes read from the file or from an entry and its
// source. From bytes, the title is decoded at once (the title lists show every title) and the
// content, the larger part, only when first asked for: most entries are never looked at in a
// run. Decoding gives exactly what parseEntryFile gives. Shared between the tab records and what
// the program knows of the files; one thread only, but for a decoded entry, which changes no
// more: a save reads those from its own thread.
class StoredEntry final
{
public:
    explicit StoredEntry(QByteArray bytes);
    StoredEntry(Entry entry, EntrySource source);

    const QString &title() const { return m_entry.title; }
    const QString &content() const { return decoded().content; }
    const Entry &entry() const { return decoded(); }
    const EntrySource &source() const
    {
        decoded();
        return m_source;
    }
    bool isDecoded() const { return m_decoded; }
    // While the content is not decoded: its first `chars` characters, where it certainly has
    // more than `longerThan` (as parseEntryContentStart tells). Nothing otherwise.
    std::optional<QString> longContentStart(qsizetype longerThan, qsizetype chars) const;

    // The file's bytes: entryFileBytes(entry(), source()), without decoding or encoding where the
    // bytes read are still at hand.
    QByteArray bytes() const;

private:
    const Entry &decoded() const;

    mutable Entry m_entry;
    mutable EntrySource m_source;
    mutable QByteArray m_read; // the bytes read, until decoded
    bool m_fromFile = false;
    mutable bool m_decoded = true;
};

// One entry's content as a tab record holds it: text, or the stored entry it was read as, which
// decodes when the text is first asked for.
class EntryContent final
{
public:
    EntryContent() = default;
    EntryContent(QString text) // NOLINT: edits give plain text
        : m_text(std::move(text))
    { }
    explicit EntryContent(std::shared_ptr<const StoredEntry> stored)
        : m_stored(std::move(stored))
    { }

    const QString &text() const { return m_stored ? m_stored->content() : m_text; }
    // The stored entry whose content this still is; null for text.
    const std::shared_ptr<const StoredEntry> &stored() const { return m_stored; }

private:
    QString m_text;
    std::shared_ptr<const StoredEntry> m_stored;
};
