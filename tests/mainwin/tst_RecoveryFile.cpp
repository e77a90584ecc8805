#include "MainWindowFixture.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/StatusPanels.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <sys/mount.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything a save writes except the window's place: the options and every tab.
QStringList savedState(frmMain &window)
{
    const TabSet &tabs = window.tabs();
    QStringList state {window.ScrlType(), QString::number(window.MakeBackup()),
        tabs.DefFontName + u' ' + QString::number(tabs.DefFontSize)};
    for (int i = 0; i < tabs.count(); ++i) {
        const clsTabCont &r = tabs[i];
        state << r.Omidasi() + u'|' + r.FontName() + u' ' + QString::number(r.FontSize()) + u'|'
                + r.Crt().toString(Qt::ISODate) + u'|' + QString::number(r.OnAlm()) + u' '
                + r.storedAlarm().toString(Qt::ISODate);
        for (int j = 0; j < r.NoOfCont(); ++j)
            state << r.Title(j) + u'|' + r.Cont(j);
    }
    return state;
}

// The user picks `command` ("tab:" or "content:" and a menu item, "alarm:" and an alarm menu
// item, "status:" and a panel, or "titles" for the titles button); a dialog it opens gets
// `text` typed into `control`, or `control` clicked, and then `button` clicked.
void give(MainWindowFixture &f, const QString &command, const QString &control, const QString &text,
    const QString &button)
{
    if (!control.isEmpty()) {
        f.platform.dialogScripts.push_back([=](QDialog &dialog) {
            if (auto *input = dialog.findChild<QLineEdit *>(control))
                input->setText(text);
            else
                dialog.findChild<QAbstractButton *>(control)->click();
            dialog.findChild<QPushButton *>(button)->click();
            return dialog.result();
        });
    }
    const QString where = command.section(u':', 0, 0);
    const QString what = command.section(u':', 1);
    f.platform.menuChoices.push_back(what);
    const int s = f.window->selectedTab();
    if (where == u"tab")
        f.pressTab(s, Qt::RightButton);
    else if (where == u"content")
        QTest::mousePress(f.box(s)->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    else if (where == u"titles")
        f.window->page(s).cmdTitle()->click();
    else
        emit f.window->staMain().panelClicked(where == u"alarm" ? 2 : what.toInt(), QPoint());
}

} // namespace

// Typing that no save holds yet survives the program's sudden end.
class TestRecoveryFile : public QObject
{
    Q_OBJECT

private:
    QString recoveryPath(const MainWindowFixture &f) const
    {
        return QDir(f.dir.path()).filePath(QString::fromLatin1(RecoveryFile::FileName));
    }
    void startQuickly(MainWindowFixture &f)
    {
        f.start();
        f.window->recovery().setPauseInterval(20);
    }
    // Ends the window the way a kill would: no unload, no save.
    void crash(MainWindowFixture &f) { f.window.reset(); }

private slots:
    void typingPause_writesRecoveryAndSaveRemovesIt()
    {
        MainWindowFixture f;
        startQuickly(f);
        QVERIFY(f.window->SaveAll());
        const QByteArray savedEntry = [&] {
            QFile file(QDir(f.dir.path()).filePath(u"Tab1A.tab"_s));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        f.typeInto(0, u"unsaved"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        QFile entry(QDir(f.dir.path()).filePath(u"Tab1A.tab"_s));
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(entry.readAll(), savedEntry);
        QVERIFY(f.window->SaveAll());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void readingAndShowing_isNoChange()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.window->AddTabPage(u"t"_s, u"text"_s);
        f.record(1).setAlarm(f.platform.now().addDays(1));
        f.record(1).setFontName(u"Other"_s);
        QVERIFY(f.window->SaveAll());
        crash(f);
        startQuickly(f);
        f.pressTab(1);
        f.pressTab(0);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    // One row per command that changes what a save writes.
    void everyChange_isRecoveredAfterACrash_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        const auto row = [](const char *name, const QString &command, const QString &control = {},
                             const QString &text = {}, const QString &button = {}) {
            QTest::newRow(name) << command << control << text << button;
        };
        row("rename tab", u"tab:mnuTabName"_s, u"txtOmidashi"_s, u"renamed"_s, u"cmdOk"_s);
        row("delete tab", u"tab:mnuTabDel"_s);
        row("sort", u"tab:mnuTabSortTtup"_s);
        row("add entry", u"titles"_s, u"txtInput"_s, u"new entry"_s, u"cmdNew"_s);
        row("rename entry", u"titles"_s, u"txtInput"_s, u"renamed entry"_s, u"cmdChg"_s);
        row("delete entry", u"titles"_s, u"txtInput"_s, {}, u"cmdDel"_s);
        row("set alarm", u"alarm:mnuAlmSet"_s);
        row("clear alarm", u"alarm:mnuAlmOff"_s);
        row("reset creation date", u"status:1"_s);
        row("tab font", u"content:mnuContFont"_s);
        row("default font", u"content:mnuContDflt"_s);
        row("scroll type", u"tab:mnuTabOpt"_s, u"optScrlW"_s, {}, u"cmdOk"_s);
        row("backups", u"tab:mnuTabOpt"_s, u"chkBackup"_s, {}, u"cmdOk"_s);
        row("add empty tab", u"tab:mnuTabAdd"_s, u"txtOmidashi"_s, u"new"_s, u"cmdOk"_s);
        row("add tab from clipboard", u"tab:mnuTabCBAdd"_s, u"txtOmidashi"_s, u"new"_s, u"cmdOk"_s);
        row("add tab from file", u"tab:mnuTabFLAdd"_s);
    }
    void everyChange_isRecoveredAfterACrash()
    {
        QFETCH(QString, command);
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, button);
        MainWindowFixture f;
        startQuickly(f);
        // Two saved tabs, captions in reverse order, the first with two entries, its own font
        // and an alarm.
        f.record(0).setOmidasi(u"b"_s);
        f.record(0).AddTitle(0, u"second"_s, u"text"_s);
        f.record(0).setFontName(u"Tab font"_s);
        f.record(0).setAlarm(f.platform.now().addSecs(2 * 3600));
        f.window->AddTabPage(u"other"_s, QString());
        f.record(1).setOmidasi(u"a"_s);
        QVERIFY(f.window->SaveAll());
        const QStringList saved = savedState(*f.window);
        // What the clock, the clipboard and the choosers give, should the command ask.
        f.platform.advance(3600);
        f.platform.clipboard = u"clipped"_s;
        f.platform.alarmScripts.push_back(
            {AlarmTimeDialog::Confirmed, f.platform.now().addSecs(2 * 3600), {}});
        f.platform.fontAnswers.push_back(FontChoice {u"Chosen"_s, 14});
        f.platform.openFileAnswers.push_back(f.dir.filePath(u"Tab1B.tab"_s));

        give(f, command, control, text, button);
        const QStringList changed = savedState(*f.window);
        QVERIFY(changed != saved);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QCOMPARE(savedState(*f.window), changed);
    }

    void afterACrash_restoreBringsTheTypingBack()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.record(0).setOmidasi(u"saved"_s);
        QVERIFY(f.window->SaveAll());
        f.window->AddTabPage(u"new tab"_s, QString());
        f.record(1).setOmidasi(u"unsaved tab"_s);
        f.pressTab(1);
        f.typeInto(1, u"line 1\nline 2"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.platform.questions[0].text.contains(u"復元しますか"_s));
        QCOMPARE(f.window->tabCount(), 2);
        QCOMPARE(f.record(1).Omidasi(), u"unsaved tab"_s);
        QCOMPARE(f.record(1).Cont(0), u"line 1\r\nline 2"_s);
        QCOMPARE(f.window->tabMain().caption(2), u"unsaved tab"_s);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(f.box(1)->text(), u"line 1\nline 2"_s);
        QVERIFY(f.box(1)->isEnabled());
    }

    void typingIntoOneEntry_writesOnlyThatEntryAndRestoresTheRest()
    {
        MainWindowFixture f;
        startQuickly(f);
        const QString longText = QString(20000, u'長');
        f.window->AddTabPage(u"long"_s, longText);
        QVERIFY(f.window->SaveAll());
        f.typeInto(0, u"typed"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        QVERIFY(QFileInfo(recoveryPath(f)).size() < 2000);
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QCOMPARE(f.record(0).Cont(0), u"typed"_s);
        QCOMPARE(f.record(1).Cont(0), longText);
        QCOMPARE(f.record(1).Title(0), u"long"_s);
    }

    void afterACrash_declinedRestoreDiscardsIt()
    {
        MainWindowFixture f;
        startQuickly(f);
        QVERIFY(f.window->SaveAll());
        f.typeInto(0, u"gone"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {1};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.record(0).Cont(0).isEmpty());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void staleOrDamagedRecovery_isDroppedWithoutAsking_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("torn") << QByteArray("{\"version\":1,\"tabs\":[{\"titl");
        QTest::newRow("no entries") << QByteArray(R"({"version":1,"selected":0,"tabs":[{}]})");
        const auto document = [](const QJsonArray &titles, const QJsonArray &contents) {
            const QJsonObject tab {{u"created"_s, u"2024-01-01T00:00:00"_s},
                {u"alarm"_s, u"2024-01-01T00:00:00"_s}, {u"titles"_s, titles},
                {u"contents"_s, contents}};
            return QJsonDocument(
                QJsonObject {{u"version"_s, 2}, {u"selected"_s, 0}, {u"tabs"_s, QJsonArray {tab}}})
                .toJson();
        };
        QJsonArray many;
        for (int i = 0; i < 65537; ++i)
            many.append(QString());
        QTest::newRow("more entries than a tab holds, by 16-bit wrap-around")
            << document(many, many);
        for (const QString &name : {u"TabSet.ini"_s, u"Tab9A.tab"_s, u"../Tab1A.tab"_s}) {
            QTest::newRow(qPrintable(u"points to "_s + name))
                << document({u"t"_s}, {QJsonObject {{u"savedFile"_s, name}}});
        }
    }
    void staleOrDamagedRecovery_isDroppedWithoutAsking()
    {
        QFETCH(QByteArray, content);
        MainWindowFixture f;
        startQuickly(f);
        f.typeInto(0, u"x"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        QFile file(recoveryPath(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        crash(f);
        startQuickly(f);
        QVERIFY(f.platform.questions.isEmpty());
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    // A sync tool brings another machine's version in while the program lies dead: the typing
    // is still offered, and no file of the other side is replaced unseen.
    void outsideChangeAfterACrash_keepsBothSides_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("theirs"); // empty: removed
        QTest::addColumn<bool>("kept");
        QTest::addColumn<QString>("untouchedEntry");
        QTest::newRow("the typed entry")
            << u"Tab1A.tab"_s << QByteArray("A\r\ntheirs\r\n") << true << u"old"_s;
        QTest::newRow("an untouched entry, taken in")
            << u"Tab1B.tab"_s << QByteArray("B\r\nnew elsewhere\r\n") << false
            << u"new elsewhere"_s;
        QTest::newRow("an untouched entry, removed")
            << u"Tab1B.tab"_s << QByteArray() << false << QString();
        QTest::newRow("the settings")
            << u"TabSet.ini"_s << QByteArray("----------Nokuri iniファイル----------\r\n") << true
            << u"old"_s;
        QTest::newRow("a tab added")
            << u"Tab2A.tab"_s << QByteArray("new\r\ntab\r\n") << true << u"old"_s;
    }
    void outsideChangeAfterACrash_keepsBothSides()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, theirs);
        QFETCH(bool, kept);
        QFETCH(QString, untouchedEntry);
        MainWindowFixture f;
        f.platform.setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0)));
        const auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile out(f.dir.filePath(name + u".part"_s));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
            out.close();
            QFile::remove(f.dir.filePath(name));
            QVERIFY(QFile::rename(out.fileName(), f.dir.filePath(name)));
        };
        write(u"Tab1A.tab"_s, "A\r\nbase\r\n");
        write(u"Tab1B.tab"_s, "B\r\nold\r\n");
        startQuickly(f);
        f.chooseEntry(0, 0);
        f.typeInto(0, u" mine"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);
        if (theirs.isEmpty())
            QVERIFY(QFile::remove(f.dir.filePath(file)));
        else
            write(file, theirs);

        f.platform.questionAnswers = {0, 1};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QCOMPARE(f.platform.questions[0].text.contains(u"別の場所"_s), kept);
        QCOMPARE(f.record(0).Cont(0), u"base mine"_s);
        QCOMPARE(f.record(0).Cont(1), untouchedEntry);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(readFile(f.dir.filePath(u"Tab1A.tab"_s)), QByteArray("A\r\nbase mine\r\n"));
        const QString copies = f.dir.filePath(u"conflicts/2026-12-07 101500/"_s);
        QCOMPARE(readFile(copies + file), kept ? theirs : QByteArray());
    }

    void restoredChanges_areNotReadOverByAnOutsideChange()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.window->AddTabPage(u"other"_s, u"old"_s);
        QVERIFY(f.window->SaveAll());
        f.record(0).setOmidasi(u"unsaved caption"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QFile other(f.dir.filePath(u"Tab2A.tab"_s));
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("other\r\nelsewhere\r\n") > 0);
        other.close();
        QVERIFY(f.window->SaveAll());
        QCOMPARE(f.record(0).Omidasi(), u"unsaved caption"_s);
        QCOMPARE(f.record(1).Cont(0), u"elsewhere"_s);
    }

    void recoveryTemporaryLeftByAKill_isRemovedAtStartUp()
    {
        MainWindowFixture f;
        const QString temp = f.dir.filePath(QString::fromLatin1(RecoveryFile::TempFileName));
        QVERIFY(QFile(temp).open(QIODevice::WriteOnly));
        startQuickly(f);
        QVERIFY(!QFile::exists(temp));
    }

    // Killed after the recovery file's new version was written and synced, before it replaced
    // the old one.
    void wholeRecoveryTemporary_isOffered()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.typeInto(0, u"typed last"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        crash(f);
        const QString temp = f.dir.filePath(QString::fromLatin1(RecoveryFile::TempFileName));
        QVERIFY(QFile::rename(recoveryPath(f), temp));

        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.platform.questions.size(), 1);
        QCOMPARE(f.record(0).Cont(0), u"typed last"_s);
        QVERIFY(!QFile::exists(temp));
    }

    void killedBetweenASaveAndTheRemoval_isNotOffered()
    {
        MainWindowFixture f;
        startQuickly(f);
        QVERIFY(f.window->SaveAll());
        f.typeInto(0, u"saved at last"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        // The save completes, and the program dies before the recovery file goes.
        const QString aside = recoveryPath(f) + u".aside"_s;
        QVERIFY(QFile::rename(recoveryPath(f), aside));
        QVERIFY(f.window->SaveAll());
        QVERIFY(QFile::rename(aside, recoveryPath(f)));
        crash(f);

        startQuickly(f);
        QVERIFY(f.platform.questions.isEmpty());
        QCOMPARE(f.record(0).Cont(0), u"saved at last"_s);
        QVERIFY(!QFile::exists(recoveryPath(f)));
    }

    void fullDisk_keepsTheLastGoodRecoveryAndSaysSoAtQuit()
    {
        MainWindowFixture f;
        // A file system of its own over the notes folder, small enough to fill in a moment.
        const QByteArray dir = QFile::encodeName(f.dir.path());
        if (::mount("tmpfs", dir.constData(), "tmpfs", 0, "size=256k") != 0)
            QSKIP("mounting a small tmpfs needs root: the full-disk case is not run");
        const auto unmount = qScopeGuard([&] { ::umount2(dir.constData(), MNT_DETACH); });
        startQuickly(f);
        f.typeInto(0, u"kept"_s);
        QTRY_VERIFY(QFile::exists(recoveryPath(f)));
        const QByteArray good = readFile(recoveryPath(f));
        QVERIFY(good.contains("kept"));

        QFile filler(f.dir.filePath(u"filler"_s));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'f')) > 0) { }
        f.typeInto(0, u" lost"_s);
        QTest::qWait(200);
        QCOMPARE(readFile(recoveryPath(f)), good);
        // The save fails too: quitting unsaved would lose what the recovery file lacks.
        f.platform.questionAnswers = {1, 2};
        QVERIFY(!f.window->close());
        QCOMPARE(f.platform.questions.size(), 2);
        QVERIFY(f.platform.questions[1].text.contains(u"回復用ファイル"_s));
        QCOMPARE(readFile(recoveryPath(f)), good);

        // With room again, the next change writes it all.
        filler.remove();
        f.typeInto(0, u"!"_s);
        QTRY_VERIFY(readFile(recoveryPath(f)).contains("kept lost!"));
        crash(f);
    }

    void quittingUnsavedAfterAFailedSave_keepsTheRecovery()
    {
        MainWindowFixture f;
        startQuickly(f);
        f.typeInto(0, u"keep me"_s);
        QVERIFY(QDir(f.dir.path()).mkdir(u"TabSet.ini"_s));
        f.platform.questionAnswers = {1};
        QVERIFY(f.window->close());
        QVERIFY(QFile::exists(recoveryPath(f)));
        f.window.reset();
        QVERIFY(QDir(f.dir.path()).rmdir(u"TabSet.ini"_s));
        f.platform.questionAnswers = {0};
        startQuickly(f);
        QCOMPARE(f.record(0).Cont(0), u"keep me"_s);
    }
};

QTEST_MAIN(TestRecoveryFile)
#include "tst_RecoveryFile.moc"
