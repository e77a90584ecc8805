#include "find/FoldedText.h"

#include <algorithm>
#include <array>

namespace {

bool isSoundMark(char16_t c)
{
    return c == 0x3099 || c == 0x309A || c == 0xFF9E || c == 0xFF9F;
}

bool isKana(char16_t c)
{
    return c >= 0x3041 && c <= 0x30FF;
}

// Half-width katakana and signs U+FF61..U+FF9F in their full-width forms.
const std::array<char16_t, 0x3F> &halfWidthKana()
{
    static const std::array<char16_t, 0x3F> table = [] {
        std::array<char16_t, 0x3F> forms {};
        for (char16_t c = 0xFF61; c <= 0xFF9F; ++c)
            forms.at(c - 0xFF61) = QChar::decomposition(c).at(0).unicode();
        return forms;
    }();
    return table;
}

// The kana with the sound mark, or 0 where the two do not make one character (ｱﾞ).
char16_t voiced(char16_t kana, char16_t mark)
{
    const char16_t combining = mark == 0xFF9E ? 0x3099 : mark == 0xFF9F ? 0x309A : mark;
    const QChar pair[] {QChar(kana), QChar(combining)};
    const QString joined = QString(pair, 2).normalized(QString::NormalizationForm_C);
    return joined.size() == 1 ? joined.at(0).unicode() : 0;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
}

// A character with a compatibility form that NFKC replaces; not one that NFKC would turn into
// a space and a mark (゛), which would split a word in two.
bool hasPlainForm(char16_t c)
{
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    return tag != QChar::NoDecomposition && tag != QChar::Canonical;
}

} // namespace

FoldedText::FoldedText(QStringView original, bool kanaInsensitive)
{
    const qsizetype size = original.size();
    const char16_t *in = original.utf16();
    m_text.reserve(size);
    qsizetype i = 0;
    // Appends the fold of in[i, i + consumed) and records it where it is not one to one.
    const auto put = [&](QStringView folded, qsizetype consumed) {
        if (folded.size() != 1 || consumed != 1)
            m_joints.push_back({m_text.size(), folded.size(), i, consumed});
        m_text.append(folded);
        i += consumed;
    };
    while (i < size) {
        char16_t c = in[i];
        if (c < 0x80) {
            m_text.append(QChar(asciiLower(c)));
            ++i;
            continue;
        }
        if (c >= 0x4E00 && c <= 0x9FFF) {
            m_text.append(QChar(c));
            ++i;
            continue;
        }
        bool fromHalfWidth = false;
        if (c >= 0xFF61 && c <= 0xFF9F) {
            c = halfWidthKana().at(c - 0xFF61);
            fromHalfWidth = true;
        }
        if (isKana(c)) {
            qsizetype consumed = 1;
            if (i + 1 < size && isSoundMark(in[i + 1])) {
                if (const char16_t joined = voiced(c, in[i + 1])) {
                    c = joined;
                    consumed = 2;
                }
            }
            if (kanaInsensitive && ((c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E))
                c += 0x60;
            if (consumed == 1) {
                m_text.append(QChar(c));
                ++i;
            } else {
                put(QStringView(&c, 1), consumed);
            }
            continue;
        }
        if (fromHalfWidth || QChar::isSurrogate(c)) {
            m_text.append(QChar(c));
            ++i;
            continue;
        }
        if (c == 0x3000) {
            m_text.append(u' ');
            ++i;
            continue;
        }
        if (c >= 0xFF01 && c <= 0xFF5E) {
            m_text.append(QChar(asciiLower(char16_t(c - 0xFEE0))));
            ++i;
            continue;
        }
        if (hasPlainForm(c)) {
            const QString plain = QString(QChar(c)).normalized(QString::NormalizationForm_KC);
            if (!plain.contains(u' ') || plain.size() == 1) {
                put(plain.toCaseFolded(), 1);
                continue;
            }
        }
        m_text.append(QChar(c).toCaseFolded());
        ++i;
    }
}

qsizetype FoldedText::originalStart(qsizetype folded) const
{
    const auto after = std::upper_bound(m_joints.begin(), m_joints.end(), folded,
        [](qsizetype position, const Joint &joint) { return position < joint.folded; });
    if (after == m_joints.begin())
        return folded;
    const Joint &joint = *std::prev(after);
    const qsizetype jointEnd = joint.folded + joint.foldedLength;
    if (folded < jointEnd)
        return joint.original;
    return joint.original + joint.originalLength + (folded - jointEnd);
}

qsizetype FoldedText::originalEnd(qsizetype folded) const
{
    if (folded == 0)
        return 0;
    const auto after = std::upper_bound(m_joints.begin(), m_joints.end(), folded - 1,
        [](qsizetype position, const Joint &joint) { return position < joint.folded; });
    if (after != m_joints.begin()) {
        const Joint &joint = *std::prev(after);
        if (folded - 1 < joint.folded + joint.foldedLength)
            return joint.original + joint.originalLength;
    }
    return originalStart(folded - 1) + 1;
}

FoldedText::Range FoldedText::originalRange(qsizetype start, qsizetype length) const
{
    const qsizetype from = originalStart(start);
    if (length == 0)
        return {from, 0};
    return {from, originalEnd(start + length) - from};
}
