#include "MainWindowFixture.h"
#include "mainwin/Layout.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/StatusPanels.h"
#include "mainwin/Twips.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextDocument>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void tabStripRect_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("width");
        QTest::addColumn<QRect>("strip");
        QTest::newRow("ordinary") << 5000 << 6000 << QRect(0, 0, 5900, 4390);
        QTest::newRow("at the limits") << 610 << 100 << QRect(0, 0, 0, 0);
        QTest::newRow("too low and narrow") << 609 << 99 << QRect(0, 0, 99, 609);
    }
    void tabStripRect()
    {
        QFETCH(int, height);
        QFETCH(int, width);
        QFETCH(QRect, strip);
        QCOMPARE(::tabStripRect(height, width), strip);
    }

    void pageLayout_placesControlsInTwips()
    {
        const PageLayout layout = pageLayout(3000, 2000, 300);
        QCOMPARE(layout.titleList, QRect(0, 0, 2750, 300));
        QCOMPARE(layout.titleButton, QPoint(2800, 0));
        QCOMPARE(layout.contentBox, QRect(0, 360, 3000, 1640));
        // A frame too low for the title list: the box is as high as the frame.
        QCOMPARE(pageLayout(3000, 350, 300).contentBox, QRect(0, 360, 3000, 350));
    }

    void resize_fitsStripAndPagesAtScreenDpi()
    {
        MainWindowFixture f;
        f.start();
        const Twips twips = Twips::of(*f.window);
        f.window->resize(twips.xToPixels(6000), twips.yToPixels(5000));
        QCoreApplication::processEvents();
        const QRect client = f.window->tabMain().clientArea();
        QCOMPARE(f.box(0)->width(), client.width());
        QVERIFY(f.titles(0)->width() < client.width());
        QCOMPARE(f.box(0)->y(), twips.yToPixels(twips.yFromPixels(f.titles(0)->height()) + 60));
    }

    void resize_stripEndsExactlyAboveTheStatusBar_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("designed") << QSize();
        QTest::newRow("larger") << QSize(900, 700);
        QTest::newRow("smaller") << QSize(300, 250);
    }
    void resize_stripEndsExactlyAboveTheStatusBar()
    {
        QFETCH(QSize, size);
        MainWindowFixture f;
        f.start();
        if (size.isValid())
            f.window->resize(size);
        QCoreApplication::processEvents();
        const QWidget &strip = f.window->tabMain();
        const QRect inWindow(strip.mapTo(f.window.get(), QPoint(0, 0)), strip.size());
        QCOMPARE(inWindow.bottom() + 1, f.window->statusBar()->geometry().top());
        QCOMPARE(inWindow.left(), 0);
        QCOMPARE(inWindow.width(), f.window->width());
    }

    void window_carriesTheProgramIconInEachSize()
    {
        MainWindowFixture f;
        f.start();
        QCOMPARE(
            f.window->windowIcon().availableSizes(), (QList<QSize> {{16, 16}, {32, 32}, {48, 48}}));
    }

    void formLoad_firstStartGivesOneEmptyTab()
    {
        MainWindowFixture f;
        f.start();
        QCOMPARE(f.window->tabCount(), 1);
        QCOMPARE(f.window->tabMain().count(), 1);
        QCOMPARE(f.record(0).NoOfCont(), 1);
        QCOMPARE(f.record(0).Title(0), QString());
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        QCOMPARE(f.window->tabs().DefFontName, u"ＭＳ ゴシック"_s);
        QCOMPARE(f.window->tabs().DefFontSize, 10);
        QVERIFY(f.window->MakeBackup());
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.box(0)->isEnabled());
        QVERIFY(f.box(0)->isVisible());
        QVERIFY(f.titles(0)->isEnabled());
    }

    void addTabPage_newPageShowsFirstEntryButStaysInert()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"買い物"_s, u"牛乳\r\nパン"_s);
        QCOMPARE(f.window->tabCount(), 2);
        QCOMPARE(f.window->tabMain().count(), 2);
        QCOMPARE(f.window->tabMain().selectedPosition(), 1);
        QCOMPARE(f.titles(1)->currentText(), u"買い物"_s);
        QCOMPARE(f.box(1)->text(), u"牛乳\nパン"_s);
        QVERIFY(!f.titles(1)->isEnabled());
        QVERIFY(!f.box(1)->isEnabled());
        QVERIFY(!f.window->page(1).cmdTitle()->isEnabled());
    }

    void hiddenPage_keepsItsTextExactlyAndBuildsItOnlyWhenShown()
    {
        MainWindowFixture f;
        f.start();
        const QString content = u"一\u00A0二\r\n\r\n三\n四 "_s;
        f.window->AddTabPage(u"t"_s, content);
        QCOMPARE(f.box(1)->text(), u"一\u00A0二\n\n三\n四 "_s);
        QVERIFY(f.box(1)->document()->isEmpty());

        f.pressTab(1);
        QCOMPARE(f.box(1)->document()->toRawText().size(), 9);
        QCOMPARE(f.box(1)->text(), u"一\u00A0二\n\n三\n四 "_s);
        f.pressTab(0);
        QCOMPARE(f.record(1).Cont(0), content);
    }

    void enableTabPage_refusesABadIndex()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"b"_s, QString());
        f.window->AddTabPage(u"c"_s, QString());
        f.window->EnableTabPage(true, 5);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"指定したインデックスが正しくありません"_s);
        QCOMPARE(f.platform.messages[0].caption, u"プロパティエラー"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
        for (int i = 1; i < 3; ++i)
            QVERIFY(!f.titles(i)->isEnabled());

        f.window->ApplyScrlType(ScrollType::Both);
        f.window->EnableTabPage(false, 0);
        QVERIFY(!f.titles(0)->isEnabled());
        QVERIFY(!f.box(0)->isEnabled());
        QVERIFY(!f.window->page(0).cmdTitle()->isEnabled());
    }

    void tabChange_keepsTypedTextAndMovesTheWorkingPage()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"second"_s, u"two"_s);
        f.typeInto(0, u"a\nb"_s);
        f.pressTab(1);
        QCOMPARE(f.record(0).Cont(0), u"a\r\nb"_s);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(f.window->tabMain().pageStack()->currentWidget(), &f.window->page(1));
        QVERIFY(!f.box(0)->isEnabled());
        QVERIFY(!f.titles(0)->isEnabled());
        QVERIFY(f.box(1)->isEnabled());
        QVERIFY(f.titles(1)->isEnabled());
        QCOMPARE(f.box(1)->text(), u"two"_s);

        // A press on the selected tab stores the text too, and nothing else changes.
        f.typeInto(1, u"!"_s);
        f.pressTab(1);
        QCOMPARE(f.record(1).Cont(0), u"two!"_s);
        QVERIFY(f.box(1)->isEnabled());

        f.pressTab(0);
        QCOMPARE(f.box(0)->text(), u"a\nb"_s);
    }

    void entryChoice_keepsTypedTextOfTheEntryLeft()
    {
        MainWindowFixture f;
        f.start();
        clsTabCont &record = f.record(0);
        record.AddTitle(0, u"second"_s, u"2"_s);
        f.typeInto(0, u"first text"_s);
        f.chooseEntry(0, 1);
        QCOMPARE(record.Cont(0), u"first text"_s);
        QCOMPARE(record.DispIndex(), 1);
        QCOMPARE(f.box(0)->text(), u"2"_s);
        f.typeInto(0, u"+"_s);
        f.chooseEntry(0, 1);
        QCOMPARE(record.Cont(1), u"2+"_s);
        QCOMPARE(f.box(0)->text(), u"2+"_s);
    }

    // How a finder shows what it found: as the user's presses on the strip and the list would.
    void showEntry_goesThroughThePressAndChoiceHandlers()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"second"_s, u"two"_s);
        f.record(1).AddTitle(1, u"third"_s, u"3"_s);
        f.typeInto(0, u"typed"_s);
        f.window->showEntry(1, 1);
        QCOMPARE(f.record(0).Cont(0), u"typed"_s);
        QCOMPARE(f.window->selectedTab(), 1);
        QVERIFY(f.box(1)->isEnabled());
        QVERIFY(!f.box(0)->isEnabled());
        QCOMPARE(f.record(1).DispIndex(), 1);
        QCOMPARE(f.box(1)->text(), u"3"_s);

        f.typeInto(1, u"+"_s);
        f.window->showEntry(1, 0);
        QCOMPARE(f.record(1).Cont(1), u"3+"_s);
        QCOMPARE(f.titles(1)->currentIndex(), 0);
        QCOMPARE(f.box(1)->text(), u"two"_s);
    }

    // The window alone opens no dialog: it reports the press and recaptions the strip after.
    void titleButton_isReportedWithTheShownEntry()
    {
        RecordingPlatform platform;
        QTemporaryDir dir;
        frmMain window(platform, dir.path());
        window.Form_Load();
        window.tabs()[0].AddTitle(0, u"second"_s, u"2"_s);
        window.showEntry(0, 1);
        QList<QPair<int, int>> presses;
        connect(&window, &frmMain::titleButtonClicked, this, [&](int tab, int entry) {
            presses.append({tab, entry});
            window.tabs()[tab].setOmidasi(u"renamed"_s);
        });
        window.page(0).cmdTitle()->click();
        QCOMPARE(presses, (QList<QPair<int, int>> {{0, 1}}));
        QCOMPARE(window.tabMain().caption(1), u"renamed"_s);
        QVERIFY(platform.dialogsShown.isEmpty());
    }

    void rightPressOnStrip_enablesItemsByTabCount()
    {
        MainWindowFixture f;
        f.start();
        f.pressTab(0, Qt::RightButton);
        QVERIFY(f.platform.menuItemEnabled(u"mnuTabAdd"_s));
        QVERIFY(!f.platform.menuItemEnabled(u"mnuTabDel"_s));

        for (int i = 1; i < 29; ++i)
            f.window->AddTabPage(QString(), QString());
        f.pressTab(0, Qt::RightButton);
        QVERIFY(f.platform.menuItemEnabled(u"mnuTabAdd"_s));
        QVERIFY(f.platform.menuItemEnabled(u"mnuTabCBAdd"_s));
        QVERIFY(f.platform.menuItemEnabled(u"mnuTabFLAdd"_s));
        QVERIFY(f.platform.menuItemEnabled(u"mnuTabDel"_s));

        f.window->AddTabPage(QString(), QString());
        f.pressTab(0, Qt::RightButton);
        QVERIFY(!f.platform.menuItemEnabled(u"mnuTabAdd"_s));
        QVERIFY(!f.platform.menuItemEnabled(u"mnuTabCBAdd"_s));
        QVERIFY(!f.platform.menuItemEnabled(u"mnuTabFLAdd"_s));
        QCOMPARE(f.window->tabCount(), 30);
        // The right press did not change the selection.
        QCOMPARE(f.window->tabMain().selectedPosition(), 1);
    }

    void scrlType_refusesAnythingButNVW()
    {
        MainWindowFixture f;
        f.start();
        f.window->setScrlType(u"v"_s);
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"スクロールバーの指定タイプが正しくありません"_s);
        QCOMPARE(f.platform.messages[0].caption, u"プロパティエラー"_s);
        f.window->setScrlType(u"N"_s);
        QCOMPARE(f.window->ScrlType(), u"N"_s);
        QCOMPARE(f.platform.messages.size(), 1);
    }

    void applyScrlType_keepsUnsavedTextFontsAndStates_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        for (const char *pair : {"NV", "NW", "VN", "VW", "WN", "WV"})
            QTest::newRow(pair) << QString(QChar::fromLatin1(pair[0]))
                                << QString(QChar::fromLatin1(pair[1]));
    }
    void applyScrlType_keepsUnsavedTextFontsAndStates()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t"_s, u"other"_s);
        f.record(1).setFontSize(20);
        f.record(1).DispCont(1);
        f.window->ApplyScrlType(*scrollTypeFromLetter(from));
        f.typeInto(0, u"unsaved"_s);

        f.window->ApplyScrlType(*scrollTypeFromLetter(to));
        QCOMPARE(f.window->ScrlType(), to);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(scrollTypeLetter(f.box(i)->scrollType()), to);
            QVERIFY(!f.box(i)->isHidden());
        }
        QCOMPARE(f.box(0)->text(), u"unsaved"_s);
        QVERIFY(f.record(0).Cont(0).isEmpty());
        QVERIFY(f.box(0)->isEnabled());
        QVERIFY(!f.box(1)->isEnabled());
        QCOMPARE(f.box(1)->font().pointSizeF(), 20.0);
        QCOMPARE(f.box(0)->lineWrapMode() == QPlainTextEdit::NoWrap, to == u"W");

        f.pressTab(1);
        QCOMPARE(f.record(0).Cont(0), u"unsaved"_s);
    }

    void applyScrlType_givesPagesShownBeforeTheNewScrollBars_data()
    {
        applyScrlType_keepsUnsavedTextFontsAndStates_data();
    }
    void applyScrlType_givesPagesShownBeforeTheNewScrollBars()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"t"_s, u"other"_s);
        f.window->ApplyScrlType(*scrollTypeFromLetter(from));
        f.pressTab(1);
        f.pressTab(0);

        f.window->ApplyScrlType(*scrollTypeFromLetter(to));
        f.pressTab(1);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(f.box(i)->verticalScrollBar()->isVisibleTo(f.box(i)), to != u"N");
            QCOMPARE(f.box(i)->horizontalScrollBar()->isVisibleTo(f.box(i)), to == u"W");
        }
    }

    void dispStatus_showsCreationAndAlarm()
    {
        MainWindowFixture f;
        f.platform.setNow(QDateTime(QDate(1999, 12, 31), QTime(23, 5, 59)));
        f.start();
        StatusPanels &status = f.window->staMain();
        QCOMPARE(status.panelText(1), u"99/12/31 23:05"_s);
        QCOMPARE(status.panelText(2), u"Alarm No"_s);

        f.record(0).setAlarm(QDateTime(QDate(2000, 1, 2), QTime(7, 8)));
        f.window->DispStatus();
        QCOMPARE(status.panelText(2), u"Alarm 00/01/02 07:08"_s);
        f.record(0).setOnAlm(false);
        f.window->DispStatus();
        QCOMPARE(status.panelText(2), u"Alarm No"_s);
    }

    void statusPanelClicks_renewCreationOrPopTheAlarmMenu()
    {
        MainWindowFixture f;
        f.start();
        f.platform.advance(3600);
        emit f.window->staMain().panelClicked(1, QPoint());
        QCOMPARE(f.record(0).Crt(), f.platform.now());
        QCOMPARE(f.window->staMain().panelText(1), f.platform.now().toString(u"yy/MM/dd HH:mm"_s));
        QVERIFY(f.platform.menusShown.isEmpty());

        f.record(0).setAlarm(f.platform.now().addSecs(600));
        emit f.window->staMain().panelClicked(2, QPoint());
        QCOMPARE(f.platform.menusShown.size(), 1);
        QCOMPARE(f.platform.menusShown[0].size(), 2);
        QCOMPARE(f.platform.menusShown[0][0].text, u"設定"_s);
        QVERIFY(f.window->staMain().panelText(2).startsWith(u"Alarm 26/"_s));
    }

    void statusPanels_actOnTheLeftButtonOnly_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<Qt::MouseButton>("button");
        for (int panel : {1, 2}) {
            for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
                QTest::addRow("panel %d button %d", panel, int(button)) << panel << button;
        }
    }
    void statusPanels_actOnTheLeftButtonOnly()
    {
        QFETCH(int, panel);
        QFETCH(Qt::MouseButton, button);
        MainWindowFixture f;
        f.start();
        const QDateTime created = f.record(0).Crt();
        f.platform.advance(3600);
        QTest::mousePress(f.window->staMain().panel(panel), button);
        const bool acts = button == Qt::LeftButton;
        QCOMPARE(f.record(0).Crt() != created, acts && panel == 1);
        QCOMPARE(f.platform.menusShown.size(), acts && panel == 2 ? 1 : 0);
    }

    void minimise_hidesOnlyWhereATrayExists_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void minimise_hidesOnlyWhereATrayExists()
    {
        QFETCH(bool, tray);
        MainWindowFixture f;
        f.platform.trayAvailable = tray;
        f.start();
        f.window->setWindowState(Qt::WindowMinimized);
        QCoreApplication::processEvents();
        QCOMPARE(f.window->isHidden(), tray);
    }

    // The desktop session's end arrives as the application's Quit event, here while the
    // tab-name dialog is open: the dialog is cancelled (no tab is added), and the window
    // closes, saving, only once the dialog has returned.
    void sessionEnd_whileDialogOpen_cancelsItAndClosesAfter()
    {
        MainWindowFixture f;
        f.start();
        QSignalSpy unloaded(f.window.get(), &frmMain::unloaded);
        f.typeInto(0, u"typed"_s);
        qsizetype unloadedInside = -1;
        f.platform.dialogScripts.push_back([&](QDialog &dialog) {
            QSignalSpy rejected(&dialog, &QDialog::rejected);
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            unloadedInside = unloaded.size();
            // The user's Ok, had the quit left the dialog open.
            if (rejected.isEmpty())
                dialog.accept();
            return dialog.result();
        });
        f.window->menus().mnuTabAdd->trigger();

        QCOMPARE(unloadedInside, 0);
        QCOMPARE(f.window->tabCount(), 1);
        QTRY_COMPARE(unloaded.size(), 1);
        QFile saved(f.dir.filePath(u"Tab1A.tab"_s));
        QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.errorString()));
        QCOMPARE(saved.readAll(), QByteArray("\r\ntyped\r\n"));
    }

    // The files are written while the window's events run: what those ask for (another save, a
    // quit) is served after the save, and a change they make is kept for the next save.
    void save_letsEventsRunAndServesTheirRequestsAfterIt_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QByteArray>("savedAtLast");
        QTest::newRow("none") << QString() << QByteArray("\r\ntyped\r\n");
        QTest::newRow("another save") << u"save"_s << QByteArray("\r\nchanged\r\n");
        QTest::newRow("the session's end") << u"quit"_s << QByteArray("\r\nchanged\r\n");
        QTest::newRow("the window closed") << u"close"_s << QByteArray("\r\nchanged\r\n");
    }
    void save_letsEventsRunAndServesTheirRequestsAfterIt()
    {
        QFETCH(QString, request);
        QFETCH(QByteArray, savedAtLast);
        MainWindowFixture f;
        f.start();
        QSignalSpy unloaded(f.window.get(), &frmMain::unloaded);
        f.typeInto(0, u"typed"_s);
        // Written beforehand, so that the loop that runs the event is the save's own.
        QVERIFY(f.window->recovery().flush());
        bool ranInside = false;
        bool savedInside = false;
        // Posted before the save: delivered only by an event loop that runs during it.
        QTimer::singleShot(0, f.window.get(), [&] {
            ranInside = true;
            f.record(0).ChgCont(0, u"changed"_s);
            f.record(0).DispCont(0);
            QEvent quit(QEvent::Quit);
            if (request == u"save")
                savedInside = f.window->SaveAll();
            else if (request == u"quit")
                QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            else if (request == u"close")
                f.window->close();
        });
        QVERIFY(f.window->SaveAll());

        QVERIFY(ranInside);
        QVERIFY(!savedInside);
        QCOMPARE(unloaded.size(), 0);
        const bool quits = request == u"quit" || request == u"close";
        if (quits)
            QTRY_COMPARE(unloaded.size(), 1);
        QFile saved(f.dir.filePath(u"Tab1A.tab"_s));
        QVERIFY2(saved.open(QIODevice::ReadOnly), qPrintable(saved.errorString()));
        QCOMPARE(saved.readAll(), savedAtLast);
        if (request.isEmpty()) {
            QVERIFY(f.window->recovery().flush());
            QVERIFY(QFile::exists(f.dir.filePath(QString::fromLatin1(RecoveryFile::FileName))));
        }
    }

    // The recovery file, which holds every unsaved note, is written as the files of a save are.
    void recoveryWrite_letsEventsRun()
    {
        MainWindowFixture f;
        f.start();
        f.typeInto(0, u"typed"_s);
        bool ranInside = false;
        QTimer::singleShot(0, f.window.get(), [&] { ranInside = true; });
        QVERIFY(f.window->recovery().flush());
        QVERIFY(ranInside);
    }

    // Where the notes cannot be saved, the quit still asks what to do, and "stay" stays; a
    // later quit ends the program once the save works again.
    void quitWhileDialogOpen_failedSaveAsksAndStaysIfTold()
    {
        MainWindowFixture f;
        f.start();
        // A directory where the settings file belongs makes the save fail.
        QVERIFY(QDir(f.dir.path()).mkdir(u"TabSet.ini"_s));
        f.platform.questionAnswers = {2};
        f.platform.dialogScripts.push_back([&](QDialog &dialog) {
            f.window->requestQuit();
            return dialog.result();
        });
        f.window->menus().mnuTabAdd->trigger();
        QTRY_COMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.window->isVisible());

        QVERIFY(QDir(f.dir.filePath(u"TabSet.ini"_s)).removeRecursively());
        f.window->requestQuit();
        QTRY_VERIFY(!f.window->isVisible());
        QVERIFY(QFile::exists(f.dir.filePath(u"TabSet.ini"_s)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_frmMain.moc"
