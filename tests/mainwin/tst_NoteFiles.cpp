#include "MainWindowFixture.h"
#include "mainwin/ActivationServer.h"
#include "mainwin/NoteFiles.h"
#include "mainwin/SingleInstance.h"
#include "mainwin/StatusPanels.h"
#include "mainwin/Twips.h"
#include "persist/FileStamp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder.encode(text);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The settings file without its window geometry, which depends on the screen.
QStringList iniLinesWithoutGeometry(const QByteArray &bytes)
{
    QStringDecoder decoder("windows-31j");
    QStringList lines = QString(decoder.decode(bytes)).split(u"\r\n"_s);
    lines.removeIf([](const QString &line) { return line.startsWith(u"Form"_s); });
    return lines;
}

} // namespace

class TestNoteFiles : public QObject
{
    Q_OBJECT

private:
    QString path(const MainWindowFixture &f, const QString &name) const
    {
        return QDir(f.dir.path()).filePath(name);
    }
    void restart(MainWindowFixture &f)
    {
        QVERIFY(f.window->close());
        f.window.reset();
        f.start();
    }

private slots:
    void save_writesEntryFilesAndSettingsInOrder()
    {
        MainWindowFixture f;
        f.platform.setNow(QDateTime(QDate(1999, 7, 15), QTime(9, 5, 30)));
        f.start();
        f.record(0).ChgTitle(0, 0, u"買い物"_s);
        f.typeInto(0, u"牛乳\nパン"_s);
        f.record(0).AddTitle(0, u"メモ"_s, QString());
        f.record(0).setOmidasi(u"メモ"_s);
        f.window->AddTabPage(u"ab"_s, u"x"_s);
        f.window->AddTabPage(u"c"_s, QString());
        f.record(1).setFontSize(10.5f);
        QVERIFY(f.window->SaveAll());

        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), cp932(u"買い物\r\n牛乳\r\nパン\r\n"_s));
        QCOMPARE(readFile(path(f, u"Tab1B.tab"_s)), cp932(u"メモ\r\n\r\n"_s));
        QCOMPARE(readFile(path(f, u"Tab2A.tab"_s)), QByteArray("ab\r\nx\r\n"));
        QCOMPARE(readFile(path(f, u"Tab3A.tab"_s)), QByteArray("c\r\n\r\n"));

        QStringList expected {u"----------Nokuri iniファイル----------"_s, u"TabDisp = 1"_s,
            u"DefFontName = ＭＳ ゴシック"_s, u"DefFontSize = 10"_s, u"MakeBackup = #True#"_s,
            u"ScrlType = V"_s, QString()};
        const auto section = [&](int n, const QString &size, const QString &caption) {
            expected << u"[Tab%1]"_s.arg(n) << u"FontName = ＭＳ ゴシック"_s
                     << u"FontSize = "_s + size << u"CreatDate = 1999/07/15 09:05"_s
                     << u"AlarmDate = 1999/07/15 09:05"_s << u"AlarmSetOn = #False#"_s
                     << u"DispIndex = 0"_s << u"TabCaption = "_s + caption << QString();
        };
        section(1, u"10"_s, u"メモ"_s);
        section(2, u"10.5"_s, QString());
        section(3, u"10"_s, QString());
        expected << QString() << QString();
        const QByteArray ini = readFile(path(f, u"TabSet.ini"_s));
        QCOMPARE(iniLinesWithoutGeometry(ini), expected);
        QVERIFY(ini.contains("\r\nFormTop = "));
        QVERIFY(ini.endsWith("TabCaption = \r\n\r\n\r\n"));
    }

    void restart_bringsEverythingBack()
    {
        MainWindowFixture f;
        f.start();
        f.record(0).ChgTitle(0, 0, u"first"_s);
        f.record(0).AddTitle(0, u"second"_s, u"2"_s);
        f.chooseEntry(0, 1);
        f.typeInto(0, u"\nline"_s);
        f.record(0).setOmidasi(u"cap = with equals"_s);
        f.window->AddTabPage(u"other"_s, u"o"_s);
        f.record(1).setFontName(u"Noto Serif CJK JP"_s);
        f.record(1).setFontSize(12.5f);
        f.record(1).setAlarm(f.platform.now().addSecs(3600));
        f.window->ApplyScrlType(ScrollType::Both);
        f.window->setMakeBackup(false);
        f.window->tabs().DefFontSize = 14;
        f.pressTab(1);
        restart(f);

        QCOMPARE(f.window->tabCount(), 2);
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(f.window->ScrlType(), u"W"_s);
        QVERIFY(!f.window->MakeBackup());
        QCOMPARE(f.window->tabs().DefFontSize, 14);
        QCOMPARE(f.record(0).Omidasi(), u"cap = with equals"_s);
        QCOMPARE(f.window->tabMain().caption(1), u"cap = with equals"_s);
        QCOMPARE(f.record(0).DispIndex(), 1);
        QCOMPARE(f.record(0).Cont(1), u"2\r\nline"_s);
        QCOMPARE(f.titles(0)->currentIndex(), 1);
        QCOMPARE(f.record(1).FontName(), u"Noto Serif CJK JP"_s);
        QCOMPARE(f.record(1).FontSize(), 12.5f);
        QVERIFY(f.record(1).OnAlm());
        QCOMPARE(f.record(1).Alarm(), f.platform.now().addSecs(3600));
        QVERIFY(f.box(1)->isEnabled());
        QVERIFY(!f.box(0)->isEnabled());
        QCOMPARE(f.box(1)->scrollType(), ScrollType::Both);
        QCOMPARE(f.box(1)->font().pointSizeF(), 12.5);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void readTabFiles_packsMissingLettersAndNumbers()
    {
        MainWindowFixture f;
        writeFile(path(f, u"Tab3A.tab"_s), "three-a\r\n");
        writeFile(path(f, u"Tab3C.tab"_s), "three-c\r\nx\r\ny");
        writeFile(path(f, u"Tab5A.tab"_s), "");
        writeFile(path(f, u"Tab31A.tab"_s), "never\r\n");
        writeFile(path(f, u"Tab1A.bak"_s), "never\r\n");
        f.start();
        QCOMPARE(f.window->tabCount(), 2);
        QCOMPARE(f.record(0).NoOfCont(), 2);
        QCOMPARE(f.record(0).Title(1), u"three-c"_s);
        QCOMPARE(f.record(0).Cont(1), u"x\r\ny"_s);
        // Each tab shows its last entry when no settings say otherwise.
        QCOMPARE(f.record(0).DispIndex(), 1);
        QCOMPARE(f.record(1).Title(0), QString());
        QCOMPARE(f.record(1).Cont(0), QString());
    }

    void originalFiles_surviveLoadAndSaveByteForByte()
    {
        MainWindowFixture f;
        const QByteArray first
            = "\x94\x83\x82\xa2\x95\xa8\r\n\x81\x60\x87\x40\xfb\xfc\r\n\r\nend\r\n";
        const QByteArray second = "title\r\n\r\n";
        writeFile(path(f, u"Tab1A.tab"_s), first);
        writeFile(path(f, u"Tab1B.tab"_s), second);
        f.start();
        f.pressTab(0);
        f.chooseEntry(0, 0);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), first);
        QCOMPARE(readFile(path(f, u"Tab1B.tab"_s)), second);
        // The backup of an unchanged entry is copied after the save returns.
        QTRY_VERIFY(!f.window->noteFiles().finishingSaves());
        QCOMPARE(readFile(path(f, u"Tab1A.bak"_s)), first);
    }

    void save_rewritesOnlyWhatDiffersFromTheProgramsNotes()
    {
        MainWindowFixture f;
        const QByteArray exact = "a\r\none\r\n";
        const QByteArray loose = "b\r\ntwo"; // no final line end: kept as it is
        writeFile(path(f, u"Tab1A.tab"_s), exact);
        writeFile(path(f, u"Tab1B.tab"_s), loose);
        writeFile(path(f, u"Tab1C.tab"_s), exact);
        f.start();
        const auto stampOf
            = [&](const char *name) { return fileStampOf(path(f, QString::fromLatin1(name))); };
        const auto untouched = stampOf("Tab1A.tab");
        QTest::qWait(10);
        // Changed behind the program's back while nothing was unsaved: the save takes that
        // version instead of putting the program's back.
        writeFile(path(f, u"Tab1C.tab"_s), "c\r\nthree\r\n");
        QVERIFY(f.window->SaveAll());
        QVERIFY(stampOf("Tab1A.tab") == untouched);
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), exact);
        QCOMPARE(readFile(path(f, u"Tab1B.tab"_s)), loose);
        QCOMPARE(readFile(path(f, u"Tab1C.tab"_s)), QByteArray("c\r\nthree\r\n"));
        QCOMPARE(f.record(0).Cont(2), u"three"_s);

        const auto saved = stampOf("Tab1B.tab");
        QVERIFY(f.window->SaveAll());
        QCOMPARE(stampOf("Tab1B.tab")->inode, saved->inode);
        QCOMPARE(stampOf("Tab1B.tab")->modifiedNs, saved->modifiedNs);
    }

    void start_decodesTheShownEntriesOnly_andASaveLeavesTheOthersSo()
    {
        MainWindowFixture f;
        for (const char *name : {"Tab1A.tab", "Tab1B.tab", "Tab1C.tab"})
            writeFile(path(f, QString::fromLatin1(name)), "t\r\nx\r\n");
        f.start();
        const auto middle = f.record(0).storedEntry(1);
        QVERIFY(middle);
        QVERIFY(!middle->isDecoded());
        const auto untouched = fileStampOf(path(f, u"Tab1B.tab"_s));
        QVERIFY(f.window->SaveAll());
        QVERIFY(!middle->isDecoded());
        QVERIFY(fileStampOf(path(f, u"Tab1B.tab"_s)) == untouched);
        QCOMPARE(f.record(0).Cont(1), u"x"_s);
    }

    void start_hiddenPagesAndAHugeEntry_stayUndecoded()
    {
        MainWindowFixture f;
        const QByteArray huge = "huge\r\n" + QByteArray("0123456789\r\n").repeated(100000);
        writeFile(path(f, u"Tab1A.tab"_s), huge);
        writeFile(path(f, u"Tab2A.tab"_s), "t\r\nx\r\n");
        f.start();
        const auto shown = f.record(0).storedEntry(0);
        QVERIFY(f.box(0)->showsPreview());
        QVERIFY(f.box(0)->toPlainText().contains(u"\n0123456789\n0123456789\n"_s));
        QVERIFY(!shown->isDecoded());
        QVERIFY(!f.record(1).storedEntry(0)->isDecoded());
        QVERIFY(f.window->SaveAll());
        QVERIFY(!shown->isDecoded());
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), huge);
        QCOMPARE(f.box(0)->text(), QString::fromLatin1(huge.sliced(6).chopped(2)).remove(u'\r'));
    }

    // The pages behind the selected one are built once the window runs, each holding what the
    // start-up put into it.
    void start_buildsHiddenPagesOnceTheWindowRuns()
    {
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"one"_s, u"1"_s);
        f.record(1).AddTitle(1, u"two"_s, u"2\r\nline"_s);
        f.record(1).setDispIndex(1);
        f.record(1).setFontName(u"Noto Serif CJK JP"_s);
        f.record(1).setFontSize(12.5f);
        f.window->AddTabPage(u"other"_s, u"o"_s);
        QVERIFY(f.window->close());
        f.window = assembleProgram(f.platform, f.dir.path());
        f.window->Form_Load();
        const QStackedWidget *stack = f.window->tabMain().pageStack();
        QCOMPARE(stack->count(), 3);
        QVERIFY(!qobject_cast<TabPage *>(stack->widget(1)));

        f.window->show();
        QTRY_VERIFY(
            qobject_cast<TabPage *>(stack->widget(1)) && qobject_cast<TabPage *>(stack->widget(2)));
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->currentIndex(), 0);
        const TabPage &page = f.window->page(1);
        QCOMPARE(stack->widget(1), &page);
        QCOMPARE(page.cboTitle()->count(), 2);
        QCOMPARE(page.cboTitle()->currentIndex(), 1);
        QCOMPARE(page.txtCont()->text(), u"2\nline"_s);
        QCOMPARE(page.txtCont()->font().family(), u"Noto Serif CJK JP"_s);
        QCOMPARE(page.txtCont()->font().pointSizeF(), 12.5);
        QVERIFY(!page.txtCont()->isHidden());
        QVERIFY(!page.txtCont()->isEnabled());
        QCOMPARE(page.txtCont()->geometry(), f.window->page(0).txtCont()->geometry());
        QCOMPARE(f.window->page(2).txtCont()->text(), u"o"_s);
        f.pressTab(1);
        QCOMPARE(f.record(1).Cont(1), u"2\r\nline"_s);
        QVERIFY(f.platform.messages.isEmpty());
    }

    void untouchedEntries_keepTheirBytesWhereverTheyMove_editedOnesTheirEncoding()
    {
        MainWindowFixture f;
        const QByteArray utf8 = u"買い物\r\n牛乳とパン\r\n"_s.toUtf8(); // from a Linux editor
        const QList<QByteArray> moving {utf8, "abc\r\nx\xffy\r\n",
            "\xef\xbb\xbf"
            "a\r\nb\r\n",
            "lone\rCR"};
        writeFile(path(f, u"Tab1A.tab"_s), "gone\r\n\r\n");
        writeFile(path(f, u"Tab2A.tab"_s), moving[0]);
        writeFile(path(f, u"Tab2B.tab"_s), moving[1]);
        writeFile(path(f, u"Tab3A.tab"_s), moving[2]);
        writeFile(path(f, u"Tab3B.tab"_s), moving[3]);
        f.start();
        QCOMPARE(f.record(1).Title(0), u"買い物"_s);
        f.pressTab(0);
        f.window->menus().mnuTabDel->trigger();
        for (int start = 0; start < 2; ++start)
            restart(f);
        const QStringList names {u"Tab1A"_s, u"Tab1B"_s, u"Tab2A"_s, u"Tab2B"_s};
        for (qsizetype i = 0; i < names.size(); ++i) {
            QCOMPARE(readFile(path(f, names[i] + u".tab"_s)), moving[i]);
            QCOMPARE(readFile(path(f, names[i] + u".bak"_s)), moving[i]);
        }

        f.pressTab(0);
        f.chooseEntry(0, 0);
        f.typeInto(0, u"〜"_s);
        QVERIFY(f.window->SaveAll());
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), u"買い物\r\n牛乳とパン〜\r\n"_s.toUtf8());
    }

    void typedLinuxCharacters_stayCp932_andWhatCp932LacksIsKeptBeside()
    {
        MainWindowFixture f;
        f.start();
        f.record(0).ChgTitle(0, 0, u"t"_s);
        f.typeInto(0, u"〜−"_s);
        f.record(0).setOmidasi(u"〜📝"_s);
        f.record(0).setFontName(u"나눔"_s);
        f.window->tabs().DefFontName = u"나눔"_s;
        QVERIFY(f.window->SaveAll());
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)).toHex(' '),
            QByteArray("t\r\n\x81\x60\x81\x7c\r\n").toHex(' '));
        const QByteArray ini = readFile(path(f, u"TabSet.ini"_s));
        QVERIFY(ini.startsWith("-"));
        QVERIFY(ini.contains(
            "\r\nTabCaption = \x81\x60?\r\nTabCaption.utf8 = %E3%80%9C%F0%9F%93%9D\r\n"));
        QVERIFY(ini.contains("\r\nFontName = ??\r\nFontName.utf8 = %EB%82%98%EB%88%94\r\n"));
        QVERIFY(ini.contains("\r\nDefFontName = ??\r\nDefFontName.utf8 = %EB%82%98%EB%88%94\r\n"));

        restart(f);
        QCOMPARE(f.record(0).Omidasi(), u"〜📝"_s);
        QCOMPARE(f.record(0).FontName(), u"나눔"_s);
        QCOMPARE(f.window->tabs().DefFontName, u"나눔"_s);

        QVERIFY(f.window->close());
        f.window.reset();
        QByteArray edited = readFile(path(f, u"TabSet.ini"_s));
        edited.replace("TabCaption = \x81\x60?", "TabCaption = by hand");
        writeFile(path(f, u"TabSet.ini"_s), edited);
        f.start();
        QCOMPARE(f.record(0).Omidasi(), u"by hand"_s);
        QCOMPARE(f.record(0).FontName(), u"나눔"_s);
    }

    void removedTab_leavesNoLiveFiles_data()
    {
        QTest::addColumn<bool>("backups");
        QTest::newRow("backups on") << true;
        QTest::newRow("backups off") << false;
    }
    void removedTab_leavesNoLiveFiles()
    {
        QFETCH(bool, backups);
        MainWindowFixture f;
        f.start();
        f.window->AddTabPage(u"gone"_s, u"soon"_s);
        QVERIFY(f.window->SaveAll());
        QVERIFY(QFile::exists(path(f, u"Tab2A.tab"_s)));
        f.window->setMakeBackup(backups);
        f.window->removeLastTabPage();
        f.window->tabs().truncate(1);
        QVERIFY(f.window->SaveAll());
        QVERIFY(!QFile::exists(path(f, u"Tab2A.tab"_s)));
        QCOMPARE(QFile::exists(path(f, u"Tab2A.bak"_s)), backups);
        restart(f);
        QCOMPARE(f.window->tabCount(), 1);
    }

    void failedSave_keepsNotesAndReportsTheReason()
    {
        MainWindowFixture f;
        f.start();
        f.typeInto(0, u"precious"_s);
        QVERIFY(f.window->SaveAll());
        const QString live = path(f, u"Tab1A.tab"_s);
        const QByteArray before = readFile(live);
        // A directory where the settings file belongs makes the save fail.
        QVERIFY(QFile::remove(path(f, u"TabSet.ini"_s)));
        QVERIFY(QDir(f.dir.path()).mkdir(u"TabSet.ini"_s));
        f.typeInto(0, u" more"_s);
        QVERIFY(!f.window->SaveAll());
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages[0].text.contains(u"TabSet.ini"_s));
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(readFile(live), before);
        QCOMPARE(f.record(0).Cont(0), u"precious more"_s);

        // Quitting asks; "stay" keeps the window.
        f.platform.questionAnswers = {2};
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.platform.questions.size(), 1);

        // Mended, "save again" succeeds and the window goes.
        f.platform.questionAnswers = {0};
        f.platform.onMessage = [&](const RecordingPlatform::Message &) {
            QDir(path(f, u"TabSet.ini"_s)).removeRecursively();
        };
        QVERIFY(f.window->close());
        QVERIFY(readFile(live).startsWith("\r\nprecious more"));
        QVERIFY(f.platform.tray() == nullptr);
        // The failed save changed no file: none of them counts as changed elsewhere.
        QVERIFY(!QDir(f.dir.path()).exists(u"conflicts"_s));
    }

    void readIni_ignoresWhatItDoesNotKnowAndReportsFailuresOnce()
    {
        MainWindowFixture f;
        writeFile(path(f, u"Tab1A.tab"_s), "a\r\n");
        writeFile(path(f, u"Tab1B.tab"_s), "b\r\n");
        writeFile(path(f, u"Tab2A.tab"_s), "c\r\n");
        writeFile(path(f, u"TabSet.ini"_s),
            cp932(u"----------Nokuri iniファイル----------\r\n"
                  u"TabDisp = 0\r\n"
                  u"MakeBackup = True\r\n"
                  u"ScrlType = v\r\n"
                  u"FontName = global-ignored\r\n"
                  u"DefFontSize = 11.5\r\n"
                  u"[Tabx]\r\n"
                  u"[Tab1]\r\n"
                  u"FormTop = 1\r\n"
                  u"[other]\r\n"
                  u"TabCaption = first   \r\n"
                  u"AlarmDate = 1999/7/5 9:05\r\n"
                  u"DispIndex = 5\r\n"
                  u"[Tab0]\r\n"
                  u"TabCaption = global-ignored\r\n"
                  u"[Tab3]\r\n"
                  u"TabCaption = no such tab\r\n"
                  u"[Tab2]\r\n"
                  u"CreatDate = 1999/07/05 09:05:30\r\n"
                  u"TabCaption = second\r\n"_s));
        f.start();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
            u"Iniファイル読み込み時に予期せぬエラーが発生しました\r\n"
            u"7行目: [Tabx]\r\n13行目: DispIndex = 5"_s);
        QCOMPARE(f.platform.messages[0].caption, u"読み込み時のエラー"_s);
        QCOMPARE(f.window->tabMain().selectedPosition(), 1);
        QVERIFY(f.window->MakeBackup());
        QCOMPARE(f.window->ScrlType(), u"V"_s);
        QCOMPARE(f.window->tabs().DefFontSize, 12);
        QCOMPARE(f.record(0).FontName(), u"ＭＳ ゴシック"_s);
        QCOMPARE(f.record(0).Omidasi(), u"first"_s);
        QCOMPARE(f.record(0).DispIndex(), 1);
        QVERIFY(!f.record(0).OnAlm());
        QCOMPARE(f.record(1).Omidasi(), u"second"_s);
        QCOMPARE(f.record(1).Crt(), QDateTime(QDate(1999, 7, 5), QTime(9, 5, 30)));
    }

    void readIni_restoresWideWindowsAndRescuesLostOnes()
    {
        MainWindowFixture f;
        writeFile(path(f, u"TabSet.ini"_s),
            "FormTop = 300\r\nFormLeft = 40000\r\n"
            "FormHeight = 4800\r\nFormWidth = 36000\r\n");
        f.window = assembleProgram(f.platform, f.dir.path());
        f.window->Form_Load();
        QVERIFY(f.platform.messages.isEmpty());
        const Twips twips = Twips::of(*f.window);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect restored = f.window->geometry();
        QCOMPARE(restored.height(), twips.yToPixels(4800));
        QVERIFY(screen.intersects(restored));

        writeFile(path(f, u"TabSet.ini"_s),
            "FormTop = 150000\r\nFormLeft = 150000\r\n"
            "FormHeight = 4800\r\nFormWidth = 6000\r\n");
        MainWindowFixture lost;
        f.window = assembleProgram(f.platform, f.dir.path());
        f.window->Form_Load();
        QVERIFY(screen.contains(f.window->geometry()));
    }

    // Saved geometry in twips (15 twips a pixel at 96 dpi), against the 800 x 600 screen.
    void readIni_bringsTheWindowWhollyOntoTheScreen_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<bool>("keepsSize");
        QTest::addColumn<bool>("keepsPlace");
        QTest::newRow("on the screen") << QRect(1500, 1500, 6000, 4500) << true << true;
        QTest::newRow("600000 twips square") << QRect(0, 0, 600000, 600000) << false << false;
        QTest::newRow("twice the screen") << QRect(1500, 1500, 24000, 18000) << false << false;
        QTest::newRow("over the right edge") << QRect(9000, 1500, 6000, 4500) << true << false;
        QTest::newRow("above the top") << QRect(1500, -1500, 6000, 4500) << true << false;
        QTest::newRow("left and below") << QRect(-3000, 7500, 6000, 4500) << true << false;
        QTest::newRow("on no screen") << QRect(150000, 150000, 6000, 4500) << true << false;
    }
    void readIni_bringsTheWindowWhollyOntoTheScreen()
    {
        QFETCH(QRect, saved);
        QFETCH(bool, keepsSize);
        QFETCH(bool, keepsPlace);
        MainWindowFixture f;
        writeFile(path(f, u"TabSet.ini"_s),
            u"FormTop = %1\r\nFormLeft = %2\r\nFormHeight = %3\r\nFormWidth = %4\r\n"_s
                .arg(saved.top())
                .arg(saved.left())
                .arg(saved.height())
                .arg(saved.width())
                .toLatin1());
        f.start();
        const QRect wanted = Twips::of(*f.window).toPixels(saved);
        const QRect restored = f.window->geometry();
        const QRect framed = f.window->frameGeometry();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(framed),
            qPrintable(u"%1,%2 %3x%4"_s.arg(framed.x())
                           .arg(framed.y())
                           .arg(framed.width())
                           .arg(framed.height())));
        QCOMPARE(restored.size() == wanted.size(), keepsSize);
        QCOMPARE(restored.topLeft() == wanted.topLeft(), keepsPlace);
    }

    // Thousands of damaged lines: one box that lists the first few and counts the rest,
    // shown only once everything the file holds has been applied.
    void readIni_reportsAllProblemsInOneBoxAfterReading()
    {
        MainWindowFixture f;
        QByteArray ini = "[Tab1]\r\n";
        for (int i = 0; i < 3000; ++i)
            ini += "[Tab" + QByteArray(i % 2 ? 100 : 3, 'x') + "]\r\n";
        ini += "[Tab1]\r\nTabCaption = last\r\n";
        writeFile(path(f, u"TabSet.ini"_s), ini);
        QString captionWhileShown;
        f.platform.onMessage = [&](const RecordingPlatform::Message &) {
            captionWhileShown = f.record(0).Omidasi();
        };
        f.start();
        QCOMPARE(f.platform.messages.size(), 1);
        const QStringList lines = f.platform.messages[0].text.split(u"\r\n"_s);
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], u"Iniファイル読み込み時に予期せぬエラーが発生しました"_s);
        QCOMPARE(lines[1], u"2行目: [Tabxxx]"_s);
        QVERIFY2(lines[2].size() < 60, qPrintable(lines[2]));
        QCOMPARE(lines[6], u"ほか 2995 件"_s);
        QCOMPARE(captionWhileShown, u"last"_s);
    }

    // Lines refused while reading and values refused by the tab, listed as the file has them.
    void readIni_reportsProblemsInFileOrder()
    {
        MainWindowFixture f;
        writeFile(path(f, u"Tab1A.tab"_s), "a\r\n");
        writeFile(path(f, u"TabSet.ini"_s),
            "[Tab1]\r\nDispIndex = 5\r\nFontSize = 1e39\r\n[Tabx]\r\nDispIndex = 7\r\n");
        f.start();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text.section(u"\r\n"_s, 1),
            u"2行目: DispIndex = 5\r\n3行目: FontSize = 1e39\r\n4行目: [Tabx]\r\n"
            u"5行目: DispIndex = 7"_s);
    }

    // A damaged file's caption, far too long for the strip: the strip shows its beginning, the
    // tab keeps it whole and a save writes it back whole.
    void readIni_longCaptionShortOnTheStripWholeInTheFile()
    {
        MainWindowFixture f;
        const QByteArray caption = QByteArray(20000, 'c') + "end";
        writeFile(path(f, u"TabSet.ini"_s), "[Tab1]\r\nTabCaption = " + caption + "\r\n");
        f.start();
        // Laid out whole, the caption alone would ask for far more than 201 characters' room.
        QVERIFY(f.bar()->sizeHint().width() < f.bar()->fontMetrics().horizontalAdvance(u'c') * 400);
        QCOMPARE(f.record(0).Omidasi(), QString::fromLatin1(caption));
        QVERIFY(f.window->SaveAll());
        QVERIFY(readFile(path(f, u"TabSet.ini"_s)).contains("TabCaption = " + caption + "\r\n"));
    }

    void missedAlarms_reportedOnceInTabOrder()
    {
        MainWindowFixture f;
        f.start();
        f.record(0).ChgTitle(0, 0, u"買い物"_s);
        f.record(0).setAlarm(f.platform.now().addSecs(120));
        f.window->AddTabPage(u"future"_s, QString());
        f.record(1).setAlarm(f.platform.now().addSecs(7200));
        f.window->AddTabPage(u"会議"_s, QString());
        f.record(2).setAlarm(f.platform.now().addSecs(180));
        QVERIFY(f.window->close());
        f.window.reset();
        f.platform.advance(180);
        f.start();
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
            u"タブ「買い物」\r\nタブ「会議」\r\nのアラームが表示されませんでした"_s);
        QCOMPARE(f.platform.messages[0].caption, u"Nokuriのアラーム"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::None);
        QVERIFY(!f.record(0).OnAlm());
        QVERIFY(f.record(1).OnAlm());
        QVERIFY(!f.record(2).OnAlm());

        restart(f);
        QCOMPARE(f.platform.messages.size(), 1);
    }

    void readIni_keepsAnAlarmDueWithinTheMinute()
    {
        MainWindowFixture f;
        f.platform.setNow(QDateTime(QDate(2026, 12, 7), QTime(12, 0, 30)));
        writeFile(path(f, u"Tab1A.tab"_s), "soon\r\n");
        writeFile(path(f, u"TabSet.ini"_s),
            "[Tab1]\r\nAlarmDate = 2026/12/07 12:01\r\nAlarmSetOn = #True#\r\n");
        f.start();
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.record(0).OnAlm());
        QCOMPARE(f.record(0).Alarm(), QDateTime(QDate(2026, 12, 7), QTime(12, 1)));
    }

    void quit_savesAndRemovesTheTrayIcon()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(f.platform.tray() != nullptr);
        QCOMPARE(f.platform.trayTip, u"Nokuri"_s);
        QSignalSpy unloaded(f.window.get(), &frmMain::unloaded);
        f.typeInto(0, u"bye"_s);
        f.window->menus().mnuTabQuit->trigger();
        QTRY_COMPARE(unloaded.size(), 1);
        QVERIFY(f.platform.tray() == nullptr);
        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), QByteArray("\r\nbye\r\n"));
    }

    void secondInstance_asksTheFirstToShowItself()
    {
        QTemporaryDir notes;
        SingleInstance first(notes.path());
        QVERIFY(first.claim());
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        SingleInstance second(notes.path());
        QVERIFY(!second.claim());
        QTRY_COMPARE(asked.size(), 1);

        QTemporaryDir otherNotes;
        SingleInstance elsewhere(otherNotes.path());
        QVERIFY(elsewhere.claim());
    }

    // Junk, a request with more behind it, or a part of one: each connection is dropped
    // after a few bytes, and a proper request still comes through afterwards.
    void activationSocket_readsOnlyTheShortRequest()
    {
        QTemporaryDir notes;
        SingleInstance first(notes.path());
        QVERIFY(first.claim());
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        constexpr qint64 Offered = 64 * 1024 * 1024;
        const QByteArray chunk(64 * 1024, 'x');
        for (const QByteArray &opening :
            {QByteArray("junk"), QByteArray("showx"), QByteArray("sho")}) {
            const int fd = ActivationServer::connectTo(notes.path());
            QVERIFY(fd >= 0);
            ::fcntl(fd, F_SETFL, O_NONBLOCK);
            QByteArray pending = opening;
            qint64 sent = 0;
            bool dropped = false;
            QElapsedTimer clock;
            clock.start();
            while (!dropped && sent < Offered && clock.elapsed() < 10000) {
                const ssize_t n
                    = ::send(fd, pending.constData(), size_t(pending.size()), MSG_NOSIGNAL);
                dropped = n < 0 && errno != EAGAIN;
                if (n > 0) {
                    sent += n;
                    pending = chunk;
                }
                QCoreApplication::processEvents();
            }
            ::close(fd);
            // What the kernel buffers before the drop is noticed, and no more.
            QVERIFY2(dropped && sent < 4 * 1024 * 1024, opening.constData());
        }
        QCOMPARE(asked.size(), 0);
        QVERIFY(ActivationServer::askToShow(notes.path()));
        QTRY_COMPARE(asked.size(), 1);
    }
};

QTEST_MAIN(TestNoteFiles)
#include "tst_NoteFiles.moc"
