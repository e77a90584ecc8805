#include "find/NoteSearch.h"

#include "find/NoteSource.h"

NoteSearch::NoteSearch(const NoteSource &source)
    : m_source(source)
{ }

QList<FindResult> NoteSearch::run(const FindQuery &query)
{
    QList<FindResult> results;
    if (query.isEmpty())
        return results;
    if (query.kanaInsensitive() != m_kanaInsensitive) {
        m_kanaInsensitive = query.kanaInsensitive();
        m_folded.clear();
        m_box = {};
    }
    m_used.clear();
    m_used.reserve(m_folded.size());
    for (int tab = 0; tab < m_source.tabCount(); ++tab) {
        for (int entry = 0; entry < m_source.entryCount(tab); ++entry) {
            if (const std::optional<Match> found = matchEntry(query, tab, entry))
                results.append({tab, entry, *found});
        }
    }
    // Contents no longer in any record are let go.
    m_folded.swap(m_used);
    m_used.clear();
    return results;
}

std::optional<Match> NoteSearch::recheck(const FindQuery &query, int tab, int entry)
{
    if (query.isEmpty() || tab >= m_source.tabCount() || entry >= m_source.entryCount(tab))
        return std::nullopt;
    return matchEntry(query, tab, entry);
}

std::optional<Match> NoteSearch::matchEntry(const FindQuery &query, int tab, int entry)
{
    const FoldedText title(m_source.title(tab, entry), query.kanaInsensitive());
    return query.match(title, foldedContent(m_source.content(tab, entry)));
}

const FoldedText &NoteSearch::foldedContent(const QString &content)
{
    const QChar *key = content.constData();
    if (auto kept = m_used.constFind(key);
        kept != m_used.cend() && kept->original.size() == content.size())
        return kept->text;
    if (auto kept = m_folded.find(key);
        kept != m_folded.end() && kept->original.size() == content.size()) {
        Folded moved = std::move(*kept);
        m_folded.erase(kept);
        return m_used.insert(key, std::move(moved))->text;
    }
    // Not a record's string: the box's text, or a content changed since the last run.
    if (m_box.original.size() == content.size() && m_box.original == content)
        return m_box.text;
    Folded fresh {content, FoldedText(content, m_kanaInsensitive)};
    if (!content.isEmpty() && content.isDetached()) {
        m_box = std::move(fresh);
        return m_box.text;
    }
    return m_used.insert(key, std::move(fresh))->text;
}
