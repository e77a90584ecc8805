#include "ForkedChild.h"
#include "ReferenceReading.h"
#include "TestFiles.h"
#include "persist/EntryFiles.h"
#include "persist/NoteCodec.h"
#include "persist/StoredEntry.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Entry)

namespace {

QByteArray cp932(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// Lines of stray bytes, lone CRs, byte order marks and UTF-8 without one, cp932 among them.
QByteArray randomEntryBytes(QRandomGenerator &random)
{
    static const QList<QByteArray> pieces {"a", "\n", "\x82\xa0", "\x87\x90", "\x81\xe0",
        "\xfa\x40", "\xed\x40", "\xff", "\x81", "\xef\xbb\xbf", "\xe3\x80\x9c", "\xc3\xa9"};
    static const QList<QByteArray> lineEnds {"\r\n", "\r\n", "\r\n", "\r", ""};
    QByteArray bytes;
    for (int line = random.bounded(5); line > 0; --line) {
        for (int i = random.bounded(4); i > 0; --i)
            bytes += pieces.at(random.bounded(int(pieces.size())));
        bytes += lineEnds.at(random.bounded(int(lineEnds.size())));
    }
    return bytes;
}

} // namespace

namespace QTest {
template<>
char *toString(const Entry &entry)
{
    return QTest::toString(u"title \"%1\", content \"%2\""_s.arg(entry.title, entry.content));
}
} // namespace QTest

class tst_EntryFiles final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void entryFileName_namesAndParsesBack_data();
    void entryFileName_namesAndParsesBack();
    void parseEntryFileName_onlyNamesTheWriterMakes_data();
    void parseEntryFileName_onlyNamesTheWriterMakes();
    void entryFileBytes_titleCrLfContentCrLf_data();
    void entryFileBytes_titleCrLfContentCrLf();
    void parseEntryFile_linesToTitleAndContent_data();
    void parseEntryFile_linesToTitleAndContent();
    void parseEntryFile_randomLineEnds_asLineByLine();
    void entryRoundTrip_unchanged_data();
    void entryRoundTrip_unchanged();

    void storedEntry_decodesAsParseEntryFile();
    void storedEntry_titleWithoutTheContent_data();
    void storedEntry_titleWithoutTheContent();
    void parseEntryContentStart_asTheWholeFileBegins();
    void parseEntryContentStart_nothingWhereTheWholeFileMustTell_data();
    void parseEntryContentStart_nothingWhereTheWholeFileMustTell();

    void readEntryFiles_noFiles_noTabs();
    void readEntryFiles_missingLetter_doesNotStopTheTab();
    void readEntryFiles_missingNumbers_tabsPacked();
    void readEntryFiles_otherNames_neverRead();
    void readEntryFiles_allThirtyTabsOf26Entries();
    void readEntryFiles_fileThatCannotBeRead_reportedAndSkipped();
    void readEntryFiles_everyFile_knownAndWrittenBackAsItsBytes();

private:
    bool put(const QString &name, const QByteArray &bytes);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_EntryFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
}

bool tst_EntryFiles::put(const QString &name, const QByteArray &bytes)
{
    QString error;
    const bool ok = TestFiles::write(m_dir->filePath(name), bytes, &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

void tst_EntryFiles::entryFileName_namesAndParsesBack_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 1 << 0 << u"Tab1A.tab"_s;
    QTest::newRow("Tab12C") << 12 << 2 << u"Tab12C.tab"_s;
    QTest::newRow("last") << 30 << 25 << u"Tab30Z.tab"_s;
}

void tst_EntryFiles::entryFileName_namesAndParsesBack()
{
    QFETCH(int, tab);
    QFETCH(int, entry);
    QFETCH(QString, name);
    QCOMPARE(::entryFileName(tab, entry), name);
    const std::optional<EntryName> parsed = ::parseEntryFileName(name);
    QVERIFY(parsed);
    QCOMPARE(parsed->tabNumber, tab);
    QCOMPARE(parsed->entryIndex, entry);
}

void tst_EntryFiles::parseEntryFileName_onlyNamesTheWriterMakes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("Tab9Q.tab") << u"Tab9Q.tab"_s << true;
    QTest::newRow("Tab20A.tab") << u"Tab20A.tab"_s << true;
    QTest::newRow("Tab31A.tab") << u"Tab31A.tab"_s << false;
    QTest::newRow("Tab0A.tab") << u"Tab0A.tab"_s << false;
    QTest::newRow("Tab01A.tab") << u"Tab01A.tab"_s << false;
    QTest::newRow("Tab100A.tab") << u"Tab100A.tab"_s << false;
    QTest::newRow("Tab1[.tab") << u"Tab1[.tab"_s << false;
    QTest::newRow("Tab1a.tab") << u"Tab1a.tab"_s << false;
    QTest::newRow("Tab1A.bak") << u"Tab1A.bak"_s << false;
    QTest::newRow("tab1A.tab") << u"tab1A.tab"_s << false;
    QTest::newRow("Tab1AB.tab") << u"Tab1AB.tab"_s << false;
    QTest::newRow("TabA.tab") << u"TabA.tab"_s << false;
    QTest::newRow("Tab1A.tab.tmp") << u"Tab1A.tab.tmp"_s << false;
    QTest::newRow("Tab+1A.tab") << u"Tab+1A.tab"_s << false;
    QTest::newRow("Tab.tab") << u"Tab.tab"_s << false;
    QTest::newRow("temporary") << u".nokuri-save-new-Tab1A.tab"_s << false;
}

void tst_EntryFiles::parseEntryFileName_onlyNamesTheWriterMakes()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(::parseEntryFileName(name).has_value(), valid);
}

void tst_EntryFiles::entryFileBytes_titleCrLfContentCrLf_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("seven bytes") << Entry {u"ab"_s, u"x"_s} << cp932("61620d0a780d0a");
    QTest::newRow("買い物 with two lines") << Entry {
        u"買い物"_s, u"牛乳\r\nパン"_s} << cp932("948382a295a8 0d0a 8b8d93fb 0d0a 8370 8393 0d0a");
    QTest::newRow("メモ with empty content")
        << Entry {u"メモ"_s, QString()} << cp932("8381 8382 0d0a 0d0a");
    QTest::newRow("empty") << Entry {} << cp932("0d0a0d0a");
    QTest::newRow("content ending with CR LF")
        << Entry {u"t"_s, u"x\r\n"_s} << cp932("74 0d0a 78 0d0a 0d0a");
    QTest::newRow("outside cp932: UTF-8 with BOM")
        << Entry {u"é"_s, u"😀"_s} << cp932("efbbbf c3a9 0d0a f09f9880 0d0a");
}

void tst_EntryFiles::entryFileBytes_titleCrLfContentCrLf()
{
    QFETCH(Entry, entry);
    QFETCH(QByteArray, bytes);
    QCOMPARE(entryFileBytes(entry).toHex(' '), bytes.toHex(' '));
}

void tst_EntryFiles::parseEntryFile_linesToTitleAndContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Entry>("entry");
    QTest::newRow("0 bytes") << QByteArray() << Entry {};
    QTest::newRow("abc alone") << QByteArray("abc") << Entry {u"abc"_s, QString()};
    QTest::newRow("abc CR LF") << QByteArray("abc\r\n") << Entry {u"abc"_s, QString()};
    QTest::newRow("seven bytes") << QByteArray("ab\r\nx\r\n") << Entry {u"ab"_s, u"x"_s};
    QTest::newRow("last line without end") << QByteArray("ab\r\nx") << Entry {u"ab"_s, u"x"_s};
    QTest::newRow("further lines joined by CR LF")
        << QByteArray("t\r\n1\r\n2\r\n3\r\n") << Entry {u"t"_s, u"1\r\n2\r\n3"_s};
    QTest::newRow("empty lines kept")
        << QByteArray("t\r\n\r\nx\r\n\r\n") << Entry {u"t"_s, u"\r\nx\r\n"_s};
    QTest::newRow("lone CR ends a line") << QByteArray("t\rx\ry") << Entry {u"t"_s, u"x\r\ny"_s};
    QTest::newRow("lone LF stays") << QByteArray("t\r\na\nb\r\n") << Entry {u"t"_s, u"a\nb"_s};
    QTest::newRow("cp932") << cp932("8160 0d0a 8740 fbfc 0d0a") << Entry {u"～"_s, u"①髙"_s};
    QTest::newRow("UTF-8 with BOM")
        << cp932("efbbbf c3a9 0d0a f09f9880 0d0a") << Entry {u"é"_s, u"😀"_s};
}

void tst_EntryFiles::parseEntryFile_linesToTitleAndContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Entry, entry);
    QCOMPARE(::parseEntryFile(bytes), entry);
}

void tst_EntryFiles::parseEntryFile_randomLineEnds_asLineByLine()
{
    // The reader's definition, line by line: line 1 the title, the rest joined by CR LF.
    QRandomGenerator random(2024);
    const QString alphabet = u"a\r\n"_s;
    for (int round = 0; round < 5000; ++round) {
        QString text;
        for (int i = random.bounded(12); i > 0; --i)
            text += alphabet.at(random.bounded(3));
        const Entry expected = lineByLine(text);
        const Entry read = parseEntryFile(text.toLatin1());
        if (!(read == expected))
            QFAIL(qPrintable(QString::fromLatin1(text.toLatin1().toHex(' '))));
    }
}

void tst_EntryFiles::entryRoundTrip_unchanged_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::newRow("empty") << Entry {};
    QTest::newRow("empty content") << Entry {u"メモ"_s, QString()};
    QTest::newRow("content ends with CR LF") << Entry {u"t"_s, u"a\r\nb\r\n"_s};
    QTest::newRow("content starts with an empty line") << Entry {u"t"_s, u"\r\nb"_s};
    QTest::newRow("only empty lines") << Entry {u"t"_s, u"\r\n\r\n\r\n"_s};
    QTest::newRow("lone LF") << Entry {u"t"_s, u"a\nb"_s};
    QTest::newRow("cp932 extensions") << Entry {u"～①髙"_s, u"ⅰ№㍉\r\n髙橋"_s};
    QTest::newRow("emoji and accents") << Entry {u"😀"_s, u"café\r\n😀"_s};
}

void tst_EntryFiles::entryRoundTrip_unchanged()
{
    QFETCH(Entry, entry);
    const QByteArray bytes = entryFileBytes(entry);
    QCOMPARE(parseEntryFile(bytes), entry);
    QCOMPARE(entryFileBytes(parseEntryFile(bytes)), bytes);
}

void tst_EntryFiles::storedEntry_decodesAsParseEntryFile()
{
    QRandomGenerator random(44);
    for (int round = 0; round < 2000; ++round) {
        const QByteArray bytes = randomEntryBytes(random);
        EntrySource source;
        const Entry entry = parseEntryFile(bytes, &source);
        const StoredEntry stored(bytes);
        const QString title = stored.title();
        if (title != entry.title || stored.entry() != entry || stored.source() != source
            || stored.bytes() != bytes)
            QFAIL(qPrintable(QString::fromLatin1(bytes.toHex(' '))));
    }
}

void tst_EntryFiles::storedEntry_titleWithoutTheContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("lazy");
    QTest::newRow("cp932") << cp932("948382a295a8 0d0a 8b8d93fb 0d0a") << true;
    QTest::newRow("ASCII title, UTF-8 content") << QByteArray("memo\r\n\xc3\xa9\r\n") << true;
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf\xc3\xa9\r\nx\r\n") << true;
    // Valid cp932 too: only the rest of the file tells which it is.
    QTest::newRow("UTF-8 title") << QByteArray("\xc3\xa9\r\nx\r\n") << false;
    QTest::newRow("stray byte in the title") << QByteArray("a\xff\r\nx\r\n") << false;
    QTest::newRow("title only") << cp932("948382a295a8") << false;
}

void tst_EntryFiles::storedEntry_titleWithoutTheContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, lazy);
    const StoredEntry stored(bytes);
    QCOMPARE(stored.isDecoded(), !lazy);
    QCOMPARE(stored.title(), parseEntryFile(bytes).title);
    QCOMPARE(stored.bytes(), bytes);
    QCOMPARE(stored.isDecoded(), !lazy);
}

void tst_EntryFiles::parseEntryContentStart_asTheWholeFileBegins()
{
    static const QList<QByteArray> pieces {
        "a", "\r", "\n", "\r\n", "\x82\xa0", "\x87\x90", "\xfa\x40", "\xed\x40", "\x81\x60"};
    QRandomGenerator random(45);
    int starts = 0;
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes = "t\x82\xa0";
        for (int i = random.bounded(20, 200); i > 0; --i)
            bytes += pieces.at(random.bounded(int(pieces.size())));
        const auto start = parseEntryContentStart(bytes, 10, 15);
        const QString content = parseEntryFile(bytes).content;
        if (!start)
            continue;
        ++starts;
        if (*start != content.first(15) || content.size() - content.count(u"\r\n"_s) <= 10)
            QFAIL(qPrintable(QString::fromLatin1(bytes.toHex(' '))));
    }
    QVERIFY(starts > 250);
}

void tst_EntryFiles::parseEntryContentStart_nothingWhereTheWholeFileMustTell_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray lines = QByteArray("\x82\xa0\x82\xa2\r\n").repeated(20);
    QTest::newRow("short content") << QByteArray("t\r\n") + lines.first(30);
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbft\r\n") + lines;
    QTest::newRow("stray byte at the end") << QByteArray("t\r\n") + lines + "\xff";
    QTest::newRow("cut off at the end") << QByteArray("t\r\n") + lines + "\x82";
}

void tst_EntryFiles::parseEntryContentStart_nothingWhereTheWholeFileMustTell()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!parseEntryContentStart(bytes, 10, 15));
}

void tst_EntryFiles::readEntryFiles_noFiles_noTabs()
{
    const EntryScan scan = readEntryFiles(m_dir->path());
    QVERIFY(scan.tabs.isEmpty());
    QVERIFY(scan.unreadable.isEmpty());
}

void tst_EntryFiles::readEntryFiles_missingLetter_doesNotStopTheTab()
{
    QVERIFY(put(u"Tab1A.tab"_s, "a\r\n1\r\n"));
    QVERIFY(put(u"Tab1C.tab"_s, "c\r\n3\r\n"));
    QVERIFY(put(u"Tab1Z.tab"_s, "z\r\n26\r\n"));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 1);
    QCOMPARE(
        scan.tabs.at(0), (QList<Entry> {{u"a"_s, u"1"_s}, {u"c"_s, u"3"_s}, {u"z"_s, u"26"_s}}));
}

void tst_EntryFiles::readEntryFiles_missingNumbers_tabsPacked()
{
    QVERIFY(put(u"Tab3A.tab"_s, "three\r\n\r\n"));
    QVERIFY(put(u"Tab5A.tab"_s, "five\r\n\r\n"));
    QVERIFY(put(u"Tab5B.tab"_s, ""));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 2);
    QCOMPARE(scan.tabs.at(0), (QList<Entry> {{u"three"_s, QString()}}));
    QCOMPARE(scan.tabs.at(1), (QList<Entry> {{u"five"_s, QString()}, {}}));
}

void tst_EntryFiles::readEntryFiles_otherNames_neverRead()
{
    for (const QString &name : {u"Tab31A.tab"_s, u"Tab1A.bak"_s, u"Tab1[.tab"_s, u"Tab01A.tab"_s,
             u"Tab0A.tab"_s, u"tab1A.tab"_s, u"Tab1a.tab"_s, u"TabSet.ini"_s,
             u".nokuri-save-new-Tab1A.tab"_s, u".nokuri-save-old-Tab2A.tab"_s})
        QVERIFY(put(name, "x\r\ny\r\n"));
    QVERIFY(QDir(m_dir->path()).mkdir(u"Tab1B.tab"_s));
    // A pipe without a writer: opening it for reading must not wait for one.
    QVERIFY(::mkfifo(QFile::encodeName(m_dir->filePath(u"Tab1C.tab"_s)).constData(), 0600) == 0);
    QVERIFY(put(u"Tab2C.tab"_s, "real\r\n"));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs, (QList<QList<Entry>> {{{u"real"_s, QString()}}}));
    QVERIFY(scan.unreadable.isEmpty());
}

void tst_EntryFiles::readEntryFiles_allThirtyTabsOf26Entries()
{
    for (int tab = 1; tab <= 30; ++tab) {
        for (int entry = 0; entry < 26; ++entry)
            QVERIFY(put(
                entryFileName(tab, entry), entryFileBytes({entryFileName(tab, entry), QString()})));
    }
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 30);
    for (int tab = 1; tab <= 30; ++tab) {
        QCOMPARE(scan.tabs.at(tab - 1).size(), 26);
        for (int entry = 0; entry < 26; ++entry)
            QCOMPARE(scan.tabs.at(tab - 1).at(entry).title, entryFileName(tab, entry));
    }
}

void tst_EntryFiles::readEntryFiles_fileThatCannotBeRead_reportedAndSkipped()
{
    QVERIFY(put(u"Tab1A.tab"_s, "first\r\n"));
    QVERIFY(put(u"Tab1B.tab"_s, "secret\r\n"));
    QVERIFY(put(u"Tab1C.tab"_s, "third\r\n"));
    QVERIFY(::chmod(QFile::encodeName(m_dir->filePath(u"Tab1B.tab"_s)).constData(), 0) == 0);
    QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
    const QString dir = m_dir->path();
    const ChildResult result = runInChild({std::nullopt, true}, [&dir] {
        if (::access(QFile::encodeName(dir).constData(), R_OK | X_OK) != 0)
            return QByteArray("no access");
        const EntryScan scan = readEntryFiles(dir);
        QStringList lines = scan.unreadable;
        for (const QList<Entry> &tab : scan.tabs) {
            for (const Entry &entry : tab)
                lines.append(u"entry "_s + entry.title);
        }
        return lines.join(u'\n').toUtf8();
    });
    if (!result.notRun.isEmpty())
        QSKIP(qPrintable(u"root ignores permissions and "_s + result.notRun));
    if (result.output == "no access")
        QSKIP("the user nobody cannot reach the temporary directory");
    QCOMPARE(QString::fromUtf8(result.output),
        u"Tab1B.tab: "_s + qt_error_string(EACCES) + u"\nentry first\nentry third"_s);
}

QTEST_GUILESS_MAIN(tst_EntryFiles)
#include "tst_EntryFiles.moc"

void tst_EntryFiles::readEntryFiles_everyFile_knownAndWrittenBackAsItsBytes()
{
    // Whatever the bytes (stray bytes, lone CRs, byte order marks, UTF-8 without one), an entry
    // left as read is written as those very bytes, so a save may leave every file read alone.
    QRandomGenerator random(43);
    for (int round = 0; round < 400; ++round) {
        const QByteArray bytes = randomEntryBytes(random);
        QVERIFY(put(u"Tab1A.tab"_s, bytes));
        KnownEntryFiles files;
        const EntryScan scan = readEntryFiles(m_dir->path(), &files);
        QCOMPARE(scan.tabs.size(), 1);
        const Entry entry = scan.tabs[0][0];
        const EntrySource source = scan.sources[0][0];
        if (entryFileBytes(entry, source) != bytes)
            QFAIL(qPrintable(QString::fromLatin1(bytes.toHex(' '))));
        const auto stamp = files.holding(u"Tab1A.tab"_s, entry, source);
        QVERIFY(stamp);
        QCOMPARE(*stamp, *fileStampOf(m_dir->filePath(u"Tab1A.tab"_s)));
    }
}
