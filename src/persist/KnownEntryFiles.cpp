#include "persist/KnownEntryFiles.h"

void KnownEntryFiles::remember(
    const QString &name, const Entry &entry, const EntrySource &source, const FileStamp &stamp)
{
    m_files.insert(name, {entry, source, stamp});
}

const KnownEntryFiles::Known *KnownEntryFiles::find(const QString &name) const
{
    const auto it = m_files.constFind(name);
    return it == m_files.cend() ? nullptr : &it.value();
}

std::optional<FileStamp> KnownEntryFiles::holding(
    const QString &name, const Entry &entry, const EntrySource &source) const
{
    const Known *known = find(name);
    if (!known || !sameText(known->entry.title, entry.title)
        || !sameText(known->entry.content, entry.content) || known->source != source)
        return std::nullopt;
    return known->stamp;
}

bool sameText(const QString &a, const QString &b)
{
    return (a.size() == b.size() && a.constData() == b.constData()) || a == b;
}
