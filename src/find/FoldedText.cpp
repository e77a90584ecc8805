#include "find/FoldedText.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace {

bool isSoundMark(char16_t c)
{
    return c == 0x3099 || c == 0x309A || c == 0xFF9E || c == 0xFF9F;
}

// The kana with the sound mark, or 0 where the two do not make one character (ｱﾞ).
char16_t voiced(char16_t kana, char16_t mark)
{
    const QChar pair[] {QChar(kana), QChar(mark)};
    const QString joined = QString(pair, 2).normalized(QString::NormalizationForm_C);
    return joined.size() == 1 ? joined.at(0).unicode() : 0;
}

char16_t asciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
}

char16_t hiraganaAsKatakana(char16_t c)
{
    const bool hiragana = (c >= 0x3041 && c <= 0x3096) || c == 0x309D || c == 0x309E;
    return hiragana ? char16_t(c + 0x60) : c;
}

// The fold of one character, hiragana kept.
QString foldOf(char16_t c)
{
    if (c < 0x80)
        return QString(QChar(asciiLower(c)));
    if (QChar::isSurrogate(c))
        return QString(QChar(c));
    // Half-width katakana and signs; the sound marks become combining marks.
    if (c >= 0xFF61 && c <= 0xFF9F)
        return QChar::decomposition(c);
    // Kana stay: NFKC would split ゛ into a space and a mark, which splits a word.
    if (c >= 0x3040 && c <= 0x30FF)
        return QString(QChar(c));
    QString fold = QString(QChar(c));
    const QChar::Decomposition tag = QChar::decompositionTag(c);
    if (tag != QChar::NoDecomposition && tag != QChar::Canonical) {
        const QString plain = fold.normalized(QString::NormalizationForm_KC);
        if (!plain.contains(u' ') || plain.size() == 1)
            fold = plain;
    }
    return fold.toCaseFolded();
}

// Marks a character that a table entry cannot fold: a sound mark, which may join the kana
// before it, or a character whose fold is several characters (㈱ → (株)).
constexpr char16_t Special = 0xFFFF;

// The fold of every character of the basic plane, once with hiragana kept and once with
// hiragana as katakana. Built once: looking each character of 50 MB of notes up in the
// library's Unicode tables costs several times the rest of the fold.
struct FoldTables
{
    std::vector<char16_t> kanaKept = std::vector<char16_t>(0x10000);
    std::vector<char16_t> kanaBlind = std::vector<char16_t>(0x10000);
    QHash<char16_t, QString> longer;
};

const FoldTables &foldTables()
{
    static const FoldTables tables = [] {
        FoldTables built;
        for (char32_t code = 0; code <= 0xFFFF; ++code) {
            const auto c = char16_t(code);
            const QString fold = foldOf(c);
            char16_t entry = Special;
            if (fold.size() > 1 || c == Special)
                built.longer.insert(c, fold);
            else if (!isSoundMark(c))
                entry = fold.at(0).unicode();
            built.kanaKept[code] = entry;
            built.kanaBlind[code] = hiraganaAsKatakana(entry);
        }
        return built;
    }();
    return tables;
}

} // namespace

FoldedText::FoldedText(QStringView original, bool kanaInsensitive)
{
    const FoldTables &tables = foldTables();
    const char16_t *table = kanaInsensitive ? tables.kanaBlind.data() : tables.kanaKept.data();
    const qsizetype size = original.size();
    const char16_t *in = original.utf16();
    // Written through a pointer: appending character by character costs more than the fold.
    m_text.resize(size);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = in[i];
        const char16_t folded = table[c];
        if (folded != Special) {
            out[n++] = folded;
            continue;
        }
        if (isSoundMark(c)) {
            const char16_t mark = c == 0xFF9E ? 0x3099 : c == 0xFF9F ? 0x309A : c;
            // The character before came from in[i - 1] alone unless a joint covers it.
            const bool alone = n > 0
                && (m_joints.empty() || m_joints.back().folded + m_joints.back().foldedLength < n);
            const char16_t joined = alone ? voiced(out[n - 1], mark) : 0;
            if (joined == 0) {
                out[n++] = mark;
                continue;
            }
            m_joints.push_back({n - 1, 1, i - 1, 2});
            out[n - 1] = joined;
            continue;
        }
        QString longer = *tables.longer.constFind(c);
        if (kanaInsensitive) {
            for (QChar &k : longer)
                k = QChar(hiraganaAsKatakana(k.unicode()));
        }
        m_joints.push_back({n, longer.size(), i, 1});
        const qsizetype needed = n + longer.size() + (size - i - 1);
        if (needed > m_text.size()) {
            m_text.resize(needed + size / 8);
            out = reinterpret_cast<char16_t *>(m_text.data());
        }
        for (const QChar k : longer)
            out[n++] = k.unicode();
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
