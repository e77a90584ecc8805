#include "find/FindQuery.h"

FindQuery::FindQuery(QStringView typed, bool kanaInsensitive)
    : m_kanaInsensitive(kanaInsensitive)
{
    // The fold turns the ideographic space into an ASCII one.
    const FoldedText folded(typed, kanaInsensitive);
    m_words = folded.text().split(u' ', Qt::SkipEmptyParts);
}

std::optional<Match> FindQuery::match(const FoldedText &title, const FoldedText &content) const
{
    if (m_words.isEmpty())
        return std::nullopt;
    std::optional<Match> inContent;
    std::optional<Match> inTitle;
    for (const QString &word : m_words) {
        const qsizetype at = findWord(content.text(), word);
        if (at >= 0) {
            if (!inContent || at < inContent->start)
                inContent = Match {Match::Field::Content, at, word.size()};
            continue;
        }
        const qsizetype titleAt = findWord(title.text(), word);
        if (titleAt < 0)
            return std::nullopt;
        if (!inTitle)
            inTitle = Match {Match::Field::Title, titleAt, word.size()};
    }
    Match found = inContent ? *inContent : *inTitle;
    const FoldedText &text = inContent ? content : title;
    const FoldedText::Range original = text.originalRange(found.start, found.length);
    found.start = original.start;
    found.length = original.length;
    return found;
}

qsizetype findWord(QStringView text, QStringView word, qsizetype from)
{
    if (word.isEmpty())
        return from <= text.size() ? from : -1;
    const QChar first = word.front();
    const QStringView rest = word.sliced(1);
    const qsizetype last = text.size() - word.size();
    for (qsizetype at = text.indexOf(first, from); at >= 0 && at <= last;
         at = text.indexOf(first, at + 1)) {
        if (text.sliced(at + 1, rest.size()) == rest)
            return at;
    }
    return -1;
}
