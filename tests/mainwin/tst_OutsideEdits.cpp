#include "MainWindowFixture.h"
#include "mainwin/FolderWatch.h"
#include "mainwin/StatusPanels.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// As sync tools bring a file in: written beside it, then renamed over it.
void replaceFile(const QString &path, const QByteArray &bytes)
{
    const QString temp = QFileInfo(path).dir().filePath(u".syncthing.in.tmp"_s);
    writeFile(temp, bytes);
    QVERIFY(QFile::remove(path) || !QFile::exists(path));
    QVERIFY(QFile::rename(temp, path));
}

} // namespace

class TestOutsideEdits : public QObject
{
    Q_OBJECT

    QString path(const MainWindowFixture &f, const QString &name) const
    {
        return QDir(f.dir.path()).filePath(name);
    }
    FolderWatch *watch(const MainWindowFixture &f) const
    {
        return f.window->findChild<FolderWatch *>();
    }
    QString status(const MainWindowFixture &f) const
    {
        return f.window->staMain().currentMessage();
    }

private slots:
    void changeElsewhere_isReadQuietlyKeepingTheWindowAndSelection()
    {
        MainWindowFixture f;
        writeFile(path(f, u"Tab1A.tab"_s), "one\r\n1\r\n");
        writeFile(path(f, u"Tab2A.tab"_s), "two\r\n2\r\n");
        writeFile(path(f, u"Tab2B.tab"_s), "three\r\n3\r\n");
        f.start();
        watch(f)->setSettleInterval(50);
        f.pressTab(1);
        f.chooseEntry(1, 1);
        const QRect geometry = f.window->geometry();

        replaceFile(path(f, u"Tab2B.tab"_s), "three\r\nchanged\r\n");
        writeFile(path(f, u"Tab3A.tab"_s), "new tab\r\n\r\n");

        QTRY_COMPARE(f.window->tabCount(), 3);
        QTRY_COMPARE(f.record(1).Cont(1), u"changed"_s);
        QCOMPARE(f.window->selectedTab(), 1);
        QCOMPARE(f.record(1).DispIndex(), 1);
        QCOMPARE(f.box(1)->text(), u"changed"_s);
        QCOMPARE(f.record(2).Title(0), u"new tab"_s);
        QCOMPARE(f.window->geometry(), geometry);
        QVERIFY(!status(f).isEmpty());
        QVERIFY(f.platform.messages.isEmpty());
        QVERIFY(f.platform.questions.isEmpty());
    }

    void saveOverUnsavedTyping_keepsBothVersionsAndTakesUntouchedEntries()
    {
        MainWindowFixture f;
        f.platform.setNow(QDateTime(QDate(2026, 12, 7), QTime(10, 15, 0)));
        writeFile(path(f, u"Tab1A.tab"_s), "title\r\nbase\r\n");
        writeFile(path(f, u"Tab1B.tab"_s), "other\r\nold\r\n");
        f.start();
        // Only the check before the save can see the change.
        watch(f)->setSettleInterval(3600 * 1000);
        f.record(0).setOmidasi(u"買い物"_s);
        f.chooseEntry(0, 0);
        f.typeInto(0, u" mine"_s);

        replaceFile(path(f, u"Tab1A.tab"_s), "title\r\ntheirs\r\n");
        replaceFile(path(f, u"Tab1B.tab"_s), "other\r\nnew elsewhere\r\n");
        f.platform.questionAnswers.push_back(0);
        QVERIFY(f.window->SaveAll());
        QVERIFY(f.platform.questions.isEmpty());

        QCOMPARE(readFile(path(f, u"Tab1A.tab"_s)), QByteArray("title\r\nbase mine\r\n"));
        QCOMPARE(readFile(path(f, u"Tab1B.tab"_s)), QByteArray("other\r\nnew elsewhere\r\n"));
        QCOMPARE(f.record(0).Cont(1), u"new elsewhere"_s);
        const QString copies = path(f, u"conflicts/2026-12-07 101500"_s);
        QCOMPARE(QDir(copies).entryList(QDir::Files), QStringList {u"Tab1A.tab"_s});
        QCOMPARE(readFile(copies + u"/Tab1A.tab"_s), QByteArray("title\r\ntheirs\r\n"));
        QTRY_COMPARE(f.platform.questions.size(), 1);
        QVERIFY(f.platform.questions[0].text.contains(u"タブ「買い物」"_s));
        QVERIFY(f.platform.questions[0].text.contains(copies));
        QCOMPARE(f.platform.foldersOpened, QStringList {copies});
    }

    void syncToolFiles_areNeitherReadNorDeletedAndToldOnce()
    {
        MainWindowFixture f;
        const QMap<QString, QByteArray> tools {
            {u"Tab1A.sync-conflict-20261207-101500-ABCDEFG.tab"_s, "a\r\nthe other side\r\n"},
            {u"Tab1A (conflicted copy 2026-12-07 101500).tab"_s, "a\r\nyet another\r\n"}};
        writeFile(path(f, u"Tab1A.tab"_s), "a\r\nmine\r\n");
        for (auto it = tools.cbegin(); it != tools.cend(); ++it)
            writeFile(path(f, it.key()), it.value());
        f.start();
        QCOMPARE(f.window->tabCount(), 1);
        QCOMPARE(f.record(0).NoOfCont(), 1);
        QCOMPARE(f.platform.questions.size(), 1);
        for (auto it = tools.cbegin(); it != tools.cend(); ++it)
            QVERIFY(f.platform.questions[0].text.contains(it.key()));

        watch(f)->setSettleInterval(50);
        QSignalSpy settled(watch(f), &FolderWatch::settled);
        const QMap<QString, QByteArray> temporaries {{u".syncthing.Tab1A.tab.tmp"_s, "x"},
            {u"Tab2A.tab.part"_s, "x"}, {u"~Tab1A.tab"_s, "x"}, {u".~lock.Tab1A.tab#"_s, "x"},
            {u".sync_0123456789ab.db"_s, "x"},
            {u"Tab1A.sync-conflict-20261207-111500-ABCDEFG.tab"_s, "a\r\nlater\r\n"}};
        for (auto it = temporaries.cbegin(); it != temporaries.cend(); ++it)
            writeFile(path(f, it.key()), it.value());
        QTest::qWait(300);
        QCOMPARE(settled.size(), 0);
        QCOMPARE(f.platform.questions.size(), 1);

        f.typeInto(0, u"!"_s);
        QVERIFY(f.window->SaveAll());
        QVERIFY(f.window->SaveAll());
        for (const auto *files : {&tools, &temporaries}) {
            for (auto it = files->cbegin(); it != files->cend(); ++it)
                QCOMPARE(readFile(path(f, it.key())), it.value());
        }
        QVERIFY(!QDir(path(f, u"conflicts"_s)).exists());
    }
};

QTEST_MAIN(TestOutsideEdits)
#include "tst_OutsideEdits.moc"
