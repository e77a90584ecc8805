#include "ForkedChild.h"
#include "TestFiles.h"
#include "persist/FolderReadAhead.h"
#include "persist/SaveJournal.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

using Files = QMap<QString, QByteArray>;

namespace {

// A save killed after its commit: the record says the temporary replaces Tab1A.tab.
Files interruptedSave()
{
    const QString temporary = SaveJournal::TempPrefix + u"new-Tab1A.tab"_s;
    return {{u"Tab1A.tab"_s, "old\r\n\r\n"}, {temporary, "new\r\n\r\n"},
        {u"Tab2A.tab"_s, "two\r\n\r\n"},
        {SaveJournal::Name, SaveJournal::compose({{temporary, u"Tab1A.tab"_s}})}};
}

// What the reading gave, one line per tab and per unreadable file, and the files it knows.
QByteArray described(FolderReadAhead &readAhead)
{
    KnownEntryFiles known;
    const StoredEntryScan scan = readAhead.take(known);
    QStringList lines;
    for (const auto &tab : scan.tabs) {
        QStringList titles;
        for (const auto &entry : tab)
            titles.append(entry->title() + u'/' + entry->content());
        lines.append(titles.join(u' '));
    }
    lines += scan.unreadable;
    QStringList names = known.names();
    names.sort();
    lines.append(u"known "_s + names.join(u' '));
    return lines.join(u'\n').toUtf8();
}

} // namespace

class tst_FolderReadAhead final : public QObject
{
    Q_OBJECT

private slots:
    void take_givesTheRepairedFolder_data();
    void take_givesTheRepairedFolder();
};

void tst_FolderReadAhead::take_givesTheRepairedFolder_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QString>("unreadable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("an interrupted save is finished first")
        << interruptedSave() << QString() << u"new/\ntwo/\nknown Tab1A.tab Tab2A.tab"_s;
    QTest::newRow("a file that cannot be read")
        << Files {{u"Tab1A.tab"_s, "a\r\n\r\n"}, {u"Tab1B.tab"_s, "secret\r\n\r\n"}}
        << u"Tab1B.tab"_s
        << u"a/\nTab1B.tab: "_s + qt_error_string(EACCES) + u"\nknown Tab1A.tab"_s;
}

void tst_FolderReadAhead::take_givesTheRepairedFolder()
{
    QFETCH(Files, files);
    QFETCH(QString, unreadable);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (auto file = files.cbegin(); file != files.cend(); ++file)
        QVERIFY(TestFiles::write(dir.filePath(file.key()), file.value()));
    const auto read = [&dir] {
        FolderReadAhead readAhead(dir.path());
        return described(readAhead);
    };
    if (unreadable.isEmpty()) {
        QCOMPARE(QString::fromUtf8(read()), expected);
        QVERIFY(TestFiles::temporaries(dir.path()).isEmpty());
        return;
    }
    // Root reads every file: the reading runs as nobody.
    QVERIFY(::chmod(QFile::encodeName(dir.filePath(unreadable)).constData(), 0) == 0);
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    const ChildResult result = runInChild({std::nullopt, true}, read);
    if (!result.notRun.isEmpty())
        QSKIP(qPrintable(u"root ignores permissions and "_s + result.notRun));
    QCOMPARE(QString::fromUtf8(result.output), expected);
}

QTEST_GUILESS_MAIN(tst_FolderReadAhead)
#include "tst_FolderReadAhead.moc"
