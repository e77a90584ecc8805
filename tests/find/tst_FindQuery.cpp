#include "find/FindQuery.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_FindQuery : public QObject
{
    Q_OBJECT
private slots:
    void match_data();
    void match();
};

// expected: "title:TEXT" or "content:TEXT" for the marked original characters, or empty for
// no match.
void tst_FindQuery::match_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("kanaInsensitive");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("full-width Latin in text")
        << u"abc"_s << true << u""_s << u"xxＡＢＣyy"_s << u"content:ＡＢＣ"_s;
    QTest::newRow("full-width query")
        << u"ＡＢＣ"_s << true << u""_s << u"-abc-"_s << u"content:abc"_s;
    QTest::newRow("case") << u"Abc"_s << true << u""_s << u"aBC"_s << u"content:aBC"_s;
    QTest::newRow("digits") << u"123"_s << true << u""_s << u"第１２３号"_s << u"content:１２３"_s;
    QTest::newRow("half-width katakana")
        << u"カタカナ"_s << false << u""_s << u"ｶﾀｶﾅです"_s << u"content:ｶﾀｶﾅ"_s;
    QTest::newRow("half-width voiced")
        << u"ガイド"_s << false << u""_s << u"旅ｶﾞｲﾄﾞ本"_s << u"content:ｶﾞｲﾄﾞ"_s;
    QTest::newRow("half-width semi-voiced")
        << u"パン"_s << false << u""_s << u"ﾊﾟﾝ"_s << u"content:ﾊﾟﾝ"_s;
    QTest::newRow("after joined characters")
        << u"ABC"_s << false << u""_s << u"ｶﾞｶﾞabc"_s << u"content:abc"_s;
    QTest::newRow("voiced is not plain") << u"カ"_s << false << u""_s << u"ｶﾞ"_s << u""_s;
    QTest::newRow("combining mark")
        << u"ガ"_s << false << u""_s << u"カ\u3099"_s << u"content:カ\u3099"_s;
    QTest::newRow("kana distinguished") << u"か"_s << false << u""_s << u"カ"_s << u""_s;
    QTest::newRow("kana folded") << u"か"_s << true << u""_s << u"カ"_s << u"content:カ"_s;
    QTest::newRow("kana folded, half-width voiced")
        << u"がっこう"_s << true << u""_s << u"ｶﾞｯｺｳ"_s << u"content:ｶﾞｯｺｳ"_s;
    QTest::newRow("compatibility expansion")
        << u"株"_s << true << u""_s << u"㈱山田"_s << u"content:㈱"_s;
    QTest::newRow("words, earliest marked")
        << u"東京 会議"_s << true << u""_s << u"会議は東京で"_s << u"content:会議"_s;
    QTest::newRow("ideographic space splits")
        << u"東京　大阪"_s << true << u""_s << u"東京で"_s << u""_s;
    QTest::newRow("word in title, word in content")
        << u"買い物 牛乳"_s << true << u"買い物"_s << u"牛乳を買う"_s << u"content:牛乳"_s;
    QTest::newRow("title only") << u"メモ"_s << true << u"古いメモ"_s << u"なし"_s
                                << u"title:メモ"_s;
    // Long enough for the eight-at-a-time scan, with near misses on the way.
    QTest::newRow("long text") << u"打ち合わせ"_s << true << u""_s
                               << u"打ち合いせ"_s.repeated(5) + u"打ち合わせ。"_s
                               << u"content:打ち合わせ"_s;
    QTest::newRow("long text, near misses only")
        << u"打ち合わせ"_s << true << u""_s << u"打ち合いせ"_s.repeated(5) << u""_s;
    QTest::newRow("no match") << u"xyz"_s << true << u"abc"_s << u"abc"_s << u""_s;
    QTest::newRow("spaces only") << u" 　"_s << true << u""_s << u" "_s << u""_s;
}

void tst_FindQuery::match()
{
    QFETCH(QString, query);
    QFETCH(bool, kanaInsensitive);
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(QString, expected);

    const FindQuery parsed(query, kanaInsensitive);
    const std::optional<Match> found
        = parsed.match(FoldedText(title, kanaInsensitive), FoldedText(content, kanaInsensitive));
    QString actual;
    if (found) {
        const bool inTitle = found->field == Match::Field::Title;
        actual = (inTitle ? u"title:"_s : u"content:"_s)
            + (inTitle ? title : content).mid(found->start, found->length);
    }
    QCOMPARE(actual, expected);
}

QTEST_APPLESS_MAIN(tst_FindQuery)
#include "tst_FindQuery.moc"
