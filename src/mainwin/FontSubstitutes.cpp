#include "mainwin/FontSubstitutes.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

struct Substitution
{
    QStringList windowsNames;
    QStringList preferred;
};

// `known` keeps the answers: each costs a fontconfig substitution, and the lists share most of
// their faces.
QStringList installedOf(const QStringList &families, QHash<QString, bool> &known)
{
    QStringList installed;
    for (const QString &family : families) {
        auto answer = known.constFind(family);
        if (answer == known.cend())
            answer = known.insert(family, QFontDatabase::hasFamily(family));
        if (*answer)
            installed.append(family);
    }
    if (installed.isEmpty()) {
        // None of the known faces: any font that covers Japanese beats a Latin one.
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        if (!japanese.isEmpty())
            installed.append(japanese.first());
    }
    return installed;
}

} // namespace

void installFontSubstitutes()
{
    // Fixed-pitch gothic first for the fixed-pitch Windows faces, so columns typed in a note
    // still line up.
    const QStringList monoGothic {u"Noto Sans Mono CJK JP"_s, u"Noto Sans CJK JP"_s, u"IPAGothic"_s,
        u"TakaoGothic"_s, u"VL Gothic"_s};
    const QStringList propGothic {u"Noto Sans CJK JP"_s, u"IPAPGothic"_s, u"TakaoPGothic"_s,
        u"VL PGothic"_s, u"Noto Sans Mono CJK JP"_s};
    const QStringList monoMincho {
        u"Noto Serif CJK JP"_s, u"IPAMincho"_s, u"TakaoMincho"_s, u"Noto Sans Mono CJK JP"_s};
    const QStringList propMincho {
        u"Noto Serif CJK JP"_s, u"IPAPMincho"_s, u"TakaoPMincho"_s, u"Noto Sans CJK JP"_s};
    const Substitution table[] {
        {{u"ＭＳ ゴシック"_s, u"MS Gothic"_s}, monoGothic},
        {{u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"ＭＳ ＵＩ Gothic"_s, u"MS UI Gothic"_s,
             u"メイリオ"_s, u"Meiryo"_s, u"Meiryo UI"_s, u"游ゴシック"_s, u"Yu Gothic"_s,
             u"Yu Gothic UI"_s},
            propGothic},
        {{u"ＭＳ 明朝"_s, u"MS Mincho"_s}, monoMincho},
        {{u"ＭＳ Ｐ明朝"_s, u"MS PMincho"_s, u"游明朝"_s, u"Yu Mincho"_s}, propMincho},
    };
    QHash<QString, bool> known;
    for (const Substitution &entry : table) {
        const QStringList substitutes = installedOf(entry.preferred, known);
        if (substitutes.isEmpty())
            continue;
        // Substitutes only come into play where the named font itself is missing.
        for (const QString &name : entry.windowsNames)
            QFont::insertSubstitutions(name, substitutes);
    }
}
