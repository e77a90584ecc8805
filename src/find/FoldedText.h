#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// A text brought into the form in which a Japanese user expects two texts to be the same:
// full-width Latin letters, digits and signs become their ASCII forms, half-width katakana
// become full-width (a following sound mark joins them: ｶﾞ → ガ), other compatibility forms
// take their plain form (㈱ → (株)), letters lose their case, the ideographic space becomes an
// ASCII space and, when asked, hiragana become katakana.
// The folded text remembers where each of its characters came from, so that a match in it
// marks exactly the original characters, also where a fold joined or split them.
class FoldedText final
{
public:
    FoldedText() = default;
    FoldedText(QStringView original, bool kanaInsensitive);

    const QString &text() const { return m_text; }

    struct Range
    {
        qsizetype start = 0;
        qsizetype length = 0;
    };
    // The stretch of the original text that the folded stretch came from. A stretch that begins
    // or ends inside the fold of one original character takes that whole character.
    Range originalRange(qsizetype start, qsizetype length) const;

private:
    // One original stretch whose fold is not one character for one character.
    struct Joint
    {
        qsizetype folded;
        qsizetype foldedLength;
        qsizetype original;
        qsizetype originalLength;
    };
    qsizetype originalStart(qsizetype folded) const;
    qsizetype originalEnd(qsizetype folded) const;

    QString m_text;
    // In text order; everything between joints maps one to one.
    std::vector<Joint> m_joints;
};
