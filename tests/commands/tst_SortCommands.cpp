#include "TabCommandsFixture.h"
#include "commands/SortNumber.h"
#include "commands/TabSort.h"
#include "commands/frmSort.h"
#include "store/SortKey.h"

#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Stands in the table for a text that gives no sort number.
constexpr int Refused = 99999;

// Tabs A..E with distinct data in every field.
void fiveTabs(TabCommandsFixture &f)
{
    f.captionFirstTab(u"A"_s);
    for (int seed = 1; seed < 5; ++seed)
        f.addDistinctTab(QString(QChar(u'A' + seed)), seed);
}

frmSort *openManualSort(TabCommandsFixture &f)
{
    f.chooseFromTabMenu(u"mnuTabSortManu"_s);
    return f.window->findChild<frmSort *>();
}

void clickSort(frmSort *dialog)
{
    dialog->findChild<QPushButton *>(u"cmdSort"_s)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void checkPagesShowTheirRecords(TabCommandsFixture &f)
{
    for (int i = 0; i < f.window->tabCount(); ++i)
        QCOMPARE(f.pageShows(i), f.pageShouldShow(i));
    QCOMPARE(f.stripCaptions(), f.recordCaptions());
}

} // namespace

class TestSortCommands : public QObject
{
    Q_OBJECT

private slots:
    void parseSortNumber_readsWholeNumbersInRange_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("blanks around") << u" 150\t"_s << 150;
        QTest::newRow("full-width") << u"\u3000－１５０"_s << -150;
        QTest::newRow("limits") << u"-32768"_s << -32768;
        QTest::newRow("half to even, down") << u"2.5"_s << 2;
        QTest::newRow("half to even, up") << u"3.5"_s << 4;
        QTest::newRow("rounds into range") << u"-32768.5"_s << -32768;
        QTest::newRow("points") << u".6"_s << 1;
        QTest::newRow("empty") << QString() << Refused;
        QTest::newRow("word") << u"12abc"_s << Refused;
        QTest::newRow("just a point") << u"."_s << Refused;
        QTest::newRow("too high") << u"32768"_s << Refused;
        QTest::newRow("rounds out of range") << u"32767.5"_s << Refused;
        QTest::newRow("huge") << QString(400, u'9') << Refused;
    }
    void parseSortNumber_readsWholeNumbersInRange()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        const std::optional<qint16> parsed = parseSortNumber(text);
        QCOMPARE(parsed ? int(*parsed) : Refused, number);
    }

    void keyLess_comparesCaptionsByCodeUnit()
    {
        const auto key = [](const QString &text) { return SortKey {text, 0}; };
        QVERIFY(keyLess(key(u"Z"_s), key(u"a"_s)));
        QVERIFY(keyLess(key(u"ab"_s), key(u"abc"_s)));
        QVERIFY(!keyLess(key(u"abc"_s), key(u"abc"_s)));
        // A surrogate pair (D835 DC00) sorts below U+FF21 by code unit, above it by code point.
        QVERIFY(keyLess(key(u"\U0001D400"_s), key(u"\uFF21"_s)));
    }

    void captionSorts_useOrdinalOrder_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("ascending") << u"mnuTabSortTtup"_s << QStringList {u"A"_s, u"a"_s, u"b"_s};
        QTest::newRow("descending") << u"mnuTabSortTtdn"_s << QStringList {u"b"_s, u"a"_s, u"A"_s};
    }
    void captionSorts_useOrdinalOrder()
    {
        QFETCH(QString, item);
        QFETCH(QStringList, captions);
        TabCommandsFixture f;
        f.start();
        f.captionFirstTab(u"b"_s);
        f.addDistinctTab(u"A"_s, 1);
        f.addDistinctTab(u"a"_s, 2);
        f.chooseFromTabMenu(item);
        QCOMPARE(f.recordCaptions(), captions);
        checkPagesShowTheirRecords(f);
    }

    void sorts_keepEqualKeysInTheirOrder_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QList<int>>("order");
        // Tabs 0 and 2 share caption and creation date; tab 1 is larger in both.
        QTest::newRow("caption up") << u"mnuTabSortTtup"_s << QList<int> {0, 2, 1};
        QTest::newRow("caption down") << u"mnuTabSortTtdn"_s << QList<int> {1, 0, 2};
        QTest::newRow("created up") << u"mnuTabSortCrup"_s << QList<int> {0, 2, 1};
        QTest::newRow("created down") << u"mnuTabSortCrdn"_s << QList<int> {1, 0, 2};
    }
    void sorts_keepEqualKeysInTheirOrder()
    {
        QFETCH(QString, item);
        QFETCH(QList<int>, order);
        TabCommandsFixture f;
        f.start();
        f.captionFirstTab(u"x"_s);
        f.addDistinctTab(u"y"_s, 1);
        f.addDistinctTab(u"x"_s, 2);
        const QDateTime now = f.platform.now();
        f.record(0).setCrt(now.addDays(-5));
        f.record(1).setCrt(now.addSecs(-60));
        f.record(2).setCrt(now.addDays(-5));
        const QList<QStringList> before = f.allFacts();
        f.chooseFromTabMenu(item);
        QCOMPARE(f.allFacts(), f.allFacts(before, order));
    }

    void sort_movesEveryTabWholeAndKeepsTheSelectedPosition()
    {
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        f.selectPosition(2);
        const QList<QStringList> before = f.allFacts();
        f.chooseFromTabMenu(u"mnuTabSortTtdn"_s);

        QCOMPARE(f.allFacts(), f.allFacts(before, {4, 3, 2, 1, 0}));
        checkPagesShowTheirRecords(f);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QVERIFY(f.box(1)->isEnabled());
        QVERIFY(!f.box(3)->isEnabled());
        QCOMPARE(f.window->staMain().panelText(2),
            u"Alarm "_s + f.record(1).Alarm().toString(u"yy/MM/dd HH:mm"_s));
        QCOMPARE(f.saveAndReadBack(), f.allFacts());
    }

    void manualSort_placesTheNumberedTabBetweenItsNeighbours()
    {
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        const QList<QStringList> before = f.allFacts();
        QPointer<frmSort> dialog = openManualSort(f);
        QVERIFY(dialog && !dialog->isModal());
        for (int r = 0; r < 5; ++r) {
            QCOMPARE(dialog->txtNo(r)->text(), QString::number((r + 1) * 100));
            QCOMPARE(dialog->lblTitle(r)->text(), f.record(r).Omidasi());
        }
        QVERIFY(!dialog->txtNo(5)->isEnabled());
        QCOMPARE(dialog->txtNo(5)->text(), QString());

        dialog->txtNo(4)->setText(u"150"_s);
        clickSort(dialog);

        QVERIFY(dialog.isNull());
        QCOMPARE(f.allFacts(), f.allFacts(before, {0, 4, 1, 2, 3}));
        checkPagesShowTheirRecords(f);
    }

    void manualSort_keepsTextTypedIntoTheSelectedPage()
    {
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        f.selectPosition(5);
        frmSort *dialog = openManualSort(f);
        // Typed while the dialog is open: no press on the strip stores it first.
        f.typeInto(4, u"\ntyped"_s);
        dialog->txtNo(4)->setText(u"50"_s);
        clickSort(dialog);

        QCOMPARE(f.record(0).Omidasi(), u"E"_s);
        QVERIFY(f.record(0).Cont(f.record(0).DispIndex()).endsWith(u"\r\ntyped"_s));
        QCOMPARE(f.pageShows(0), f.pageShouldShow(0));
    }

    void manualSort_refusesABadNumberAndMovesNothing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("not a number") << u"abc"_s;
        QTest::newRow("out of range") << u"40000"_s;
    }
    void manualSort_refusesABadNumberAndMovesNothing()
    {
        QFETCH(QString, text);
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        const QList<QStringList> before = f.allFacts();
        frmSort *dialog = openManualSort(f);
        dialog->txtNo(0)->setText(u"900"_s);
        dialog->txtNo(2)->setText(text);
        clickSort(dialog);

        QCOMPARE(f.allFacts(), before);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.startsWith(u"3."_s));
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->txtNo(0)->text(), u"900"_s);
    }

    void manualSort_opensOnceAndStartsAfreshAfterCancel()
    {
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        const QList<QStringList> before = f.allFacts();
        QPointer<frmSort> dialog = openManualSort(f);
        dialog->txtNo(1)->setText(u"999"_s);
        QCOMPARE(openManualSort(f), dialog.get());
        QCOMPARE(dialog->txtNo(1)->text(), u"999"_s);

        dialog->findChild<QPushButton *>(u"cmdCancel"_s)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());
        QCOMPARE(f.allFacts(), before);
        QCOMPARE(openManualSort(f)->txtNo(1)->text(), u"200"_s);
    }

    void manualSort_rowsFollowTabsChangedWhileOpen()
    {
        TabCommandsFixture f;
        f.start();
        fiveTabs(f);
        frmSort *dialog = openManualSort(f);
        dialog->txtNo(4)->setText(u"50"_s);

        // Delete B: with the old rows, "50" would stand for a tab that is gone.
        f.selectPosition(2);
        f.chooseFromTabMenu(u"mnuTabDel"_s);
        QCOMPARE(dialog->lblTitle(1)->text(), u"C"_s);
        QVERIFY(!dialog->txtNo(4)->isEnabled());
        QCOMPARE(dialog->txtNo(4)->text(), QString());

        f.answerTabName(u"F"_s);
        f.chooseFromTabMenu(u"mnuTabAdd"_s);
        QCOMPARE(dialog->lblTitle(4)->text(), u"F"_s);
        QCOMPARE(dialog->txtNo(4)->text(), u"500"_s);

        f.answerTabName(u"renamed"_s);
        f.chooseFromTabMenu(u"mnuTabName"_s);
        QCOMPARE(dialog->lblTitle(1)->text(), u"renamed"_s);

        f.chooseFromTabMenu(u"mnuTabSortTtdn"_s);
        for (int r = 0; r < 5; ++r)
            QCOMPARE(dialog->lblTitle(r)->text(), f.record(r).Omidasi());

        dialog->txtNo(0)->setText(u"600"_s);
        const QString first = f.record(0).Omidasi();
        clickSort(dialog);
        QCOMPARE(f.record(4).Omidasi(), first);
    }
};

QTEST_MAIN(TestSortCommands)
#include "tst_SortCommands.moc"
