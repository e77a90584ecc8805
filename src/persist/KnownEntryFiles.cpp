#include "persist/KnownEntryFiles.h"

void KnownEntryFiles::remember(
    const QString &name, std::shared_ptr<const StoredEntry> entry, const FileStamp &stamp)
{
    m_files.insert(name, {std::move(entry), stamp});
}

void KnownEntryFiles::remember(
    const QString &name, const Entry &entry, const EntrySource &source, const FileStamp &stamp)
{
    remember(name, std::make_shared<const StoredEntry>(entry, source), stamp);
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
    // An entry not decoded yet is not the text of another: reading the file is cheaper.
    if (!known || !known->entry->isDecoded() || !sameText(known->entry->title(), entry.title)
        || !sameText(known->entry->content(), entry.content) || known->entry->source() != source)
        return std::nullopt;
    return known->stamp;
}

std::optional<FileStamp> KnownEntryFiles::holding(
    const QString &name, const StoredEntry &entry) const
{
    const Known *known = find(name);
    if (known && known->entry.get() == &entry)
        return known->stamp;
    if (!entry.isDecoded())
        return std::nullopt;
    return holding(name, entry.entry(), entry.source());
}

bool KnownEntryFiles::holdsContent(const QString &name, const EntryContent &content) const
{
    const Known *known = find(name);
    return known
        && (content.stored() == known->entry || sameText(known->entry->content(), content.text()));
}

bool sameText(const QString &a, const QString &b)
{
    return (a.size() == b.size() && a.constData() == b.constData()) || a == b;
}
