#pragma once

#include "find/FindQuery.h"
#include "find/FoldedText.h"

#include <QHash>
#include <QList>
#include <optional>

class NoteSource;

// One entry that matches, with the place to show.
struct FindResult
{
    int tab = 0;
    int entry = 0;
    Match match;

    friend bool operator==(const FindResult &, const FindResult &) = default;
};

// Runs a query over every entry of every tab. Folding is the dear part of a search, so the
// folded contents are kept between runs for as long as the record holds the same string; a
// run folds only what changed since the last one.
class NoteSearch final
{
public:
    explicit NoteSearch(const NoteSource &source);

    // The matching entries in tab and entry order.
    QList<FindResult> run(const FindQuery &query);
    // The entry's match as the notes are now, or nothing if it no longer matches or is gone.
    std::optional<Match> recheck(const FindQuery &query, int tab, int entry);

private:
    struct Folded
    {
        QString original;
        FoldedText text;
    };
    const FoldedText &foldedContent(const QString &content);
    std::optional<Match> matchEntry(const FindQuery &query, int tab, int entry);

    const NoteSource &m_source;
    bool m_kanaInsensitive = true;
    // Keyed by the string's storage, which the kept copy holds alive: a string changed since
    // has storage of its own.
    QHash<const QChar *, Folded> m_folded;
    QHash<const QChar *, Folded> m_used;
    // The box's text is a new string at every read; it is kept by value.
    Folded m_box;
};
