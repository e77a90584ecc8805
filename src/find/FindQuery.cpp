#include "find/FindQuery.h"

#include <algorithm>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    const qsizetype length = word.size();
    if (length <= 1)
        return length == 0 ? (from <= text.size() ? from : -1) : text.indexOf(word.front(), from);
    const qsizetype last = text.size() - length;
    const char16_t *t = text.utf16();
    const char16_t *w = word.utf16();
    const auto matchesAt
        = [&](qsizetype at) { return std::equal(w + 1, w + length - 1, t + at + 1); };
    qsizetype at = from;
#if defined(__SSE2__)
    // Eight places at a time whose first and last characters both fit: a common first
    // character alone (a hiragana) would stop the scan every few characters.
    const __m128i first = _mm_set1_epi16(static_cast<short>(w[0]));
    const __m128i lastOne = _mm_set1_epi16(static_cast<short>(w[length - 1]));
    for (; at + 7 <= last; at += 8) {
        const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + at));
        const __m128i ends
            = _mm_loadu_si128(reinterpret_cast<const __m128i *>(t + at + length - 1));
        auto bytes = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi16(starts, first), _mm_cmpeq_epi16(ends, lastOne))));
        while (bytes != 0) {
            const int byte = std::countr_zero(bytes);
            if (matchesAt(at + byte / 2))
                return at + byte / 2;
            bytes &= ~(3u << byte);
        }
    }
#endif
    for (; at <= last; ++at) {
        if (t[at] == w[0] && t[at + length - 1] == w[length - 1] && matchesAt(at))
            return at;
    }
    return -1;
}
