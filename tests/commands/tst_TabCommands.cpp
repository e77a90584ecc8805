#include "TabCommandsFixture.h"
#include "commands/ImportedText.h"
#include "commands/TabCommands.h"
#include "commands/frmOmidasi.h"
#include "mainwin/Twips.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

QByteArray cp932(const QString &text)
{
    QStringEncoder encoder("windows-31j");
    return encoder(text);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three tabs A, B, C with distinct data, position `selected` selected.
void threeTabs(TabCommandsFixture &f, int selected)
{
    f.captionFirstTab(u"A"_s);
    f.addDistinctTab(u"B"_s, 1);
    f.addDistinctTab(u"C"_s, 2);
    f.selectPosition(selected);
}

} // namespace

class TestTabCommands : public QObject
{
    Q_OBJECT

private slots:
    void add_appendsANamedTabWithOneEmptyEntry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("named") << u"買い物"_s;
        QTest::newRow("empty name") << u""_s;
    }
    void add_appendsANamedTabWithOneEmptyEntry()
    {
        QFETCH(QString, name);
        TabCommandsFixture f;
        f.start();
        TabCommandsFixture::NameSeen seen;
        f.answerTabName(name, &seen);
        f.chooseFromTabMenu(u"mnuTabAdd"_s);

        QCOMPARE(seen.caption, u"タブ名の入力"_s);
        QCOMPARE(seen.text, QString());
        QCOMPARE(f.window->tabCount(), 2);
        QVERIFY(f.countsAgree());
        QCOMPARE(f.record(1).Omidasi(), name);
        QCOMPARE(f.window->tabMain().caption(2), name);
        QCOMPARE(f.record(1).NoOfCont(), 1);
        QCOMPARE(f.record(1).Title(0), QString());
        QCOMPARE(f.record(1).Cont(0), QString());
        // The new tab is not selected and its page stays inert.
        QCOMPARE(f.window->selectedTab(), 0);
        QVERIFY(!f.box(1)->isEnabled());
    }

    void add_cancelledLeavesTheTabsAsTheyWere()
    {
        TabCommandsFixture f;
        f.start();
        f.addTab(u"last"_s);
        f.platform.clipboard = u"not wanted"_s;
        f.cancelTabName(u"typed but cancelled"_s);
        f.chooseFromTabMenu(u"mnuTabCBAdd"_s);
        QVERIFY(f.countsAgree());
        QCOMPARE(f.recordCaptions(), (QStringList {QString(), u"last"_s}));
        QCOMPARE(f.stripCaptions(), f.recordCaptions());
    }

    void clipboardAdd_takesTheTextWithCrLfBreaks_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("content");
        QTest::newRow("no text") << QString() << QString();
        QTest::newRow("LF, CR LF and lone CR") << u"a\nb\r\nc\rd\n"_s << u"a\r\nb\r\nc\r\nd\r\n"_s;
    }
    void clipboardAdd_takesTheTextWithCrLfBreaks()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, content);
        TabCommandsFixture f;
        f.start();
        f.platform.clipboard = clipboard;
        f.answerTabName(u"clip"_s);
        f.chooseFromTabMenu(u"mnuTabCBAdd"_s);
        QCOMPARE(f.record(1).Omidasi(), u"clip"_s);
        QCOMPARE(f.record(1).Title(0), QString());
        QCOMPARE(f.record(1).Cont(0), content);
        QCOMPARE(withCrLfBreaks(clipboard), content);
    }

    void fileEntryContent_putsCrLfBeforeEveryLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("content");
        QTest::newRow("empty file") << QString() << QString();
        QTest::newRow("CR LF, none at the end") << u"a\r\nb\r\nc"_s << u"\r\na\r\nb\r\nc"_s;
        QTest::newRow("LF at the end") << u"a\nb\nc\n"_s << u"\r\na\r\nb\r\nc"_s;
        QTest::newRow("lone CR") << u"a\rb"_s << u"\r\na\r\nb"_s;
        QTest::newRow("only a line break") << u"\n"_s << u"\r\n"_s;
        QTest::newRow("empty lines kept") << u"a\n\nb\n\n"_s << u"\r\na\r\n\r\nb\r\n"_s;
    }
    void fileEntryContent_putsCrLfBeforeEveryLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, content);
        QCOMPARE(fileEntryContent(text), content);
    }

    void decodeTextFile_prefersValidUtf8_data()
    {
        const QString tokyo = u"東京ｶﾅ"_s;
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("UTF-8") << tokyo.toUtf8() << tokyo;
        QTest::newRow("UTF-8 with byte order mark") << "\xEF\xBB\xBF" + tokyo.toUtf8() << tokyo;
        QTest::newRow("cp932") << cp932(tokyo) << tokyo;
        // Cut off at the end, E6 9D is no UTF-8 but one cp932 character.
        QTest::newRow("cut-off UTF-8") << QByteArray("ab\xE6\x9D") << u"ab\u8B5A"_s;
    }
    void decodeTextFile_prefersValidUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(decodeTextFile(bytes), text);
    }

    void fileAdd_windowsFileAndItsUnixTwinGiveTheSameEntry()
    {
        TabCommandsFixture f;
        f.start();
        const QStringList lines {u"一行目"_s, u"二行目 ｶﾅ"_s, QString(), u"四行目"_s};
        QDir dir(f.dir.path());
        QVERIFY(dir.mkpath(u"win"_s) && dir.mkpath(u"unix"_s));
        const QString fromWindows = dir.filePath(u"win/メモ.txt"_s);
        const QString fromUnix = dir.filePath(u"unix/メモ.txt"_s);
        QVERIFY(writeFile(fromWindows, cp932(lines.join(u"\r\n"_s) + u"\r\n"_s)));
        QVERIFY(writeFile(fromUnix, (lines.join(u'\n') + u'\n').toUtf8()));

        f.platform.openFileAnswers = {fromWindows, fromUnix};
        f.chooseFromTabMenu(u"mnuTabFLAdd"_s);
        f.chooseFromTabMenu(u"mnuTabFLAdd"_s);

        QVERIFY(f.platform.dialogsShown.isEmpty());
        QCOMPARE(f.window->tabCount(), 3);
        for (int i : {1, 2}) {
            QCOMPARE(f.record(i).Cont(0), u"\r\n一行目\r\n二行目 ｶﾅ\r\n\r\n四行目"_s);
            QCOMPARE(f.record(i).Title(0), u"メモ.txt"_s);
            QCOMPARE(f.record(i).Omidasi(), u"メモ.txt"_s);
        }
        QCOMPARE(f.stripCaptions(), f.recordCaptions());
    }

    void fileAdd_failuresEndTheCommandSilently_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("chooser cancelled") << QString();
        QTest::newRow("file gone") << u"missing.txt"_s;
        QTest::newRow("a folder") << u"folder"_s;
    }
    void fileAdd_failuresEndTheCommandSilently()
    {
        QFETCH(QString, name);
        TabCommandsFixture f;
        f.start();
        QVERIFY(QDir(f.dir.path()).mkpath(u"folder"_s));
        if (!name.isNull())
            f.platform.openFileAnswers = {f.dir.filePath(name)};
        f.chooseFromTabMenu(u"mnuTabFLAdd"_s);
        QCOMPARE(f.window->tabCount(), 1);
        QVERIFY(f.countsAgree());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void fileAdd_longFileIsReadUnderAProgressWindow_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("read to the end") << false;
        QTest::newRow("cancelled by a quit") << true;
    }
    void fileAdd_longFileIsReadUnderAProgressWindow()
    {
        QFETCH(bool, quit);
        TabCommandsFixture f;
        f.start();
        const QString line = u"長いファイルの一行"_s;
        const QByteArray bytes = cp932(line + u"\r\n"_s);
        const qsizetype lines = TabCommands::QuickReadBytes / bytes.size() + 1;
        const QString file = f.dir.filePath(u"long.txt"_s);
        QVERIFY(writeFile(file, bytes.repeated(lines)));
        f.platform.openFileAnswers = {file};
        f.platform.dialogScripts.push_back(
            [quit](QDialog &dialog) { return quit ? int(QDialog::Rejected) : dialog.exec(); });
        f.chooseFromTabMenu(u"mnuTabFLAdd"_s);
        QCOMPARE(f.platform.dialogsShown, QStringList {u"Nokuri"_s});
        QCOMPARE(f.window->tabCount(), quit ? 1 : 2);
        if (!quit)
            QCOMPARE(f.record(1).Cont(0), (u"\r\n"_s + line).repeated(lines));
    }

    void delete_ofTheMiddleTabMovesTheFollowingDataDown()
    {
        TabCommandsFixture f;
        f.start();
        threeTabs(f, 2);
        const QList<QStringList> before = f.allFacts();
        f.chooseFromTabMenu(u"mnuTabDel"_s);

        QVERIFY(f.countsAgree());
        QCOMPARE(f.allFacts(), f.allFacts(before, {0, 2}));
        QCOMPARE(f.pageShows(1), f.pageShouldShow(1));
        QCOMPARE(f.stripCaptions(), f.recordCaptions());
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QVERIFY(f.box(1)->isEnabled());
        QCOMPARE(f.window->staMain().panelText(1), f.record(1).Crt().toString(u"yy/MM/dd HH:mm"_s));
    }

    void delete_ofTheSelectedLastTabSelectsTheNewLast()
    {
        TabCommandsFixture f;
        f.start();
        threeTabs(f, 3);
        const QList<QStringList> before = f.allFacts();
        f.chooseFromTabMenu(u"mnuTabDel"_s);

        QVERIFY(f.countsAgree());
        QCOMPARE(f.allFacts(), f.allFacts(before, {0, 1}));
        QCOMPARE(f.stripCaptions(), f.recordCaptions());
        QCOMPARE(f.window->tabMain().selectedPosition(), 2);
        QCOMPARE(f.window->tabMain().pageStack()->currentWidget(), &f.window->page(1));
        QVERIFY(f.box(1)->isEnabled());
        QVERIFY(!f.box(0)->isEnabled());
        QVERIFY(f.platform.messages.isEmpty());
    }

    void delete_ofTheOnlyTabIsRefused()
    {
        TabCommandsFixture f;
        f.start();
        // The menu offers no delete with one tab; the command is reached only another way.
        f.window->menus().mnuTabDel->trigger();
        QCOMPARE(f.window->tabCount(), 1);
        QVERIFY(f.countsAgree());
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"削除できません"_s);
        QCOMPARE(f.platform.messages[0].caption, u"タブ削除のエラー"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
    }

    void delete_thenSave_filesHoldTheRemainingTabs()
    {
        TabCommandsFixture f;
        f.start();
        threeTabs(f, 2);
        QVERIFY(f.window->SaveAll());
        f.chooseFromTabMenu(u"mnuTabDel"_s);
        const QList<QStringList> remaining = f.allFacts();
        QCOMPARE(remaining.size(), 2);
        QCOMPARE(f.saveAndReadBack(), remaining);
    }

    void rename_showsTheCaptionSelectedAndStoresAConfirmedOne_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Ok") << true << u"new"_s;
        QTest::newRow("Cancel") << false << u"old"_s;
    }
    void rename_showsTheCaptionSelectedAndStoresAConfirmedOne()
    {
        QFETCH(bool, confirmed);
        QFETCH(QString, caption);
        TabCommandsFixture f;
        f.start();
        f.addTab(u"old"_s);
        f.selectPosition(2);
        TabCommandsFixture::NameSeen seen;
        if (confirmed)
            f.answerTabName(u"new"_s, &seen);
        else
            f.cancelTabName(u"new"_s);
        f.chooseFromTabMenu(u"mnuTabName"_s);
        if (confirmed)
            QCOMPARE(seen.selected, u"old"_s);
        QCOMPARE(f.record(1).Omidasi(), caption);
        QCOMPARE(f.window->tabMain().caption(2), caption);
    }

    void limit_thirtyTabsRefuseTheMenuAndTheAddKeys_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Ctrl+N") << Qt::Key_N;
        QTest::newRow("Ctrl+B") << Qt::Key_B;
        QTest::newRow("Ctrl+O") << Qt::Key_O;
    }
    void limit_thirtyTabsRefuseTheMenuAndTheAddKeys()
    {
        QFETCH(Qt::Key, key);
        TabCommandsFixture f;
        f.start();
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        while (f.window->tabCount() < 29)
            f.addTab(QString::number(f.window->tabCount()));
        const QString file = f.dir.filePath(u"note.txt"_s);
        QVERIFY(writeFile(file, "text"));

        // At 29 the key adds the thirtieth tab.
        f.answerTabName(u"30th"_s);
        f.platform.openFileAnswers = {file};
        QTest::keyClick(f.window.get(), key, Qt::ControlModifier);
        QCOMPARE(f.window->tabCount(), 30);

        f.platform.dialogScripts.clear();
        f.answerTabName(u"31st"_s);
        f.platform.openFileAnswers = {file};
        f.chooseFromTabMenu(u"mnuTabAdd"_s);
        QVERIFY(!f.platform.menuItemEnabled(u"mnuTabAdd"_s));
        QTest::keyClick(f.window.get(), key, Qt::ControlModifier);
        QCOMPARE(f.window->tabCount(), 30);
        QVERIFY(f.countsAgree());
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"タブは30個までしか作れません"_s);
        QCOMPARE(f.platform.messages[0].icon, MessageIcon::Critical);
        // Neither a name nor a file was asked for.
        QCOMPARE(f.platform.dialogScripts.size(), size_t(1));
        QCOMPARE(f.platform.openFileAnswers.size(), size_t(1));
    }

    void nameDialog_refusesItsCloseBox()
    {
        TabCommandsFixture f;
        f.start();
        bool closed = true;
        f.platform.dialogScripts.push_back([&](QDialog &dialog) {
            dialog.show();
            closed = dialog.close() || !dialog.isVisible();
            dialog.findChild<QPushButton *>(u"cmdOk"_s)->click();
            return dialog.result();
        });
        f.chooseFromTabMenu(u"mnuTabAdd"_s);
        QVERIFY(!closed);
        QCOMPARE(f.window->tabCount(), 2);
    }

    void nameDialog_enterConfirmsAndEscapeCancels()
    {
        TabCommandsFixture f;
        f.start();
        frmOmidasi dialog(Twips::of(*f.window));
        dialog.setOmidasi(u"old"_s);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *input = dialog.findChild<QLineEdit *>(u"txtOmidashi"_s);
        QCOMPARE(dialog.focusWidget(), input);
        QTest::keyClicks(input, u"new"_s);
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(dialog.Ok());
        QCOMPARE(dialog.Omidasi(), u"new"_s);

        dialog.show();
        QTest::keyClick(input, Qt::Key_Escape);
        QVERIFY(!dialog.Ok());
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestTabCommands)
#include "tst_TabCommands.moc"
