#include "find/FoldedText.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <bitset>

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

// The characters beyond ASCII and kana whose fold is not themselves: compatibility forms
// (full-width, circled, squared, ㈱) in their NFKC form, and letters in lower case. Built once;
// looking a character up in the library's Unicode tables for every character of 50 MB of notes
// costs several times the rest of the fold.
struct FoldTable
{
    std::bitset<0x10000> changes;
    QHash<char16_t, QString> folds;
};

const FoldTable &foldTable()
{
    static const FoldTable table = [] {
        FoldTable built;
        for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
            if (QChar::isSurrogate(c))
                continue;
            const QChar::Decomposition tag = QChar::decompositionTag(c);
            QString fold = QString(QChar(char16_t(c)));
            if (tag != QChar::NoDecomposition && tag != QChar::Canonical) {
                const QString plain = fold.normalized(QString::NormalizationForm_KC);
                // Not one that NFKC turns into a space and a mark (゛): it would split a word.
                if (!plain.contains(u' ') || plain.size() == 1)
                    fold = plain;
            }
            fold = fold.toCaseFolded();
            if (fold.size() == 1 && fold.at(0).unicode() == c)
                continue;
            built.changes.set(c);
            built.folds.insert(char16_t(c), fold);
        }
        return built;
    }();
    return table;
}

} // namespace

FoldedText::FoldedText(QStringView original, bool kanaInsensitive)
{
    const FoldTable &table = foldTable();
    const qsizetype size = original.size();
    const char16_t *in = original.utf16();
    // Written through a pointer: appending character by character costs more than the fold.
    m_text.resize(size);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data());
    qsizetype n = 0;
    qsizetype i = 0;
    // Writes the fold of in[i, i + consumed) that is not one character for one character.
    const auto putJoint = [&](QStringView folded, qsizetype consumed) {
        m_joints.push_back({n, folded.size(), i, consumed});
        const qsizetype needed = n + folded.size() + (size - i - consumed);
        if (needed > m_text.size()) {
            m_text.resize(needed + size / 8);
            out = reinterpret_cast<char16_t *>(m_text.data());
        }
        for (const QChar c : folded)
            out[n++] = c.unicode();
        i += consumed;
    };
    while (i < size) {
        char16_t c = in[i];
        if (c < 0x80) {
            out[n++] = asciiLower(c);
            ++i;
            continue;
        }
        if (c >= 0x4E00 && c <= 0x9FFF) {
            out[n++] = c;
            ++i;
            continue;
        }
        const bool halfWidth = c >= 0xFF61 && c <= 0xFF9F;
        if (halfWidth)
            c = halfWidthKana().at(c - 0xFF61);
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
                out[n++] = c;
                ++i;
            } else {
                putJoint(QStringView(&c, 1), consumed);
            }
            continue;
        }
        if (!halfWidth && table.changes.test(c)) {
            const QString &fold = *table.folds.constFind(c);
            if (fold.size() != 1) {
                putJoint(fold, 1);
                continue;
            }
            c = fold.at(0).unicode();
        }
        out[n++] = c;
        ++i;
    }
    m_text.resize(n);
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
