#include "../mainwin/MainWindowFixture.h"
#include "alarm/AlarmCommands.h"
#include "mainwin/StatusPanels.h"

#include <QStackedWidget>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

QDateTime at(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 7), QTime(hour, minute, second));
}

QString dueText(const QString &title)
{
    return u"タブ「"_s + title + u"」の時間です"_s;
}

// A started window at 12:00:00 whose tabs' first entries are titled as given.
struct AlarmFixture : MainWindowFixture
{
    void startWithTabs(const QStringList &firstTitles)
    {
        platform.setNow(at(12, 0));
        start();
        record(0).ChgTitle(0, 0, firstTitles.value(0));
        for (qsizetype i = 1; i < firstTitles.size(); ++i)
            window->AddTabPage(firstTitles[i], QString());
    }

    AlarmCommands &alarms() { return *window->findChild<AlarmCommands *>(); }
    QString alarmPanel() { return window->staMain().panelText(2); }
    void tick() { alarms().tmrAlarm_Timer(); }

    // The user clicks the alarm panel and picks an item of the alarm menu.
    void chooseFromAlarmMenu(const QString &item)
    {
        platform.menuChoices.push_back(item);
        emit window->staMain().panelClicked(2, QPoint());
    }

    void setAlarmTo(const QDateTime &value, qint16 result = AlarmTimeDialog::Confirmed)
    {
        platform.alarmScripts.push_back({result, value, {}});
        chooseFromAlarmMenu(u"mnuAlmSet"_s);
    }

    // Saves, quits and starts again on the same directory at the given time.
    void restartAt(const QDateTime &time)
    {
        QVERIFY(window->SaveAll());
        window->close();
        window.reset();
        platform.messages.clear();
        platform.setNow(time);
        start();
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : platform.messages)
            texts.append(message.text);
        return texts;
    }
};

} // namespace

class TestAlarmCommands : public QObject
{
    Q_OBJECT

private slots:
    void timer_ticksEverySecondAndReportsByItself()
    {
        AlarmFixture f;
        f.startWithTabs({u"due"_s});
        f.record(0).setAlarm(at(12, 1));
        const QTimer &timer = f.alarms().tmrAlarm();
        QCOMPARE(timer.interval(), 1000);
        QVERIFY(timer.isActive());
        QVERIFY(!timer.isSingleShot());

        f.platform.setNow(at(12, 1));
        QTRY_COMPARE_WITH_TIMEOUT(f.messageTexts(), QStringList {dueText(u"due"_s)}, 5000);
        QVERIFY(!f.record(0).OnAlm());
    }

    // A message box never opens inside a save: the first tick after it reports.
    void tick_duringASave_leavesTheAlarmForTheTickAfter()
    {
        AlarmFixture f;
        f.startWithTabs({u"due"_s});
        f.record(0).setAlarm(at(12, 1));
        f.platform.setNow(at(12, 1));
        QStringList reportedInside {u"not ticked"_s};
        QTimer::singleShot(0, f.window.get(), [&] {
            f.tick();
            reportedInside = f.messageTexts();
        });
        QVERIFY(f.window->SaveAll());

        QCOMPARE(reportedInside, QStringList());
        QVERIFY(f.record(0).OnAlm());
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"due"_s)});
    }

    void set_oneMinuteRuleAtItsBoundary_data()
    {
        QTest::addColumn<QDateTime>("chosen");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exactly the minute, not a minute ahead") << at(12, 1, 0) << false;
        QTest::newRow("one second short") << at(12, 1, 29) << false;
        QTest::newRow("in the past") << at(11, 0) << false;
        QTest::newRow("exactly one minute ahead") << at(12, 1, 30) << true;
        QTest::newRow("later") << at(18, 0) << true;
    }
    void set_oneMinuteRuleAtItsBoundary()
    {
        QFETCH(QDateTime, chosen);
        QFETCH(bool, accepted);
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.platform.setNow(at(12, 0, 30));
        f.setAlarmTo(chosen);

        QCOMPARE(f.record(0).OnAlm(), accepted);
        if (accepted) {
            QVERIFY(f.platform.messages.isEmpty());
            QCOMPARE(f.record(0).Alarm(), chosen);
            QCOMPARE(f.alarmPanel(), u"Alarm "_s + chosen.toString(u"yy/MM/dd HH:mm"_s));
            // It fires at the first tick at or after its time, and only there.
            f.platform.setNow(chosen.addSecs(-1));
            f.tick();
            QVERIFY(f.platform.messages.isEmpty());
            f.platform.setNow(chosen);
            f.tick();
            QCOMPARE(f.messageTexts(), QStringList {dueText(u"a"_s)});
        } else {
            QCOMPARE(f.platform.messages.size(), 1);
            QCOMPARE(f.platform.messages[0].text, u"現時刻より１分以内はセットできません"_s);
            QCOMPARE(f.platform.messages[0].caption, u"アラーム設定エラー"_s);
            QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
            QCOMPARE(f.alarmPanel(), u"Alarm No"_s);
        }
    }

    void set_refusedTimeKeepsTheAlarmThatWasOn()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.setAlarmTo(at(13, 0));
        f.setAlarmTo(at(12, 0, 30));
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.record(0).OnAlm());
        QCOMPARE(f.record(0).Alarm(), at(13, 0));
    }

    void set_cancelChangesNothing()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s});
        f.setAlarmTo(at(15, 0), 0);
        QVERIFY(!f.record(0).OnAlm());

        f.setAlarmTo(at(13, 0));
        f.setAlarmTo(at(15, 0), 2);
        QCOMPARE(f.record(0).Alarm(), at(13, 0));
        QVERIFY(f.record(0).OnAlm());
        QVERIFY(!f.record(1).OnAlm());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void set_startsAtTheAlarmTimeWhileOnAndAtThePresentWhileOff()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.platform.setNow(at(12, 0, 45));
        f.setAlarmTo(at(13, 0));
        f.setAlarmTo(QDateTime(), 0);
        f.platform.setNow(at(13, 0));
        f.tick();
        // A fired alarm keeps its time, but the next set starts from the present again.
        f.setAlarmTo(QDateTime(), 0);

        QCOMPARE(f.platform.alarmDialogs.size(), 3);
        QCOMPARE(f.platform.alarmDialogs[0].startValue, at(12, 0, 45));
        QCOMPARE(f.platform.alarmDialogs[1].startValue, at(13, 0));
        QCOMPARE(f.platform.alarmDialogs[2].startValue, at(13, 0));
        for (const auto &seen : f.platform.alarmDialogs)
            QCOMPARE(seen.caption, u"アラームの設定"_s);
    }

    void set_actsOnTheSelectedTab()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s});
        f.pressTab(1);
        f.setAlarmTo(at(13, 0));
        QVERIFY(!f.record(0).OnAlm());
        QCOMPARE(f.record(1).Alarm(), at(13, 0));
    }

    void set_dialogThatCannotBeCreatedIsAnUnexpectedError()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.setAlarmTo(at(13, 0));
        f.platform.failAlarmDialogCreation = true;
        f.chooseFromAlarmMenu(u"mnuAlmSet"_s);

        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"予期せぬエラーです"_s);
        QCOMPARE(f.platform.messages[0].caption, u"Nokuri"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
        QCOMPARE(f.record(0).Alarm(), at(13, 0));
    }

    void set_tabDeletedWhileTheDialogIsOpenIsAnUnexpectedError()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s});
        f.pressTab(1);
        frmMain &window = *f.window;
        f.platform.alarmScripts.push_back({AlarmTimeDialog::Confirmed, at(13, 0), [&window] {
                                               window.tabs().truncate(1);
                                               window.removeLastTabPage();
                                           }});
        f.chooseFromAlarmMenu(u"mnuAlmSet"_s);

        QCOMPARE(f.messageTexts(), QStringList {u"予期せぬエラーです"_s});
        QVERIFY(!f.record(0).OnAlm());
    }

    void off_keepsTheTimeAndSaysNothing()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.setAlarmTo(at(13, 0));
        f.chooseFromAlarmMenu(u"mnuAlmOff"_s);
        QVERIFY(!f.record(0).OnAlm());
        QCOMPARE(f.record(0).storedAlarm(), at(13, 0));
        QCOMPARE(f.alarmPanel(), u"Alarm No"_s);

        f.chooseFromAlarmMenu(u"mnuAlmOff"_s);
        QVERIFY(!f.record(0).OnAlm());
        f.platform.setNow(at(14, 0));
        f.tick();
        QVERIFY(f.platform.messages.isEmpty());
    }

    void tick_reportsDueTabsInTabOrderOnce()
    {
        AlarmFixture f;
        f.startWithTabs({u"first"_s, u"later"_s, u"third"_s, u"off"_s});
        f.record(0).setAlarm(at(12, 5));
        f.record(1).setAlarm(at(12, 6));
        f.record(2).setAlarm(at(12, 4));
        f.record(3).setAlarm(at(12, 1));
        f.record(3).setOnAlm(false);
        QList<bool> offWhenShown;
        f.platform.onMessage = [&](const RecordingPlatform::Message &) {
            offWhenShown.append(!f.record(0).OnAlm());
        };

        f.platform.setNow(at(12, 5));
        f.tick();
        QCOMPARE(f.messageTexts(), (QStringList {dueText(u"first"_s), dueText(u"third"_s)}));
        for (const auto &message : f.platform.messages) {
            QCOMPARE(message.caption, u"Nokuriのアラーム"_s);
            QCOMPARE(message.icon, MessageIcon::None);
        }
        QCOMPARE(offWhenShown, (QList<bool> {true, true}));
        QVERIFY(f.record(1).OnAlm());

        f.tick();
        QCOMPARE(f.platform.messages.size(), 2);
        f.platform.setNow(at(12, 6));
        f.tick();
        QCOMPARE(f.platform.messages.size(), 3);
        QCOMPARE(f.platform.messages[2].text, dueText(u"later"_s));
    }

    void tick_namesTheFirstEntryNotTheCaption()
    {
        AlarmFixture f;
        f.startWithTabs({QString(), u"same"_s, u"same"_s});
        f.record(1).setOmidasi(u"caption one"_s);
        f.record(1).AddTitle(1, u"second entry"_s, QString());
        f.record(1).DispTitle(1, 1);
        for (int i = 0; i < 3; ++i)
            f.record(i).setAlarm(at(12, 1));
        f.platform.setNow(at(12, 1));
        f.tick();
        QCOMPARE(f.messageTexts(),
            (QStringList {u"タブ「」の時間です"_s, dueText(u"same"_s), dueText(u"same"_s)}));
    }

    void tick_alarmDueDuringSuspendFiresAtTheFirstTickAfter()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.record(0).setAlarm(at(12, 5));
        f.platform.setNow(at(12, 4, 59));
        f.tick();
        f.platform.setNow(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
        f.tick();
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"a"_s)});
    }

    // A tick while a quit is cancelling the open boxes would switch the alarm off unseen.
    void tick_duringAQuitLeavesTheAlarmForTheNextStart()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.record(0).setAlarm(at(12, 5));
        f.platform.setNow(at(12, 5));
        f.platform.modals().closeAll();
        f.tick();
        QVERIFY(f.record(0).OnAlm());
        f.platform.modals().reopen();
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"a"_s)});
    }

    void tick_nestedInsideAMessageReportsEveryAlarmOnce()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s, u"c"_s});
        for (int i = 0; i < 3; ++i)
            f.record(i).setAlarm(at(12, 1));
        int depth = 0;
        f.platform.onMessage = [&](const RecordingPlatform::Message &) {
            // Ticks keep coming while the first box is open, one of them nested in the next.
            if (depth < 2) {
                ++depth;
                f.tick();
            }
        };
        f.platform.setNow(at(12, 1));
        f.tick();
        QCOMPARE(
            f.messageTexts(), (QStringList {dueText(u"a"_s), dueText(u"b"_s), dueText(u"c"_s)}));
        QCOMPARE(depth, 2);
    }

    void tick_skipsTabsDeletedWhileAMessageIsOpen()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s, u"c"_s});
        f.record(0).setAlarm(at(12, 1));
        f.record(2).setAlarm(at(12, 1));
        f.platform.onMessage = [&](const RecordingPlatform::Message &) {
            if (f.window->tabs().count() == 3) {
                f.window->tabs().truncate(1);
                f.window->removeLastTabPage();
                f.window->removeLastTabPage();
            }
        };
        f.platform.setNow(at(12, 1));
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"a"_s)});
        QCOMPARE(f.alarmPanel(), u"Alarm No"_s);
    }

    void tick_alarmPanelShowsAlarmNoWithinTheFiringTick()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s});
        f.setAlarmTo(at(12, 2));
        QCOMPARE(f.alarmPanel(), u"Alarm 26/12/07 12:02"_s);
        f.platform.setNow(at(12, 1, 59));
        f.tick();
        QCOMPARE(f.alarmPanel(), u"Alarm 26/12/07 12:02"_s);
        f.platform.setNow(at(12, 2));
        f.tick();
        QCOMPARE(f.alarmPanel(), u"Alarm No"_s);

        // The panel follows the selected tab; another tab's alarm changes nothing there.
        f.record(1).setAlarm(at(12, 5));
        f.tick();
        QCOMPARE(f.alarmPanel(), u"Alarm No"_s);
    }

    void restart_bringsTheAlarmsBackAsSet()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s, u"c"_s});
        f.pressTab(1);
        f.setAlarmTo(at(13, 0));
        f.record(2).setAlarm(at(14, 0));
        f.record(2).setOnAlm(false);

        f.restartAt(at(12, 30));
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(!f.record(0).OnAlm());
        QVERIFY(f.record(1).OnAlm());
        QCOMPARE(f.record(1).Alarm(), at(13, 0));
        QVERIFY(!f.record(2).OnAlm());
        QCOMPARE(f.window->selectedTab(), 1);
        QCOMPARE(f.alarmPanel(), u"Alarm 26/12/07 13:00"_s);

        f.platform.setNow(at(14, 0));
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"b"_s)});
    }

    void restart_reportsMissedAlarmsOnceInOneMessage()
    {
        AlarmFixture f;
        f.startWithTabs({u"買い物"_s, u"later"_s, u"会議"_s});
        f.setAlarmTo(at(13, 0));
        f.record(1).setAlarm(at(18, 0));
        f.record(2).setAlarm(at(12, 30));

        f.restartAt(at(14, 0));
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
            u"タブ「買い物」\r\nタブ「会議」\r\nのアラームが表示されませんでした"_s);
        QCOMPARE(f.platform.messages[0].caption, u"Nokuriのアラーム"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
        QCOMPARE(f.platform.desktop.notifications.size(), 1);
        QCOMPARE(f.platform.desktop.notifications[0].text, f.platform.messages[0].text);
        QCOMPARE(f.platform.desktop.notifications[0].tab, 0);
        QCOMPARE(f.alarmPanel(), u"Alarm No"_s);
        f.tick();
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.record(1).OnAlm());

        // The missed ones were saved as off: the next start does not report them again.
        f.restartAt(at(15, 0));
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.record(1).OnAlm());
    }

    void tick_dueAlarmAlsoNotifiesWhoseOpenBringsItsTabToFront()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s, u"c"_s});
        f.record(1).setAlarm(at(12, 5));
        f.platform.setNow(at(12, 5));
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"b"_s)});
        QCOMPARE(f.platform.desktop.notifications.size(), 1);
        QCOMPARE(f.platform.desktop.notifications[0].text, dueText(u"b"_s));

        f.window->hide();
        emit f.platform.desktop.openRequested(f.platform.desktop.notifications[0].tab);
        QCOMPARE(f.window->selectedTab(), 1);
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->tabMain().pageStack()->currentWidget(),
            static_cast<QWidget *>(&f.window->page(1)));
        // A tab deleted since only brings the window back.
        emit f.platform.desktop.openRequested(7);
        QCOMPARE(f.window->selectedTab(), 1);
    }

    // Alarm times are local date-times compared with the present at every tick, so after a
    // suspend, a clock set by hand or a new time zone an alarm fires at the first tick whose
    // present has reached it: at most one tick, a second, late.
    void tick_firesAtTheFirstTickThatReachesItsTime_data()
    {
        QTest::addColumn<QList<QDateTime>>("ticks");
        QTest::addColumn<int>("firingTick");
        QTest::newRow("running") << QList {at(12, 4, 58), at(12, 4, 59), at(12, 5), at(12, 5, 1)}
                                 << 2;
        QTest::newRow("woke from a suspend past it")
            << QList {at(12, 4, 59), at(18, 0, 1), at(18, 0, 2)} << 1;
        QTest::newRow("clock set an hour back")
            << QList {at(12, 4, 59), at(11, 5), at(11, 59, 59), at(12, 5)} << 3;
        QTest::newRow("time zone moved east past it") << QList {at(12, 4), at(13, 4)} << 1;
    }
    void tick_firesAtTheFirstTickThatReachesItsTime()
    {
        QFETCH(QList<QDateTime>, ticks);
        QFETCH(int, firingTick);
        AlarmFixture f;
        f.startWithTabs({u"a"_s});
        f.record(0).setAlarm(at(12, 5));
        QVERIFY(f.alarms().tmrAlarm().isActive());
        QVERIFY(f.alarms().tmrAlarm().interval() <= 1000);
        for (int i = 0; i < ticks.size(); ++i) {
            f.platform.setNow(ticks[i]);
            f.tick();
            QCOMPARE(f.platform.messages.size(), i < firingTick ? 0 : 1);
        }
    }

    void timer_sleepsWhileATickWouldChangeNothing()
    {
        AlarmFixture f;
        f.startWithTabs({u"a"_s, u"b"_s});
        const QTimer &timer = f.alarms().tmrAlarm();
        f.tick();
        QVERIFY(!timer.isActive());

        // A change the status bar shows wakes it for one tick, which shows it.
        f.record(0).setCrt(at(9, 30));
        QVERIFY(timer.isActive());
        QTRY_COMPARE(f.window->staMain().panelText(1), u"26/12/07 09:30"_s);
        QVERIFY(!timer.isActive());

        // An alarm keeps it ticking until the alarm is off.
        f.setAlarmTo(at(12, 5));
        f.tick();
        QVERIFY(timer.isActive());
        f.platform.setNow(at(12, 5));
        f.tick();
        QCOMPARE(f.messageTexts(), QStringList {dueText(u"a"_s)});
        QVERIFY(!timer.isActive());
    }
};

QTEST_MAIN(TestAlarmCommands)
#include "tst_AlarmCommands.moc"
