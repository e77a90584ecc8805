#include "Generations.h"
#include "TestFiles.h"
#include "persist/EntryFiles.h"
#include "persist/SaveEngine.h"
#include "persist/SystemReason.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Files = QMap<QString, QByteArray>;

const QString Settings = u"TabSet.ini"_s;

// The files of one save: entry names to bytes, plus the settings bytes under "TabSet.ini".
QList<SaveFile> entriesOf(const Files &files)
{
    QList<SaveFile> result;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key() != Settings)
            result.append({it.key(), it.value()});
    }
    return result;
}

SaveFile settingsOf(const Files &files)
{
    return {Settings, files.value(Settings)};
}

// The same files under their backup names.
Files asBackups(const Files &files)
{
    Files result;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        result.insert(it.key().chopped(4) + u".bak"_s, it.value());
    return result;
}

Files withSuffix(const Files &files, QStringView suffix)
{
    Files result;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key().endsWith(suffix))
            result.insert(it.key(), it.value());
    }
    return result;
}

// The tab set read from the directory, as the files a save would write for it.
QList<SaveFile> filesOfScan(const EntryScan &scan)
{
    QList<SaveFile> files;
    for (int tab = 0; tab < scan.tabs.size(); ++tab) {
        for (int entry = 0; entry < scan.tabs.at(tab).size(); ++entry)
            files.append(
                {entryFileName(tab + 1, entry), entryFileBytes(scan.tabs.at(tab).at(entry))});
    }
    return files;
}

ino_t inodeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

mode_t modeOf(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

nlink_t linkCountOf(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_nlink : 0;
}

bool hardLink(const QString &from, const QString &to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

QString describe(const std::optional<SaveError> &error)
{
    return error ? error->fileName + u": "_s + error->reason : u"no error"_s;
}

} // namespace

Q_DECLARE_METATYPE(BackupCopies)

class tst_SaveEngine final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void save_writesExactBytes();
    void save_cp932Files_readAndWrittenBackUnchanged();
    void save_textOutsideCp932_utf8RoundTrip();
    void save_gapsInLettersAndNumbers_packed();
    void save_twoSavesWithBackups_bakHoldsWhatTheFirstWrote();
    void save_removedTab_backupsOn_becomesBackupThenGoes();
    void save_removedTab_backupsOff_removedAndBakLeftAlone();
    void save_unchangedFiles_notRewritten();
    void save_unchangedWithBackups_backupsAreTheLiveFiles();
    void save_fileHeldWithItsStamp_leftUnreadOtherwiseEncoded();
    void save_fileChangedAfterTheLook_keepsTheLooksStamp();
    void save_backupsOn_everyFileHasAnInodeOfItsOwn_data();
    void save_backupsOn_everyFileHasAnInodeOfItsOwn();
    void save_copiesLater_backupsWholeUntilMade_data();
    void save_copiesLater_backupsWholeUntilMade();
    void save_symbolicLinks_writtenThroughAndKept();
    void save_keepsPermissionsOfReplacedFile();
    void save_temporaryLeftLinkedToLiveFile_notWrittenThrough();
    void save_renameFailsMidway_replacedFilesPutBack_data();
    void save_renameFailsMidway_replacedFilesPutBack();
    void save_badNames_refusedBeforeAnythingIsWritten_data();
    void save_badNames_refusedBeforeAnythingIsWritten();
    void save_missingDirectory_givesSystemReason();
    void cleanupInterruptedSave_removesOnlyTemporaries();
    void save_thirtyTabsOf26Entries_timing();

private:
    bool put(const QString &name, const QByteArray &bytes);
    std::optional<SaveError> save(const Files &files, bool makeBackup);
    Files snapshot() const { return TestFiles::snapshot(m_dir->path()); }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_SaveEngine::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY2(m_dir->isValid(), qPrintable(m_dir->errorString()));
}

bool tst_SaveEngine::put(const QString &name, const QByteArray &bytes)
{
    QString error;
    const bool ok = TestFiles::write(path(name), bytes, &error);
    if (!ok)
        qWarning("%s", qPrintable(error));
    return ok;
}

std::optional<SaveError> tst_SaveEngine::save(const Files &files, bool makeBackup)
{
    return saveNoteFiles(m_dir->path(), entriesOf(files), settingsOf(files), makeBackup);
}

void tst_SaveEngine::save_writesExactBytes()
{
    const QList<SaveFile> entries {
        {u"Tab1A.tab"_s, entryFileBytes({u"ab"_s, u"x"_s})},
        {u"Tab2A.tab"_s, entryFileBytes({u"買い物"_s, u"牛乳\r\nパン"_s})},
        {u"Tab2B.tab"_s, entryFileBytes({u"メモ"_s, QString()})},
    };
    const auto error = saveNoteFiles(m_dir->path(), entries, {Settings, "ini\r\n"}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(snapshot(),
        (Files {
            {u"Tab1A.tab"_s, QByteArray::fromHex("61620d0a780d0a")},
            {u"Tab2A.tab"_s, QByteArray::fromHex("948382a295a80d0a8b8d93fb0d0a837083930d0a")},
            {u"Tab2B.tab"_s, QByteArray::fromHex("838183820d0a0d0a")},
            {Settings, "ini\r\n"},
        }));
}

void tst_SaveEngine::save_cp932Files_readAndWrittenBackUnchanged()
{
    const QByteArray bytes = QByteArray::fromHex("8160 0d0a 8740 fbfc 0d0a 948382a295a8 0d0a");
    QVERIFY(put(u"Tab1A.tab"_s, bytes));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 1);
    QCOMPARE(scan.tabs.at(0).at(0), (Entry {u"～"_s, u"①髙\r\n買い物"_s}));
    const ino_t before = inodeOf(path(u"Tab1A.tab"_s));
    const auto error = saveNoteFiles(m_dir->path(), filesOfScan(scan), {Settings, "x"}, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(TestFiles::read(path(u"Tab1A.tab"_s)).toHex(' '), bytes.toHex(' '));
    QCOMPARE(inodeOf(path(u"Tab1A.tab"_s)), before);
}

void tst_SaveEngine::save_textOutsideCp932_utf8RoundTrip()
{
    const QList<QList<Entry>> tabs {{{u"😀"_s, u"é\r\ncafé"_s}, {u"plain"_s, u"～"_s}}};
    const auto error = saveNoteFiles(m_dir->path(), filesOfScan({tabs, {}}), {Settings, "x"}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(TestFiles::read(path(u"Tab1A.tab"_s)),
        QByteArray("\xEF\xBB\xBF") + u"😀\r\né\r\ncafé\r\n"_s.toUtf8());
    QCOMPARE(TestFiles::read(path(u"Tab1B.tab"_s)), QByteArray::fromHex("706c61696e0d0a81600d0a"));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs, tabs);
}

void tst_SaveEngine::save_gapsInLettersAndNumbers_packed()
{
    const Files before {
        {u"Tab1A.tab"_s, "1A\r\n\r\n"},
        {u"Tab1C.tab"_s, "1C\r\n\r\n"},
        {u"Tab3A.tab"_s, "3A\r\n\r\n"},
        {u"Tab5A.tab"_s, "5A\r\n\r\n"},
        {u"Tab5B.tab"_s, "5B\r\n\r\n"},
        {Settings, "old"},
    };
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QVERIFY(put(it.key(), it.value()));
    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 3);

    const auto error = saveNoteFiles(m_dir->path(), filesOfScan(scan), {Settings, "new"}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(withSuffix(snapshot(), u".tab"),
        (Files {
            {u"Tab1A.tab"_s, "1A\r\n\r\n"},
            {u"Tab1B.tab"_s, "1C\r\n\r\n"},
            {u"Tab2A.tab"_s, "3A\r\n\r\n"},
            {u"Tab3A.tab"_s, "5A\r\n\r\n"},
            {u"Tab3B.tab"_s, "5B\r\n\r\n"},
        }));
    QCOMPARE(withSuffix(snapshot(), u".bak"), asBackups(before));
    QCOMPARE(readEntryFiles(m_dir->path()).tabs, scan.tabs);
}

void tst_SaveEngine::save_twoSavesWithBackups_bakHoldsWhatTheFirstWrote()
{
    const Files first {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"},
        {u"Tab2A.tab"_s, "2a\r\n\r\n"}, {Settings, "ini 1"}};
    const Files second {{u"Tab1A.tab"_s, "1a\r\nchanged\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"},
        {u"Tab2A.tab"_s, "2a\r\nchanged\r\n"}, {Settings, "ini 2"}};
    const Files third {{u"Tab1A.tab"_s, "1a\r\nagain\r\n"}, {u"Tab1B.tab"_s, "1b\r\nagain\r\n"},
        {u"Tab2A.tab"_s, "2a\r\nchanged\r\n"}, {Settings, "ini 3"}};
    auto error = save(first, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(snapshot(), first);

    error = save(second, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    Files expected = second;
    expected.insert(asBackups(first));
    QCOMPARE(snapshot(), expected);

    error = save(third, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    expected = third;
    expected.insert(asBackups(second));
    QCOMPARE(snapshot(), expected);
}

void tst_SaveEngine::save_removedTab_backupsOn_becomesBackupThenGoes()
{
    const Files twoTabs {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab2A.tab"_s, "2a\r\n\r\n"},
        {u"Tab2B.tab"_s, "2b\r\n\r\n"}, {Settings, "two tabs"}};
    const Files oneTab {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {Settings, "one tab"}};
    auto error = save(twoTabs, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    error = save(oneTab, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    Files expected = oneTab;
    expected.insert(asBackups(twoTabs));
    QCOMPARE(snapshot(), expected);
    QCOMPARE(readEntryFiles(m_dir->path()).tabs.size(), 1);

    // One save later the removed tab is no longer part of the previous generation either.
    error = save(oneTab, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    expected = oneTab;
    expected.insert(asBackups(oneTab));
    QCOMPARE(snapshot(), expected);
}

void tst_SaveEngine::save_removedTab_backupsOff_removedAndBakLeftAlone()
{
    const Files olderBackups {
        {u"Tab2A.bak"_s, "older 2a"}, {u"Tab9Z.bak"_s, "older 9z"}, {u"TabSet.bak"_s, "older ini"}};
    for (auto it = olderBackups.cbegin(); it != olderBackups.cend(); ++it)
        QVERIFY(put(it.key(), it.value()));
    const Files twoTabs {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab2A.tab"_s, "2a\r\n\r\n"},
        {u"Tab2B.tab"_s, "2b\r\n\r\n"}, {Settings, "two tabs"}};
    const Files oneTab {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {Settings, "one tab"}};
    auto error = save(twoTabs, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    error = save(oneTab, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    Files expected = oneTab;
    expected.insert(olderBackups);
    QCOMPARE(snapshot(), expected);
    QCOMPARE(readEntryFiles(m_dir->path()).tabs, (QList<QList<Entry>> {{{u"1a"_s, QString()}}}));
}

void tst_SaveEngine::save_unchangedFiles_notRewritten()
{
    const Files first {
        {u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}, {Settings, "ini"}};
    auto error = save(first, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    QMap<QString, ino_t> inodes;
    for (const QString &name : first.keys())
        inodes.insert(name, inodeOf(path(name)));

    error = save(first, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    for (const QString &name : first.keys())
        QCOMPARE(inodeOf(path(name)), inodes.value(name));

    Files second = first;
    second.insert(u"Tab1B.tab"_s, "1b\r\nchanged\r\n");
    error = save(second, false);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(snapshot(), second);
    QCOMPARE(inodeOf(path(u"Tab1A.tab"_s)), inodes.value(u"Tab1A.tab"_s));
    QCOMPARE(inodeOf(path(Settings)), inodes.value(Settings));
    QVERIFY(inodeOf(path(u"Tab1B.tab"_s)) != inodes.value(u"Tab1B.tab"_s));
}

void tst_SaveEngine::save_unchangedWithBackups_backupsAreTheLiveFiles()
{
    const Files first {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {Settings, "ini 1"}};
    const Files second {{u"Tab1A.tab"_s, "1a\r\nchanged\r\n"}, {Settings, "ini 2"}};
    for (const Files *files : {&first, &second, &second}) {
        const auto error = save(*files, true);
        QVERIFY2(!error, qPrintable(describe(error)));
    }
    Files expected = second;
    expected.insert(asBackups(second));
    QCOMPARE(snapshot(), expected);

    // The backups now share the live files' content; one more unchanged save touches nothing.
    const Files before = snapshot();
    QMap<QString, ino_t> inodes;
    for (const QString &name : before.keys())
        inodes.insert(name, inodeOf(path(name)));
    const auto error = save(second, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(snapshot(), before);
    for (const QString &name : before.keys())
        QCOMPARE(inodeOf(path(name)), inodes.value(name));
}

void tst_SaveEngine::save_fileHeldWithItsStamp_leftUnreadOtherwiseEncoded()
{
    const Files first {
        {u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}, {Settings, "i"}};
    QHash<QString, FileStamp> stamps;
    auto error = saveNoteFiles(m_dir->path(), entriesOf(first), settingsOf(first), true, &stamps);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(stamps.size(), 3);
    for (const QString &name : first.keys())
        QCOMPARE(stamps.value(name), *fileStampOf(path(name)));

    // Tab1B.tab is changed behind the saver's back; its old stamp no longer vouches for it.
    QTest::qWait(10);
    QVERIFY(put(u"Tab1B.tab"_s, "1B\r\n\r\n"));
    QStringList encoded;
    const auto held = [&](const QString &name) {
        return SaveFile(name, stamps.value(name), [&encoded, name, first] {
            encoded.append(name);
            return first.value(name);
        });
    };
    error = saveNoteFiles(m_dir->path(), {held(u"Tab1A.tab"_s), held(u"Tab1B.tab"_s)},
        {Settings, "i"}, true, &stamps);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(encoded, QStringList {u"Tab1B.tab"_s});
    Files expected = first;
    expected.insert(asBackups(first));
    expected.insert(u"Tab1B.bak"_s, "1B\r\n\r\n");
    QCOMPARE(snapshot(), expected);
    for (const QString &name : first.keys())
        QCOMPARE(stamps.value(name), *fileStampOf(path(name)));
}

void tst_SaveEngine::save_fileChangedAfterTheLook_keepsTheLooksStamp()
{
    const Files first {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {Settings, "i"}};
    QHash<QString, FileStamp> stamps;
    auto error = saveNoteFiles(m_dir->path(), entriesOf(first), settingsOf(first), true, &stamps);
    QVERIFY2(!error, qPrintable(describe(error)));
    const QHash<QString, LiveFile> looked = liveNoteFiles(m_dir->path(), Settings);

    // Changed between the look and the save: the save must not vouch for the new content.
    QTest::qWait(10);
    QVERIFY(put(u"Tab1A.tab"_s, "1A\r\n\r\n"));
    error = saveNoteFiles(m_dir->path(),
        {SaveFile(u"Tab1A.tab"_s, stamps.value(u"Tab1A.tab"_s), [] { return QByteArray("1a"); })},
        {Settings, "i"}, true, &stamps, BackupCopies::Now, &looked);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(stamps.value(u"Tab1A.tab"_s), FileStamp::of(looked.value(u"Tab1A.tab"_s).status));
    QVERIFY(stamps.value(u"Tab1A.tab"_s) != *fileStampOf(path(u"Tab1A.tab"_s)));
    QCOMPARE(stamps.value(Settings), *fileStampOf(path(Settings)));
}

void tst_SaveEngine::save_backupsOn_everyFileHasAnInodeOfItsOwn_data()
{
    QTest::addColumn<bool>("changed"); // the second save changes Tab1A and removes Tab1B
    QTest::addColumn<bool>("linkedBefore"); // each .bak a hard link to its live file beforehand
    QTest::addColumn<BackupCopies>("copies");
    QTest::newRow("changed") << true << false << BackupCopies::Now;
    QTest::newRow("unchanged") << false << false << BackupCopies::Now;
    QTest::newRow("changed, .bak files were links") << true << true << BackupCopies::Now;
    QTest::newRow("unchanged, .bak files were links") << false << true << BackupCopies::Now;
    QTest::newRow("changed, copies later") << true << false << BackupCopies::Later;
    QTest::newRow("unchanged, .bak files were links, copies later")
        << false << true << BackupCopies::Later;
}

void tst_SaveEngine::save_backupsOn_everyFileHasAnInodeOfItsOwn()
{
    QFETCH(bool, changed);
    QFETCH(bool, linkedBefore);
    QFETCH(BackupCopies, copies);
    const Files first {
        {u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}, {Settings, "ini 1"}};
    Files second = first;
    if (changed) {
        second.insert(u"Tab1A.tab"_s, "1a\r\nchanged\r\n");
        second.remove(u"Tab1B.tab"_s);
    }
    auto error = save(first, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    for (auto it = first.cbegin(); linkedBefore && it != first.cend(); ++it) {
        const QString backup = path(it.key().chopped(4) + u".bak"_s);
        QVERIFY(!QFile::exists(backup) || QFile::remove(backup));
        QVERIFY(hardLink(path(it.key()), backup));
    }
    error = saveNoteFiles(
        m_dir->path(), entriesOf(second), settingsOf(second), true, nullptr, copies);
    QVERIFY2(!error, qPrintable(describe(error)));
    for (const QString &name : snapshot().keys())
        QVERIFY2(linkCountOf(path(name)) == 1, qPrintable(name));
    error = finishSaves(m_dir->path());
    QVERIFY2(!error, qPrintable(describe(error)));
    Files expected = second;
    expected.insert(asBackups(first));
    QCOMPARE(snapshot(), expected);
    for (const QString &name : expected.keys())
        QVERIFY2(linkCountOf(path(name)) == 1, qPrintable(name));
    // An editor that writes in place changes the live file, not its backup.
    QVERIFY(put(u"Tab1A.tab"_s, "edited in place"));
    QCOMPARE(TestFiles::read(path(u"Tab1A.bak"_s)), first.value(u"Tab1A.tab"_s));
}

void tst_SaveEngine::save_copiesLater_backupsWholeUntilMade_data()
{
    // How the copies that a save left come to be made; "next save" saves again, changing
    // Tab1A.tab or not, and makes them after it.
    QTest::addColumn<QString>("how");
    for (const char *how : {"renewed", "stopped, then renewed", "next start",
             "next save, unchanged", "next save, Tab1A changed"})
        QTest::newRow(how) << QString::fromLatin1(how);
}

void tst_SaveEngine::save_copiesLater_backupsWholeUntilMade()
{
    QFETCH(QString, how);
    const Files first {{u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"},
        {u"Tab2A.tab"_s, "2a\r\n\r\n"}, {Settings, "ini 1"}};
    Files second;
    for (auto it = first.cbegin(); it != first.cend(); ++it)
        second.insert(it.key(), it.value() + "2");
    for (const Files *files : {&first, &std::as_const(second)}) {
        const auto error = save(*files, true);
        QVERIFY2(!error, qPrintable(describe(error)));
    }
    // Nothing changes, but every .bak is to become the file that is live now.
    const auto later = [&](const Files &files) {
        return saveNoteFiles(
            m_dir->path(), entriesOf(files), settingsOf(files), true, nullptr, BackupCopies::Later);
    };
    auto error = later(second);
    QVERIFY2(!error, qPrintable(describe(error)));
    Files waiting = second;
    waiting.insert(asBackups(first));
    const auto withoutRecord = [this] {
        Files files = snapshot();
        files.remove(u".nokuri-save-journal"_s);
        return files;
    };
    QCOMPARE(withoutRecord(), waiting);

    Files live = second;
    if (how == u"stopped, then renewed") {
        error = finishSaves(m_dir->path(), [] { return true; });
        QVERIFY2(!error, qPrintable(describe(error)));
        QCOMPARE(withoutRecord(), waiting);
    } else if (how == u"next start") {
        error = cleanupInterruptedSave(m_dir->path());
    } else if (how.startsWith(u"next save")) {
        if (how.endsWith(u"changed"))
            live.insert(u"Tab1A.tab"_s, "1a\r\nthird\r\n");
        error = later(live);
    }
    QVERIFY2(!error, qPrintable(describe(error)));
    error = finishSaves(m_dir->path());
    QVERIFY2(!error, qPrintable(describe(error)));
    Files expected = live;
    expected.insert(asBackups(second));
    QCOMPARE(snapshot(), expected);
}

void tst_SaveEngine::save_symbolicLinks_writtenThroughAndKept()
{
    // Tab1A.tab, Tab1B.tab and TabSet.ini lead into another folder; Tab1A.bak too, from before.
    const QTemporaryDir other;
    QVERIFY(other.isValid());
    const Files targets {{u"a.txt"_s, "1a\r\n\r\n"}, {u"b.txt"_s, "1b\r\n\r\n"},
        {u"set.ini"_s, "ini 1"}, {u"old.bak"_s, "older"}};
    for (auto it = targets.cbegin(); it != targets.cend(); ++it)
        QVERIFY(TestFiles::write(other.filePath(it.key()), it.value()));
    const QMap<QString, QString> links {{u"Tab1A.tab"_s, u"a.txt"_s}, {u"Tab1B.tab"_s, u"b.txt"_s},
        {Settings, u"set.ini"_s}, {u"Tab1A.bak"_s, u"old.bak"_s}};
    for (auto it = links.cbegin(); it != links.cend(); ++it)
        QVERIFY(QFile::link(other.filePath(it.value()), path(it.key())));

    auto error = save(
        {{u"Tab1A.tab"_s, "1a\r\nnew\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}, {Settings, "ini 2"}},
        true);
    QVERIFY2(!error, qPrintable(describe(error)));
    for (const QString &name : {u"Tab1A.tab"_s, u"Tab1B.tab"_s, Settings})
        QCOMPARE(QFileInfo(path(name)).symLinkTarget(), other.filePath(links.value(name)));
    Files expected = targets;
    expected.insert(u"a.txt"_s, "1a\r\nnew\r\n");
    expected.insert(u"set.ini"_s, "ini 2");
    QCOMPARE(TestFiles::snapshot(other.path()), expected);
    const Files backups {
        {u"Tab1A.bak"_s, "1a\r\n\r\n"}, {u"Tab1B.bak"_s, "1b\r\n\r\n"}, {u"TabSet.bak"_s, "ini 1"}};
    for (auto it = backups.cbegin(); it != backups.cend(); ++it) {
        QVERIFY2(QFileInfo(path(it.key())).isFile() && !QFileInfo(path(it.key())).isSymLink(),
            qPrintable(it.key()));
        QCOMPARE(TestFiles::read(path(it.key())), it.value());
    }

    // An entry removed: its link goes, its target stays, and the .bak is a copy.
    error = save({{u"Tab1A.tab"_s, "1a\r\nnew\r\n"}, {Settings, "ini 2"}}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QVERIFY(
        !QFileInfo(path(u"Tab1B.tab"_s)).exists() && !QFileInfo(path(u"Tab1B.tab"_s)).isSymLink());
    QCOMPARE(TestFiles::read(other.filePath(u"b.txt"_s)), QByteArray("1b\r\n\r\n"));
    QVERIFY(!QFileInfo(path(u"Tab1B.bak"_s)).isSymLink());
    QCOMPARE(TestFiles::read(path(u"Tab1B.bak"_s)), QByteArray("1b\r\n\r\n"));
    QCOMPARE(TestFiles::temporaries(m_dir->path()), QStringList());
    QCOMPARE(TestFiles::temporaries(other.path()), QStringList());
}

void tst_SaveEngine::save_keepsPermissionsOfReplacedFile()
{
    QVERIFY(put(u"Tab1A.tab"_s, "old\r\n\r\n"));
    QVERIFY(::chmod(QFile::encodeName(path(u"Tab1A.tab"_s)).constData(), 0600) == 0);
    const auto error = save({{u"Tab1A.tab"_s, "new\r\n\r\n"}, {Settings, "ini"}}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(TestFiles::read(path(u"Tab1A.tab"_s)), QByteArray("new\r\n\r\n"));
    QCOMPARE(modeOf(path(u"Tab1A.tab"_s)), mode_t(0600));
    QCOMPARE(modeOf(path(u"Tab1A.bak"_s)), mode_t(0600));
}

void tst_SaveEngine::save_temporaryLeftLinkedToLiveFile_notWrittenThrough()
{
    // An interrupted save can leave a temporary that is a hard link to a live file. Writing
    // into that name would change the live file in place; the engine must replace the name.
    QVERIFY(put(u"Tab1A.tab"_s, "old\r\n\r\n"));
    for (const QString &temp : {u".nokuri-save-new-Tab1A.tab"_s, u".nokuri-save-old-Tab1A.tab"_s,
             u".nokuri-save-bak-Tab1A.bak"_s})
        QVERIFY(hardLink(path(u"Tab1A.tab"_s), path(temp)));
    const auto error = save({{u"Tab1A.tab"_s, "new content\r\n\r\n"}, {Settings, "ini"}}, true);
    QVERIFY2(!error, qPrintable(describe(error)));
    QCOMPARE(snapshot(),
        (Files {{u"Tab1A.tab"_s, "new content\r\n\r\n"}, {u"Tab1A.bak"_s, "old\r\n\r\n"},
            {Settings, "ini"}}));
}

void tst_SaveEngine::save_renameFailsMidway_replacedFilesPutBack_data()
{
    QTest::addColumn<bool>("makeBackup");
    QTest::newRow("backups on") << true;
    QTest::newRow("backups off") << false;
}

void tst_SaveEngine::save_renameFailsMidway_replacedFilesPutBack()
{
    QFETCH(bool, makeBackup);
    // A directory that takes the name of an entry file cannot be replaced by a file: the
    // rename of Tab2A.tab fails after Tab1A.tab was replaced and Tab1B.tab removed.
    QVERIFY(put(u"Tab1A.tab"_s, "old 1a\r\n\r\n"));
    QVERIFY(put(u"Tab1B.tab"_s, "old 1b\r\n\r\n"));
    QVERIFY(put(Settings, "old ini"));
    QVERIFY(QDir(m_dir->path()).mkdir(u"Tab2A.tab"_s));
    const Files live = withSuffix(snapshot(), u".tab");
    const auto error = save({{u"Tab1A.tab"_s, "new 1a\r\n\r\n"}, {u"Tab2A.tab"_s, "new 2a\r\n\r\n"},
                                {Settings, "new ini"}},
        makeBackup);
    QVERIFY(error);
    QCOMPARE(error->fileName, u"Tab2A.tab"_s);
    QCOMPARE(error->reason, systemReason(EISDIR));
    QCOMPARE(withSuffix(snapshot(), u".tab"), live);
    QCOMPARE(TestFiles::read(path(Settings)), QByteArray("old ini"));
    QCOMPARE(TestFiles::temporaries(m_dir->path()), QStringList());
}

void tst_SaveEngine::save_badNames_refusedBeforeAnythingIsWritten_data()
{
    QTest::addColumn<QString>("entryName");
    QTest::addColumn<QString>("settingsName");
    QTest::newRow("Tab31A.tab") << u"Tab31A.tab"_s << Settings;
    QTest::newRow("Tab1A.bak") << u"Tab1A.bak"_s << Settings;
    QTest::newRow("path") << u"../Tab1A.tab"_s << Settings;
    QTest::newRow("twice") << u"Tab1A.tab"_s << Settings;
    QTest::newRow("settings named like an entry") << u"Tab2A.tab"_s << u"Tab1A.tab"_s;
    QTest::newRow("settings as a path") << u"Tab2A.tab"_s << u"sub/TabSet.ini"_s;
    QTest::newRow("settings named like a temporary") << u"Tab2A.tab"_s << u".nokuri-save-x"_s;
}

void tst_SaveEngine::save_badNames_refusedBeforeAnythingIsWritten()
{
    QFETCH(QString, entryName);
    QFETCH(QString, settingsName);
    QVERIFY(put(u"Tab1A.tab"_s, "old\r\n\r\n"));
    const Files before = snapshot();
    const QList<SaveFile> entries {{u"Tab1A.tab"_s, "new\r\n\r\n"}, {entryName, "x\r\n\r\n"}};
    const auto error = saveNoteFiles(m_dir->path(), entries, {settingsName, "ini"}, true);
    QVERIFY(error);
    QCOMPARE(snapshot(), before);
}

void tst_SaveEngine::save_missingDirectory_givesSystemReason()
{
    const QString missing = m_dir->filePath(u"missing"_s);
    const auto error = saveNoteFiles(missing, {{u"Tab1A.tab"_s, "x"}}, {Settings, "ini"}, true);
    QVERIFY(error);
    QCOMPARE(error->fileName, missing);
    QCOMPARE(error->reason, systemReason(ENOENT));
}

void tst_SaveEngine::cleanupInterruptedSave_removesOnlyTemporaries()
{
    const Files keep {{u"Tab1A.tab"_s, "live\r\n\r\n"}, {u"Tab1A.bak"_s, "backup\r\n\r\n"},
        {Settings, "ini"}, {u"Tab31A.tab"_s, "not ours"}, {u".hidden"_s, "not ours"}};
    for (auto it = keep.cbegin(); it != keep.cend(); ++it)
        QVERIFY(put(it.key(), it.value()));
    QVERIFY(put(u".nokuri-save-new-Tab1B.tab"_s, "half\r\n"));
    QVERIFY(put(u".nokuri-save-new-TabSet.ini"_s, "half"));
    QVERIFY(hardLink(path(u"Tab1A.tab"_s), path(u".nokuri-save-old-Tab1A.tab"_s)));
    QCOMPARE(readEntryFiles(m_dir->path()).tabs, (QList<QList<Entry>> {{{u"live"_s, QString()}}}));

    cleanupInterruptedSave(m_dir->path());
    QCOMPARE(snapshot(), keep);
}

void tst_SaveEngine::save_thirtyTabsOf26Entries_timing()
{
    QElapsedTimer timer;
    const auto timed = [&](qint64 generation, bool makeBackup, const char *what) {
        timer.start();
        const auto error = saveNoteFiles(m_dir->path(), Generations::entryFiles(generation),
            Generations::settings(generation), makeBackup);
        qInfo("%s: %lld ms", what, static_cast<long long>(timer.elapsed()));
        return error;
    };
    auto error = timed(0, true, "full save of 30 x 26 entries into an empty directory");
    QVERIFY2(!error, qPrintable(describe(error)));
    error = timed(1, true, "save with 2/3 of the entries changed, backups on");
    QVERIFY2(!error, qPrintable(describe(error)));
    error = timed(1, true, "unchanged save, backups on (backups become the live files)");
    QVERIFY2(!error, qPrintable(describe(error)));
    timer.start();
    error = timed(1, true, "unchanged save, backups on, backups already current");
    QVERIFY2(!error, qPrintable(describe(error)));
    QVERIFY2(timer.elapsed() < 1000, "an unchanged save should be fast");
    error = timed(1, false, "unchanged save, backups off");
    QVERIFY2(!error, qPrintable(describe(error)));

    const EntryScan scan = readEntryFiles(m_dir->path());
    QCOMPARE(scan.tabs.size(), 30);
    QCOMPARE(filesOfScan(scan).size(), Generations::entryFiles(1).size());
    for (const SaveFile &file : Generations::entryFiles(1))
        QCOMPARE(TestFiles::read(path(file.name)), file.bytes);
    QCOMPARE(TestFiles::temporaries(m_dir->path()), QStringList());
}

QTEST_GUILESS_MAIN(tst_SaveEngine)
#include "tst_SaveEngine.moc"
