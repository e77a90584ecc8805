#pragma once

#include "find/FoldedText.h"

#include <QStringList>
#include <optional>

// Where an entry matches a query, in the original text of its title or its content.
struct Match
{
    enum class Field { Title, Content };
    Field field = Field::Content;
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const Match &, const Match &) = default;
};

// What the user typed into the search box: words separated by ASCII or ideographic spaces,
// each folded as the texts are. An entry matches when every word occurs in its title or in its
// content.
class FindQuery final
{
public:
    FindQuery() = default;
    FindQuery(QStringView typed, bool kanaInsensitive);

    bool isEmpty() const { return m_words.isEmpty(); }
    bool kanaInsensitive() const { return m_kanaInsensitive; }
    const QStringList &words() const { return m_words; }

    // The place to show: the earliest word in the content, or the first word in the title where
    // no word occurs in the content. Nothing when a word occurs in neither.
    std::optional<Match> match(const FoldedText &title, const FoldedText &content) const;

private:
    QStringList m_words;
    bool m_kanaInsensitive = true;
};

// The first place of `word` in `text` at or after `from`, or -1. Compares eight places at a
// time where the processor can, several times faster than a general substring search on long
// Japanese texts.
qsizetype findWord(QStringView text, QStringView word, qsizetype from = 0);
