#include "MainWindowFixture.h"
#include "mainwin/StatusPanels.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

// The strip's rows and its keyboard, in the real window.
class TestTabStrip : public QObject
{
    Q_OBJECT

    static void fillToThirtyTabs(MainWindowFixture &f)
    {
        for (int i = 1; i < 30; ++i) {
            f.window->AddTabPage(u"t"_s, QString());
            f.record(i).setOmidasi(u"タブ"_s + QString(i % 4, u'長'));
            f.window->refreshStripCaption(i + 1);
        }
        f.window->ArrangeControls();
    }

private slots:
    void thirtyTabs_allInViewInRowsThatShrinkThePages()
    {
        MainWindowFixture f;
        f.start();
        const int oneRowClient = f.window->tabMain().clientArea().height();
        fillToThirtyTabs(f);
        TabRows *rows = f.bar();
        QVERIFY(rows->rowCount() > 2);
        for (int i = 0; i < 30; ++i) {
            QVERIFY2(rows->rect().contains(rows->tabRect(i)), qPrintable(QString::number(i)));
            for (int j = 0; j < i; ++j)
                QVERIFY(!rows->tabRect(i).intersects(rows->tabRect(j)));
        }
        const QRect client = f.window->tabMain().clientArea();
        QVERIFY(client.top() >= rows->geometry().bottom());
        QCOMPARE(
            client.height(), oneRowClient - (rows->rowCount() - 1) * rows->tabRect(0).height());
        QCOMPARE(f.window->tabMain().pageStack()->geometry(), client);
        QCOMPARE(f.box(0)->geometry().bottom() + 1, client.height());
    }

    void renamedTabsAndANewFont_takeTheirNewWidths()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t"_s, QString());
        TabRows *rows = f.bar();
        rows->setCaption(1, u"a"_s);
        const int shortWidth = rows->tabRect(1).width();
        rows->setCaption(1, u"かなり長いタブの見出し"_s);
        const int longWidth = rows->tabRect(1).width();
        QVERIFY(longWidth > shortWidth);
        QFont larger = rows->font();
        larger.setPointSizeF(larger.pointSizeF() * 2);
        rows->setFont(larger);
        QVERIFY(rows->tabRect(1).width() > longWidth);
    }

    void selectedTab_isAlwaysOnTheRowNextToThePages()
    {
        MainWindowFixture f;
        f.start();
        fillToThirtyTabs(f);
        TabRows *rows = f.bar();
        for (int i : {29, 0, 15, 3}) {
            f.pressTab(i);
            QCOMPARE(f.window->tabMain().selectedPosition(), i + 1);
            QCOMPARE(rows->tabRect(i).bottom(), rows->height() - 1);
        }
    }

    void pressesAndKeys_reportPressThenAboutToChangeThenChanged_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("left on another tab") << u"left 2"_s << u"press1 about1 changed3"_s;
        QTest::newRow("left on the selected tab") << u"left 0"_s << u"press1 changed1"_s;
        QTest::newRow("right on another tab") << u"right 2"_s << u"press1"_s;
        QTest::newRow("Ctrl+PgDn") << u"Ctrl+PgDown"_s << u"press1 about1 changed2"_s;
        QTest::newRow("Ctrl+Tab") << u"Ctrl+Tab"_s << u"press1 about1 changed2"_s;
        QTest::newRow("Ctrl+PgUp wraps") << u"Ctrl+PgUp"_s << u"press1 about1 changed3"_s;
        QTest::newRow("Ctrl+Shift+Tab") << u"Ctrl+Shift+Tab"_s << u"press1 about1 changed3"_s;
        QTest::newRow("Right on the strip") << u"strip Right"_s << u"press1 about1 changed2"_s;
        QTest::newRow("Left on the strip") << u"strip Left"_s << u"press1 about1 changed3"_s;
    }
    void pressesAndKeys_reportPressThenAboutToChangeThenChanged()
    {
        QFETCH(QString, action);
        QFETCH(QString, expected);
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"b"_s, QString());
        f.window->AddTabPage(u"c"_s, QString());
        TabStrip &strip = f.window->tabMain();
        QStringList seen;
        const auto note = [&](const QString &what) {
            seen << what + QString::number(strip.selectedPosition());
        };
        connect(&strip, &TabStrip::mousePressed, this, [&] { note(u"press"_s); });
        connect(&strip, &TabStrip::aboutToChange, this, [&] { note(u"about"_s); });
        connect(&strip, &TabStrip::changed, this, [&] { note(u"changed"_s); });
        f.typeInto(0, u"typed"_s);

        const QStringList words = action.split(u' ');
        if (words[0] == u"left" || words[0] == u"right")
            f.pressTab(words[1].toInt(), words[0] == u"left" ? Qt::LeftButton : Qt::RightButton);
        else if (words[0] == u"strip")
            QTest::keyClick(f.bar(), QKeySequence::fromString(words[1])[0].key());
        else
            QTest::keySequence(f.window.get(), QKeySequence::fromString(action));
        QCOMPARE(seen.join(u' '), expected);
        QCOMPARE(f.record(0).Cont(0), u"typed"_s);
    }

    void keyboardSwitch_takesTheFocusToTheSameControlOnTheNewPage()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"b"_s, u"two"_s);
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.typeInto(0, u"one"_s);
        QTest::keyClick(f.box(0), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(QApplication::focusWidget(), f.box(1));
        QTest::keyClick(f.box(1), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(f.record(1).Cont(0), u"two"_s);
        QCOMPARE(f.box(0)->text(), u"one"_s);
    }

    void menuKeys_openTheMenuOfWhereTheFocusIs_data()
    {
        QTest::addColumn<bool>("onStrip");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("firstItem");
        for (const QKeySequence &key : {QKeySequence(Qt::Key_Menu), QKeySequence(u"Shift+F10"_s)}) {
            QTest::addRow("%s in the box", qPrintable(key.toString()))
                << false << key << u"mnuContFont"_s;
            QTest::addRow("%s on the strip", qPrintable(key.toString()))
                << true << key << u"mnuTabAdd"_s;
        }
    }
    void menuKeys_openTheMenuOfWhereTheFocusIs()
    {
        QFETCH(bool, onStrip);
        QFETCH(QKeySequence, key);
        QFETCH(QString, firstItem);
        MainWindowFixture f;
        f.start();
        f.typeInto(0, u"kept"_s);
        QWidget *target = onStrip ? static_cast<QWidget *>(f.bar()) : f.box(0);
        target->setFocus();
        QTest::keySequence(target, key);
        QCOMPARE(f.platform.menusShown.size(), 1);
        QCOMPARE(f.platform.menusShown[0][0].objectName, firstItem);
        QCOMPARE(f.record(0).Cont(0), onStrip ? u"kept"_s : QString());
    }

    void altDown_opensTheTitleListOfThePageInFront()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"b"_s, QString());
        f.pressTab(1);
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        f.box(1)->setFocus();
        QTest::keyClick(f.box(1), Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(f.titles(1)->view()->isVisible());
        QVERIFY(!f.titles(0)->view()->isVisible());
        f.titles(1)->hidePopup();
    }

    // A new user on an empty first tab finds the commands by hovering: nothing else shows them.
    void emptyFirstTab_hintsWhereTheCommandsAre()
    {
        MainWindowFixture f;
        f.start();

        QCOMPARE(f.bar()->toolTip(), u"右クリックでタブのメニュー"_s);
        QCOMPARE(f.window->page(0).cmdTitle()->toolTip(), u"タイトル一覧"_s);
        QVERIFY(!f.window->staMain().panelText(1).isEmpty());
        QCOMPARE(f.window->staMain().panelText(2), u"Alarm No"_s);
    }
};

QTEST_MAIN(TestTabStrip)
#include "tst_TabStrip.moc"
