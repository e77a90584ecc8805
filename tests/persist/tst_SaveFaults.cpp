#include "ForkedChild.h"
#include "Generations.h"
#include "TestFiles.h"
#include "persist/EntryFiles.h"
#include "persist/SaveEngine.h"
#include "persist/SystemReason.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Files = QMap<QString, QByteArray>;

const QString Settings = u"TabSet.ini"_s;

QString describe(const std::optional<SaveError> &error)
{
    return error ? error->fileName + u": "_s + error->reason : u"no error"_s;
}

QByteArray describeForParent(const std::optional<SaveError> &error)
{
    return error ? (error->fileName + u"\n"_s + error->reason).toUtf8() : QByteArray("saved");
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

// What a directory looks like after the saving process was killed.
struct KillState
{
    QString problem; // empty when every file is as it may be
    bool temporaries = false;
    bool midReplacement = false; // some live files new, TabSet.ini still old
};

// Each live entry file must be the complete file of the generation in TabSet.ini or of the one
// being saved after it, and only a file that one of the two lacks may be missing; TabSet.ini
// must be complete; every backup file must be a complete file of some generation.
KillState checkAfterKill(const QString &dir)
{
    KillState state;
    const QDir directory(dir);
    const std::optional<qint64> settings
        = Generations::settingsGeneration(TestFiles::read(directory.filePath(Settings)));
    if (!settings) {
        state.problem = u"TabSet.ini is missing or torn"_s;
        return state;
    }
    const qint64 before = *settings;
    const qint64 after = before + 1;
    for (int tab = 1; tab <= Generations::Tabs; ++tab) {
        for (int index = 0; index < Generations::Letters; ++index) {
            const QString name = entryFileName(tab, index);
            const bool inBefore = Generations::exists(before, tab, index);
            const bool inAfter = Generations::exists(after, tab, index);
            if (!QFileInfo(directory.filePath(name)).isFile()) {
                if (inBefore && inAfter)
                    state.problem += name + u" is missing; "_s;
                continue;
            }
            const QByteArray bytes = TestFiles::read(directory.filePath(name));
            const qint64 old = Generations::lastChange(before, tab, index);
            const qint64 fresh = Generations::lastChange(after, tab, index);
            if (inBefore && bytes == Generations::entryBytes(old, tab, index))
                continue;
            if (inAfter && bytes == Generations::entryBytes(fresh, tab, index)) {
                state.midReplacement = state.midReplacement || fresh != old;
                continue;
            }
            const auto written = Generations::entryGeneration(bytes, tab, index);
            state.problem += written
                ? u"%1 holds generation %2 with TabSet.ini at %3; "_s.arg(name).arg(*written).arg(
                    before)
                : name + u" is torn; "_s;
        }
    }
    const QStringList backups = directory.entryList({u"*.bak"_s}, QDir::Files);
    for (const QString &name : backups) {
        const QByteArray bytes = TestFiles::read(directory.filePath(name));
        bool complete = false;
        if (name == u"TabSet.bak")
            complete = Generations::settingsGeneration(bytes).has_value();
        else if (const auto entry = parseEntryFileName(name.chopped(4) + u".tab"_s))
            complete = Generations::entryGeneration(bytes, entry->tabNumber, entry->entryIndex)
                           .has_value();
        if (!complete)
            state.problem += name + u" is not a complete file of any generation; "_s;
    }
    const EntryScan scan = readEntryFiles(dir);
    if (scan.tabs.size() != Generations::Tabs || !scan.unreadable.isEmpty())
        state.problem += u"the reader finds %1 tabs; "_s.arg(scan.tabs.size());
    state.temporaries = !TestFiles::temporaries(dir).isEmpty();
    return state;
}

} // namespace

class tst_SaveFaults final : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving_noLiveFileMissingOrTorn();
    void fileSizeLimit_failureReported_liveFilesUnchanged_data();
    void fileSizeLimit_failureReported_liveFilesUnchanged();
    void readOnlyDirectory_failureReported_liveFilesUnchanged();
    void hardLinkRefused_backupsCopied();
};

void tst_SaveFaults::killedWhileSaving_noLiveFileMissingOrTorn()
{
    constexpr int Kills = 120;
    // SIGKILL leaves the page cache intact, so what this test checks does not depend on the
    // disk; tmpfs, where there is one, keeps each save short and the test quick.
    QTemporaryDir dir(QFileInfo(u"/dev/shm"_s).isWritable()
            ? u"/dev/shm/persist_SaveFaults-XXXXXX"_s
            : QDir::tempPath() + u"/persist_SaveFaults-XXXXXX"_s);
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    auto error
        = saveNoteFiles(dir.path(), Generations::entryFiles(0), Generations::settings(0), true);
    QVERIFY2(!error, qPrintable(describe(error)));
    // One save timed here sets the window in which the kills fall: process start-up, then about
    // one and a half saves.
    QElapsedTimer timer;
    timer.start();
    error = saveNoteFiles(dir.path(), Generations::entryFiles(1), Generations::settings(1), true);
    QVERIFY2(!error, qPrintable(describe(error)));
    const qint64 windowUs = 10000 + timer.nsecsElapsed() / 1000 * 3 / 2;

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("seed %u, kills within %lld ms of the start", seed,
        static_cast<long long>(windowUs / 1000));
    int interrupted = 0;
    int midReplacement = 0;
    qint64 checkMs = 0;
    timer.start();
    for (int kill = 1; kill <= Kills; ++kill) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral(PERSIST_SAVE_CHILD), {dir.path()});
        QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
        QThread::usleep(static_cast<unsigned long>(random.bounded(windowUs)));
        child.kill();
        QVERIFY(child.waitForFinished());
        QVERIFY2(child.exitStatus() == QProcess::CrashExit,
            qPrintable(u"the child stopped by itself with %1"_s.arg(child.exitCode())));
        QElapsedTimer checking;
        checking.start();
        const KillState state = checkAfterKill(dir.path());
        checkMs += checking.elapsed();
        QVERIFY2(state.problem.isEmpty(),
            qPrintable(u"after kill %1: %2"_s.arg(kill).arg(state.problem)));
        interrupted += state.temporaries ? 1 : 0;
        midReplacement += state.midReplacement ? 1 : 0;
    }
    const std::optional<qint64> reached
        = Generations::settingsGeneration(TestFiles::read(dir.filePath(Settings)));
    qInfo("%d kills in %lld ms (%lld ms of it checking), generation %lld reached; %d kills left "
          "temporaries, %d fell while live files were being replaced",
        Kills, static_cast<long long>(timer.elapsed()), static_cast<long long>(checkMs),
        static_cast<long long>(reached.value_or(-1)), interrupted, midReplacement);
    QVERIFY2(interrupted > 0, "no kill fell inside a save");

    cleanupInterruptedSave(dir.path());
    QCOMPARE(TestFiles::temporaries(dir.path()), QStringList());
}

void tst_SaveFaults::fileSizeLimit_failureReported_liveFilesUnchanged_data()
{
    QTest::addColumn<QString>("bigFile");
    QTest::addColumn<bool>("makeBackup");
    QTest::newRow("entry too big, backups on") << u"Tab2B.tab"_s << true;
    QTest::newRow("entry too big, backups off") << u"Tab2B.tab"_s << false;
    QTest::newRow("settings too big, backups on") << Settings << true;
}

void tst_SaveFaults::fileSizeLimit_failureReported_liveFilesUnchanged()
{
    QFETCH(QString, bigFile);
    QFETCH(bool, makeBackup);
    constexpr rlim_t Limit = 64 * 1024;
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const auto generation = [](const QByteArray &text) {
        QList<SaveFile> files;
        for (int tab = 1; tab <= 3; ++tab) {
            for (int index = 0; index < 3; ++index)
                files.append({entryFileName(tab, index),
                    text + entryFileName(tab, index).toUtf8() + "\r\n\r\n"});
        }
        return files;
    };
    for (const QByteArray &text : {QByteArray("first "), QByteArray("second ")}) {
        const auto error = saveNoteFiles(dir.path(), generation(text), {Settings, text}, true);
        QVERIFY2(!error, qPrintable(describe(error)));
    }
    const Files before = TestFiles::snapshot(dir.path());

    QList<SaveFile> entries = generation("third ");
    entries.removeLast(); // a removed entry too: it must stay live after the failure
    SaveFile settings {Settings, "third"};
    const QByteArray big(static_cast<qsizetype>(Limit) * 2, 'x');
    for (SaveFile &file : entries) {
        if (file.name == bigFile)
            file.bytes = big;
    }
    if (bigFile == Settings)
        settings.bytes = big;

    const QString path = dir.path();
    const ChildResult result = runInChild({Limit, false},
        [&] { return describeForParent(saveNoteFiles(path, entries, settings, makeBackup)); });
    QVERIFY2(result.notRun.isEmpty(), qPrintable(result.notRun));
    QCOMPARE(QString::fromUtf8(result.output), bigFile + u"\n"_s + systemReason(EFBIG));
    QCOMPARE(TestFiles::snapshot(dir.path()), before);
}

void tst_SaveFaults::readOnlyDirectory_failureReported_liveFilesUnchanged()
{
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    auto error
        = saveNoteFiles(dir.path(), Generations::entryFiles(0), Generations::settings(0), true);
    QVERIFY2(!error, qPrintable(describe(error)));
    const Files before = TestFiles::snapshot(dir.path());
    QVERIFY(::chmod(encoded(dir.path()).constData(), 0555) == 0);
    const auto restore = qScopeGuard([&dir] { ::chmod(encoded(dir.path()).constData(), 0700); });

    const QString path = dir.path();
    // As root, the save runs as the user nobody: root itself may write anywhere.
    const ChildResult result = runInChild({std::nullopt, true}, [&path] {
        if (::access(encoded(path).constData(), W_OK) == 0)
            return QByteArray("writable");
        if (::access(encoded(path).constData(), R_OK | X_OK) != 0)
            return QByteArray("unreachable");
        return describeForParent(
            saveNoteFiles(path, Generations::entryFiles(1), Generations::settings(1), true));
    });
    if (!result.notRun.isEmpty())
        QSKIP(qPrintable(u"running as root, which ignores permissions, and "_s + result.notRun));
    if (result.output == "writable")
        QSKIP("the directory stays writable for this user (root ignores permissions)");
    if (result.output == "unreachable")
        QSKIP("the user nobody cannot reach the temporary directory");
    // The first file the save tries to write is the first changed entry's new content: the
    // backups of unchanged entries are copied after the commit.
    const QList<SaveFile> old = Generations::entryFiles(0);
    QString firstWritten;
    for (const SaveFile &file : Generations::entryFiles(1)) {
        if (std::none_of(old.cbegin(), old.cend(), [&file](const SaveFile &o) {
                return o.name == file.name && o.bytes == file.bytes;
            })) {
            firstWritten = file.name;
            break;
        }
    }
    QCOMPARE(QString::fromUtf8(result.output), firstWritten + u"\n"_s + systemReason(EACCES));
    QCOMPARE(TestFiles::snapshot(dir.path()), before);
}

void tst_SaveFaults::hardLinkRefused_backupsCopied()
{
    // With fs.protected_hardlinks = 1 a user may not link another user's file that it cannot
    // write: the backups of root's files, saved by nobody, must be made as copies.
    if (::geteuid() != 0)
        QSKIP("needs root, to hand the directory to another user");
    if (TestFiles::read(u"/proc/sys/fs/protected_hardlinks"_s).trimmed() != "1")
        QSKIP("fs.protected_hardlinks is off, so links are not refused");
    const auto nobody = nobodyUser();
    const auto nobodyGid = nobodyGroup();
    if (!nobody || !nobodyGid)
        QSKIP("there is no user nobody");
    QTemporaryDir dir;
    QVERIFY2(dir.isValid(), qPrintable(dir.errorString()));
    const Files first {
        {u"Tab1A.tab"_s, "1a\r\n\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}, {Settings, "ini 1"}};
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        QVERIFY(TestFiles::write(dir.filePath(it.key()), it.value()));
        QVERIFY(::chmod(encoded(dir.filePath(it.key())).constData(), 0644) == 0);
    }
    QVERIFY(::chown(encoded(dir.path()).constData(), *nobody, *nobodyGid) == 0);
    QVERIFY(::chmod(encoded(dir.path()).constData(), 0755) == 0);

    const QString path = dir.path();
    const QList<SaveFile> entries {
        {u"Tab1A.tab"_s, "1a\r\nchanged\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"}};
    const ChildResult result = runInChild({std::nullopt, true}, [&] {
        return describeForParent(saveNoteFiles(path, entries, {Settings, "ini 2"}, true));
    });
    QVERIFY2(result.notRun.isEmpty(), qPrintable(result.notRun));
    QCOMPARE(result.output, QByteArray("saved"));
    QCOMPARE(TestFiles::snapshot(dir.path()),
        (Files {{u"Tab1A.tab"_s, "1a\r\nchanged\r\n"}, {u"Tab1B.tab"_s, "1b\r\n\r\n"},
            {Settings, "ini 2"}, {u"Tab1A.bak"_s, "1a\r\n\r\n"}, {u"Tab1B.bak"_s, "1b\r\n\r\n"},
            {u"TabSet.bak"_s, "ini 1"}}));
    // Copies belong to the user who made them; a link would still be root's file.
    struct stat status;
    QVERIFY(::stat(encoded(dir.filePath(u"Tab1B.bak"_s)).constData(), &status) == 0);
    QCOMPARE(status.st_uid, *nobody);
}

QTEST_GUILESS_MAIN(tst_SaveFaults)
#include "tst_SaveFaults.moc"
