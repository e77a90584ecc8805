#include "RecordingPlatform.h"
#include "persist/StoredEntry.h"
#include "store/LineBreaks.h"
#include "store/TabError.h"
#include "store/TabPages.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QTest>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Pages without widgets: a title list and a box per tab. Selecting an item runs the same
// entry-chosen handling as the window, calling back into the record.
class FakePages final : public TabPages
{
public:
    explicit FakePages(TabSet &tabs)
        : m_tabs(tabs)
    { }
    struct Page
    {
        QStringList items;
        int selected = -1;
        QString box;
        std::shared_ptr<const StoredEntry> boxEntry;
        bool visible = false;
        QString fontName;
        float fontSize = 0;
    };
    QList<Page> pages {30};
    int entryChosenRuns = 0;

    int tabCount() const override { return m_tabs.count(); }
    void appendTitleItem(int tab, const QString &text) override { pages[tab].items.append(text); }
    void setTitleItem(int tab, int pos, const QString &text) override
    {
        pages[tab].items[pos] = text;
    }
    void removeTitleItem(int tab, int pos) override { pages[tab].items.removeAt(pos); }
    int titleItemCount(int tab) const override { return int(pages[tab].items.size()); }
    void selectTitleItem(int tab, int pos) override
    {
        pages[tab].selected = pos;
        ++entryChosenRuns;
        m_tabs[tab].MoveCont(tab);
        m_tabs[tab].setDispIndex(pos);
        m_tabs[tab].DispCont(tab);
    }
    QString boxText(int tab) const override
    {
        const Page &page = pages[tab];
        return page.boxEntry ? crLfToLf(page.boxEntry->content()) : page.box;
    }
    void setBoxText(int tab, const QString &text) override
    {
        pages[tab].box = text;
        pages[tab].boxEntry.reset();
    }
    void setBoxEntry(int tab, std::shared_ptr<const StoredEntry> entry) override
    {
        pages[tab].boxEntry = std::move(entry);
    }
    std::shared_ptr<const StoredEntry> boxEntry(int tab) const override
    {
        return pages[tab].boxEntry;
    }
    void setBoxVisible(int tab, bool visible) override { pages[tab].visible = visible; }
    void setBoxFont(int tab, const QString &name, float size) override
    {
        pages[tab].fontName = name;
        pages[tab].fontSize = size;
    }

private:
    TabSet &m_tabs;
};

template<typename F>
TabError tabErrorOf(F &&call)
{
    try {
        call();
    } catch (const TabError &error) {
        return error;
    }
    throw std::logic_error("no TabError raised");
}

} // namespace

class TestTabRecord : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        platform = std::make_unique<RecordingPlatform>();
        tabs = std::make_unique<TabSet>(*platform);
        pages = std::make_unique<FakePages>(*tabs);
        tabs->attachPages(pages.get());
    }

    void newRecord_takesDefaultsAndPresentTime()
    {
        tabs->DefFontName = u"Sans"_s;
        tabs->DefFontSize = 12;
        platform->setNow(QDateTime(QDate(1999, 7, 15), QTime(9, 5, 30, 250)));
        const clsTabCont &record = tabs->append();
        QCOMPARE(record.FontName(), u"Sans"_s);
        QCOMPARE(record.FontSize(), 12.0f);
        QCOMPARE(record.NoOfCont(), 0);
        QCOMPARE(record.Crt(), QDateTime(QDate(1999, 7, 15), QTime(9, 5, 30)));
        QVERIFY(!record.OnAlm());
        QVERIFY(record.Omidasi().isEmpty());
    }

    void addTitle_acceptsTheTwentySixthAndRefusesMore()
    {
        clsTabCont &record = tabs->append();
        for (int i = 0; i < 25; ++i)
            record.AddTitle(0, QString::number(i), QString());
        record.AddTitle(0, u"z"_s, u"last"_s);
        QCOMPARE(record.NoOfCont(), 26);
        QCOMPARE(pages->pages[0].items.size(), 26);

        const TabError full = tabErrorOf([&] { record.AddTitle(0, u"x"_s, QString()); });
        QCOMPARE(full.number(), 0x80040001u);
        QCOMPARE(full.description(), u"見出しの数が不正です"_s);
        QCOMPARE(full.source(), u"clsTabCont"_s);
        QCOMPARE(record.NoOfCont(), 26);
        QCOMPARE(pages->pages[0].items.size(), 26);

        // The tab test comes first, even on a full tab.
        QCOMPARE(tabErrorOf([&] { record.AddTitle(1, u"x"_s, QString()); }).number(), 0x80040002u);
        QCOMPARE(tabErrorOf([&] { record.AddTitle(-1, u"x"_s, QString()); }).number(), 0x80040002u);
    }

    void entryTests_useTheirOwnWording()
    {
        clsTabCont &record = tabs->append();
        record.AddTitle(0, u"a"_s, u"1"_s);
        record.AddTitle(0, u"b"_s, u"2"_s);

        const TabError content = tabErrorOf([&] { record.setDispIndex(2); });
        QCOMPARE(content.number(), 0x80040003u);
        QCOMPARE(content.description(), u"本文のインデックスが不正です"_s);
        QCOMPARE(tabErrorOf([&] { record.ChgCont(-1, u"x"_s); }).description(),
            u"本文のインデックスが不正です"_s);

        const TabError title = tabErrorOf([&] { record.DispTitle(0, 2); });
        QCOMPARE(title.number(), 0x80040003u);
        QCOMPARE(title.description(), u"見出しのインデックスが不正です"_s);
        QCOMPARE(tabErrorOf([&] { record.ChgTitle(0, 5, u"x"_s); }).description(),
            u"見出しのインデックスが不正です"_s);
        QCOMPARE(tabErrorOf([&] { record.RemoveTitle(0, 2); }).description(),
            u"見出しのインデックスが不正です"_s);

        for (auto call : std::initializer_list<std::function<void()>> {[&] { record.DispCont(1); },
                 [&] { record.MoveCont(1); }, [&] { record.ResetTab(1); },
                 [&] { record.ChgTitle(1, 0, u"x"_s); }, [&] { record.RemoveTitle(1, 0); },
                 [&] { record.DispTitle(1, 0); }})
            QCOMPARE(tabErrorOf(call).number(), 0x80040002u);

        QCOMPARE(record.DispIndex(), 0);
        QCOMPARE(record.Title(1), u"b"_s);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, record.Title(2));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, record.Cont(-1));
    }

    void storedEntry_decodedWhenItsTextIsRead_untilThenTheFileItself()
    {
        clsTabCont &record = tabs->append();
        const QByteArray utf8 = u"買い物\r\n牛乳とパン\r\n"_s.toUtf8();
        const QByteArray cp932 = QByteArray::fromHex("948382a295a8 0d0a 8b8d93fb82c683708393 0d0a");
        for (const QByteArray &bytes : {utf8, cp932, cp932})
            record.AddStoredEntry(0, std::make_shared<const StoredEntry>(bytes));
        const auto read = [&](int j) { return record.storedEntry(j); };
        QCOMPARE(pages->pages[0].items, QStringList(3, u"買い物"_s));
        QVERIFY(!read(1)->isDecoded());

        QCOMPARE(record.Cont(1), u"牛乳とパン"_s);
        QVERIFY(read(1)->isDecoded());
        QVERIFY(!read(2)->isDecoded());

        // An edit gives the file up but keeps its encoding; so does a new title.
        record.ChgCont(0, u"新しい本文"_s);
        QVERIFY(!read(0));
        QCOMPARE(record.entrySource(0).encoding, NoteEncoding::Utf8);
        record.ChgTitle(0, 2, u"別"_s);
        QVERIFY(!read(2));
        QCOMPARE(record.Cont(2), u"牛乳とパン"_s);
        QVERIFY(read(1));
    }

    void alarm_needsOneMinuteAhead()
    {
        platform->setNow(QDateTime(QDate(2026, 12, 7), QTime(12, 0, 30)));
        clsTabCont &record = tabs->append();

        const TabError off = tabErrorOf([&] { (void)record.Alarm(); });
        QCOMPARE(off.number(), 0x80040015u);
        QCOMPARE(off.description(), u"アラームがオフの状態で、設定時間を取得しました"_s);

        const QDateTime tooSoon(QDate(2026, 12, 7), QTime(12, 1, 29));
        const TabError refused = tabErrorOf([&] { record.setAlarm(tooSoon); });
        QCOMPARE(refused.number(), 0x80040016u);
        QCOMPARE(refused.description(), u"設定した時間が不適切です"_s);
        QVERIFY(!record.OnAlm());
        QCOMPARE(record.storedAlarm(), platform->now());

        const QDateTime exactlyOneMinute(QDate(2026, 12, 7), QTime(12, 1, 30));
        record.setAlarm(exactlyOneMinute);
        QVERIFY(record.OnAlm());
        QCOMPARE(record.Alarm(), exactlyOneMinute);

        // Switching off keeps the time; switching on takes whatever is stored, even if past.
        record.setOnAlm(false);
        QCOMPARE(record.storedAlarm(), exactlyOneMinute);
        platform->advance(3600);
        record.setOnAlm(true);
        QCOMPARE(record.Alarm(), exactlyOneMinute);
    }

    void dispCont_showsTheBoxWithTextAndFont()
    {
        clsTabCont &record = tabs->append();
        record.AddTitle(0, u"t"_s, u"one\r\ntwo"_s);
        record.setFontName(u"Serif"_s);
        record.setFontSize(10.5f);
        record.DispCont(0);
        QCOMPARE(pages->pages[0].box, u"one\ntwo"_s);
        QVERIFY(pages->pages[0].visible);
        QCOMPARE(pages->pages[0].fontName, u"Serif"_s);
        QCOMPARE(pages->pages[0].fontSize, 10.5f);
    }

    void moveCont_storesBoxLinesAsCrLf()
    {
        clsTabCont &record = tabs->append();
        record.AddTitle(0, u"t"_s, u"x\ny"_s);
        record.DispCont(0);
        // Unedited text keeps its own line breaks.
        record.MoveCont(0);
        QCOMPARE(record.Cont(0), u"x\ny"_s);

        pages->pages[0].box = u"a\nb"_s;
        record.MoveCont(0);
        QCOMPARE(record.Cont(0), u"a\r\nb"_s);
    }

    void removeTitle_movesLaterEntriesDown()
    {
        clsTabCont &record = tabs->append();
        for (const auto &t : {u"a"_s, u"b"_s, u"c"_s})
            record.AddTitle(0, t, t + u"!"_s);
        record.setDispIndex(2);
        record.RemoveTitle(0, 0);
        QCOMPARE(record.NoOfCont(), 2);
        QCOMPARE(record.Title(0), u"b"_s);
        QCOMPARE(record.Cont(1), u"c!"_s);
        QCOMPARE(record.DispIndex(), 2);
        record.RemoveTitle(0, 1);
        QCOMPARE(record.NoOfCont(), 1);
        QCOMPARE(record.Title(0), u"b"_s);
        // The page is the caller's business.
        QCOMPARE(pages->pages[0].items.size(), 3);
    }

    void dispTitle_runsEntryChosenThenSetsIndex()
    {
        clsTabCont &record = tabs->append();
        record.AddTitle(0, u"a"_s, u"first"_s);
        record.AddTitle(0, u"b"_s, u"second"_s);
        record.DispCont(0);
        pages->pages[0].box = u"edited"_s;
        record.DispTitle(0, 1);
        QCOMPARE(record.Cont(0), u"edited"_s);
        QCOMPARE(record.DispIndex(), 1);
        QCOMPARE(pages->pages[0].selected, 1);
        QCOMPARE(pages->pages[0].box, u"second"_s);
    }

    void resetTab_matchesTheListToTheRecord_data()
    {
        QTest::addColumn<int>("itemsBefore");
        QTest::addColumn<int>("entries");
        QTest::newRow("5 items, 2 entries") << 5 << 2;
        QTest::newRow("1 item, 3 entries") << 1 << 3;
    }
    void resetTab_matchesTheListToTheRecord()
    {
        QFETCH(int, itemsBefore);
        QFETCH(int, entries);
        clsTabCont &record = tabs->append();
        for (int i = 0; i < entries; ++i)
            record.AddTitle(0, u"t%1"_s.arg(i), u"c%1"_s.arg(i));
        pages->pages[0].items.clear();
        for (int i = 0; i < itemsBefore; ++i)
            pages->pages[0].items.append(u"old"_s);
        record.setDispIndex(entries - 1);
        record.ResetTab(0);
        QStringList expected;
        for (int i = 0; i < entries; ++i)
            expected.append(u"t%1"_s.arg(i));
        QCOMPARE(pages->pages[0].items, expected);
        QCOMPARE(pages->pages[0].selected, entries - 1);
        QCOMPARE(pages->pages[0].box, u"c%1"_s.arg(entries - 1));
        QCOMPARE(record.Cont(entries - 1), u"c%1"_s.arg(entries - 1));
    }

    void snapshots_copyWholeRecordsWithinThirtySlots()
    {
        clsTabCont &source = tabs->append();
        source.AddTitle(0, u"a"_s, u"1"_s);
        source.AddTitle(0, u"b"_s, u"2"_s);
        source.setDispIndex(1);
        source.setOmidasi(u"cap"_s);
        source.setFontSize(14.5f);
        platform->advance(600);
        source.setAlarm(platform->now().addSecs(120));
        source.LetTemp(29);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, source.LetTemp(30));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, source.LetTemp(-1));

        clsTabCont &first = tabs->append();
        clsTabCont &second = tabs->append();
        first.GetTemp(29);
        second.GetTemp(29);
        for (const clsTabCont *copy : {&first, &second}) {
            QCOMPARE(copy->NoOfCont(), 2);
            QCOMPARE(copy->Title(1), u"b"_s);
            QCOMPARE(copy->Cont(0), u"1"_s);
            QCOMPARE(copy->DispIndex(), 1);
            QCOMPARE(copy->Omidasi(), u"cap"_s);
            QCOMPARE(copy->FontSize(), 14.5f);
            QCOMPARE(copy->Alarm(), source.Alarm());
            QCOMPARE(copy->Crt(), source.Crt());
        }
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, first.GetTemp(30));
    }

    void info_writesTheStoredAlarmWhileOff()
    {
        platform->setNow(QDateTime(QDate(1999, 7, 15), QTime(9, 5, 42)));
        clsTabCont &record = tabs->append();
        record.AddTitle(0, u"t"_s, QString());
        record.setOmidasi(u"メモ = 1 "_s);
        QCOMPARE(record.Info(),
            u"FontName = ＭＳ ゴシック\r\nFontSize = 10\r\n"
            u"CreatDate = 1999/07/15 09:05\r\nAlarmDate = 1999/07/15 09:05\r\n"
            u"AlarmSetOn = #False#\r\nDispIndex = 0\r\nTabCaption = メモ = 1 \r\n"_s);
    }

private:
    std::unique_ptr<RecordingPlatform> platform;
    std::unique_ptr<TabSet> tabs;
    std::unique_ptr<FakePages> pages;
};

QTEST_GUILESS_MAIN(TestTabRecord)
#include "tst_clsTabCont.moc"
