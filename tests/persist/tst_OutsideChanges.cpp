#include "TestFiles.h"
#include "persist/ConflictCopies.h"
#include "persist/EntryFiles.h"
#include "persist/OutsideChanges.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Settings = u"TabSet.ini"_s;

// What another program does to the folder: a name with new bytes, or with none to remove it.
using Action = QList<QPair<QString, std::optional<QByteArray>>>;

} // namespace

class TestOutsideChanges : public QObject
{
    Q_OBJECT

private slots:
    void findsTheNoteFilesWhoseBytesChanged_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QStringList>("removed");
        QTest::newRow("nothing") << Action {} << QStringList {} << QStringList {};
        QTest::newRow("same bytes written again")
            << Action {{u"Tab1A.tab"_s, QByteArray("a\r\n1\r\n")},
                   {Settings, QByteArray("[Tab1]\r\n")}}
            << QStringList {} << QStringList {};
        QTest::newRow("entry and settings changed, entry added")
            << Action {{u"Tab1B.tab"_s, QByteArray("b\r\n2 more\r\n")},
                   {Settings, QByteArray("[Tab2]\r\n")}, {u"Tab2A.tab"_s, QByteArray("c\r\n")}}
            << QStringList {u"Tab1B.tab"_s, Settings, u"Tab2A.tab"_s} << QStringList {};
        QTest::newRow("entry removed") << Action {{u"Tab1A.tab"_s, std::nullopt}} << QStringList {}
                                       << QStringList {u"Tab1A.tab"_s};
        QTest::newRow("sync tools' temporaries and conflict files") << Action {
            {u".syncthing.Tab1A.tab.tmp"_s, QByteArray("x")},
            {u"Tab1A.tab.part"_s, QByteArray("x")}, {u"~Tab1A.tab"_s, QByteArray("x")},
            {u".~lock.Tab1A.tab#"_s, QByteArray("x")},
            {u".sync_0123456789ab.db"_s, QByteArray("x")},
            {u"Tab1A.sync-conflict-20261207-101500-ABCDEFG.tab"_s, QByteArray("x")},
            {u"Tab1A (conflicted copy 2026-12-07 101500).tab"_s, QByteArray("x")},
            {u"Tab1A.bak"_s, QByteArray("x")}} << QStringList {} << QStringList {};
    }

    void findsTheNoteFilesWhoseBytesChanged()
    {
        QFETCH(Action, action);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, removed);
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        QVERIFY(TestFiles::write(dir.filePath(u"Tab1A.tab"_s), "a\r\n1\r\n"));
        QVERIFY(TestFiles::write(dir.filePath(u"Tab1B.tab"_s), "b\r\n2\r\n"));
        QVERIFY(TestFiles::write(dir.filePath(Settings), "[Tab1]\r\n"));
        KnownEntryFiles known;
        readEntryFiles(tmp.path(), &known);
        const KnownSettingsFile settings = readKnownSettings(tmp.path(), Settings);

        // A later modification time, as a coarse clock might not give one.
        QTest::qWait(20);
        for (const auto &[name, bytes] : action) {
            if (bytes)
                QVERIFY(TestFiles::write(dir.filePath(name), *bytes));
            else
                QVERIFY(QFile::remove(dir.filePath(name)));
        }

        QStringList foundChanged;
        QStringList foundRemoved;
        for (const OutsideFile &file : findOutsideChanges(tmp.path(), known, settings)) {
            (file.bytes ? foundChanged : foundRemoved).append(file.name);
            if (file.bytes)
                QCOMPARE(*file.bytes, TestFiles::read(dir.filePath(file.name)));
        }
        std::sort(changed.begin(), changed.end());
        QCOMPARE(foundChanged, changed);
        QCOMPARE(foundRemoved, removed);
    }

    void conflictCopiesGetAFolderOfTheirOwn()
    {
        QTemporaryDir tmp;
        const QDateTime when(QDate(2026, 12, 7), QTime(10, 15, 0));
        QString first;
        QString second;
        QVERIFY(!keepConflictCopies(
            tmp.path(), {{u"Tab1A.tab"_s, "theirs\r\n"}, {Settings, "[Tab1]\r\n"}}, when, first));
        QVERIFY(!keepConflictCopies(tmp.path(), {{u"Tab1A.tab"_s, "again\r\n"}}, when, second));

        const QDir conflicts(QDir(tmp.path()).filePath(u"conflicts"_s));
        QCOMPARE(first, conflicts.filePath(u"2026-12-07 101500"_s));
        QCOMPARE(second, conflicts.filePath(u"2026-12-07 101500 2"_s));
        QCOMPARE(TestFiles::snapshot(first),
            (QMap<QString, QByteArray> {{u"Tab1A.tab"_s, "theirs\r\n"}, {Settings, "[Tab1]\r\n"}}));
        QCOMPARE(TestFiles::snapshot(second),
            (QMap<QString, QByteArray> {{u"Tab1A.tab"_s, "again\r\n"}}));
    }
};

QTEST_GUILESS_MAIN(TestOutsideChanges)
#include "tst_OutsideChanges.moc"
