#include "SearchTimer.h"

#include "Median.h"
#include "find/NoteSource.h"
#include "find/frmFind.h"
#include "mainwin/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Queries typed one character at a time: a word in every entry, rarer words, two words, and
// half-width and full-width forms that fold to the text's.
const QStringList Queries {u"打ち合わせ"_s, u"見積書 送付"_s, u"ﾌﾟﾛｼﾞｪｸﾄ"_s, u"ok"_s,
    u"10時　髙橋"_s, u"の"_s, u"ぷろじぇくと"_s};

qint64 typeKey(frmFind &find, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    find.txtFind()->setText(text);
    QCoreApplication::processEvents();
    find.repaint();
    return timer.nsecsElapsed();
}

} // namespace

void measureSearch(frmMain &window, QTextStream &out)
{
    const NoteSource source(window.tabs(), [&window] { return window.selectedTab(); });
    frmFind find(source, &window);
    find.show();
    QCoreApplication::processEvents();

    out << "search_first " << typeKey(find, Queries.first().first(1)) << Qt::endl;
    QList<qint64> keys;
    for (const QString &query : Queries) {
        find.txtFind()->clear();
        for (qsizetype length = 1; length <= query.size(); ++length)
            keys.append(typeKey(find, query.first(length)));
    }
    out << "search_key " << median(keys) << Qt::endl;
    out << "search_key_max " << *std::max_element(keys.begin(), keys.end()) << Qt::endl;
}
