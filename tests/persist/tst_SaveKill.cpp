#include "TestFiles.h"
#include "persist/EntryFiles.h"
#include "persist/SaveEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A real saving process (persist_save_child) is killed under strace at the n-th call of each
// system call that changes a name (rename, link, unlink in all their forms), for every n up to
// the end of the save; after each kill the next start (cleanupInterruptedSave) must find one
// whole generation: the live files, TabSet.ini and the .bak files all of the old one or all of
// the new one, byte for byte.

namespace {

using Files = QMap<QString, QByteArray>;

const QString Settings = u"TabSet.ini"_s;
const QStringList NameSyscalls {
    u"rename"_s, u"renameat"_s, u"renameat2"_s, u"link"_s, u"linkat"_s, u"unlink"_s, u"unlinkat"_s};

// Tabs of entry texts as the files a save writes, plus TabSet.ini.
Files noteSet(const QList<QStringList> &tabs, const QByteArray &settings)
{
    Files files;
    for (qsizetype tab = 0; tab < tabs.size(); ++tab) {
        for (qsizetype entry = 0; entry < tabs[tab].size(); ++entry)
            files.insert(entryFileName(int(tab) + 1, int(entry)),
                entryFileBytes({tabs[tab][entry], u"content of "_s + tabs[tab][entry]}));
    }
    files.insert(Settings, settings);
    return files;
}

QList<QStringList> tabsOf(int tabs, int entries, const QString &version)
{
    QList<QStringList> result;
    for (int tab = 1; tab <= tabs; ++tab) {
        QStringList texts;
        for (int entry = 0; entry < entries; ++entry)
            texts.append(u"tab %1 entry %2 %3"_s.arg(tab).arg(QChar(u'A' + entry)).arg(version));
        result.append(texts);
    }
    return result;
}

Files asBackups(const Files &files)
{
    Files result;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        result.insert(it.key().chopped(4) + u".bak"_s, it.value());
    return result;
}

struct Scenario
{
    Files older; // the generation that the .bak files hold before the save
    Files before;
    Files after;
    bool makeBackup = true;
    QStringList linked; // live names that are symbolic links into another folder
    // `before` was saved over `older` leaving its backup copies for later, and they are not made
    // yet: the .bak files of the entries it did not change hold something staler meanwhile.
    bool copiesPending = false;
};

Scenario scenario(const Files &older, const Files &before, const Files &after,
    bool makeBackup = true, const QStringList &linked = {}, bool copiesPending = false)
{
    return {older, before, after, makeBackup, linked, copiesPending};
}

void saveLeavingCopies(const QString &dir, const Files &files)
{
    QList<SaveFile> entries;
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key() != Settings)
            entries.append({it.key(), it.value()});
    }
    const auto error = saveNoteFiles(
        dir, entries, {Settings, files.value(Settings)}, true, nullptr, BackupCopies::Later);
    QVERIFY2(!error, qPrintable(error ? error->reason : QString()));
}

// The folder as the next start finds it: the notes folder's names with their bytes (through
// links), and the link targets' folder under "elsewhere/".
Files stateOf(const QString &notes, const QString &elsewhere)
{
    Files state = TestFiles::snapshot(notes);
    const Files targets = TestFiles::snapshot(elsewhere);
    for (auto it = targets.cbegin(); it != targets.cend(); ++it)
        state.insert(u"elsewhere/"_s + it.key(), it.value());
    return state;
}

Files generation(const Scenario &s, const Files &live, const Files &backups)
{
    Files state = live;
    state.insert(asBackups(backups));
    for (const QString &name : s.linked)
        state.insert(u"elsewhere/"_s + name, live.value(name));
    return state;
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class tst_SaveKill final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtEveryNameChange_nextStartFindsOneGeneration_data();
    void killedAtEveryNameChange_nextStartFindsOneGeneration();
    void ioErrorAfterCommit_reported_nextStartFinishes();

private:
    enum class Ending { Killed, Finished, Failed };
    void reset(const Scenario &s);
    Ending runChild(const Scenario &s, const QString &inject);
    QString problemAfter(const Scenario &s, Ending ending, bool &isNew);

    QString m_strace;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_notes, m_elsewhere, m_newFiles;
};

void tst_SaveKill::initTestCase()
{
    m_strace = QStandardPaths::findExecutable(u"strace"_s);
    QVERIFY2(!m_strace.isEmpty(), "strace is missing (scripts/install-deps installs it)");
    // SIGKILL leaves the page cache as it is, so the disk plays no part: tmpfs keeps it quick.
    m_root = std::make_unique<QTemporaryDir>(QFileInfo(u"/dev/shm"_s).isWritable()
            ? u"/dev/shm/persist_SaveKill-XXXXXX"_s
            : QDir::tempPath() + u"/persist_SaveKill-XXXXXX"_s);
    QVERIFY2(m_root->isValid(), qPrintable(m_root->errorString()));
    m_notes = m_root->filePath(u"notes"_s);
    m_elsewhere = m_root->filePath(u"elsewhere"_s);
    m_newFiles = m_root->filePath(u"new"_s);
}

// Old and new generation on disk as a start and quit leave them: live files, .bak files, links.
void tst_SaveKill::reset(const Scenario &s)
{
    for (const QString &dir : {m_notes, m_elsewhere, m_newFiles}) {
        QDir(dir).removeRecursively();
        QVERIFY(QDir().mkpath(dir));
    }
    Files backups = asBackups(s.older);
    if (s.copiesPending) {
        for (auto it = backups.begin(); it != backups.end(); ++it)
            it.value().prepend("stale ");
    }
    const Files *live = s.copiesPending ? &s.older : &s.before;
    for (const Files *files : {live, &std::as_const(backups)}) {
        for (auto it = files->cbegin(); it != files->cend(); ++it) {
            const bool linked = s.linked.contains(it.key());
            const QString path = (linked ? m_elsewhere : m_notes) + u'/' + it.key();
            QVERIFY(TestFiles::write(path, it.value()));
            if (linked)
                QVERIFY(QFile::link(path, m_notes + u'/' + it.key()));
        }
    }
    if (s.copiesPending) {
        saveLeavingCopies(m_notes, s.before);
        QVERIFY(TestFiles::temporaries(m_notes).contains(u".nokuri-save-journal"_s));
    }
    for (auto it = s.after.cbegin(); it != s.after.cend(); ++it)
        QVERIFY(TestFiles::write(m_newFiles + u'/' + it.key(), it.value()));
}

tst_SaveKill::Ending tst_SaveKill::runChild(const Scenario &s, const QString &inject)
{
    QProcess strace;
    strace.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString syscall = inject.section(u':', 0, 0);
    QStringList arguments {u"-f"_s, u"-qq"_s, u"-o"_s, u"/dev/null"_s, u"-e"_s,
        u"trace="_s + syscall, u"-e"_s, u"inject="_s + inject, u"--"_s,
        QStringLiteral(PERSIST_SAVE_CHILD), m_notes, m_newFiles};
    if (!s.makeBackup)
        arguments.append(u"nobackups"_s);
    strace.start(m_strace, arguments);
    if (!strace.waitForFinished(60000))
        return Ending::Failed;
    // strace ends the way its child ended: by the same signal, or with the same exit code.
    if (strace.exitStatus() == QProcess::CrashExit)
        return Ending::Killed;
    return strace.exitCode() == 0 ? Ending::Finished : Ending::Failed;
}

QString tst_SaveKill::problemAfter(const Scenario &s, Ending ending, bool &isNew)
{
    if (const auto error = cleanupInterruptedSave(m_notes))
        return u"the next start could not finish: "_s + error->fileName + u": "_s + error->reason;
    const Files state = stateOf(m_notes, m_elsewhere);
    const Files old = generation(s, s.before, s.older);
    const Files fresh = generation(s, s.after, s.makeBackup ? s.before : s.older);
    isNew = state == fresh;
    if (state != old && !isNew)
        return u"a mix of generations: "_s + state.keys().join(u' ');
    for (const QString &name : s.linked) {
        if (!QFileInfo(m_notes + u'/' + name).isSymLink())
            return name + u" is no longer a link"_s;
    }
    if (ending == Ending::Finished && !isNew)
        return u"a save that finished left the old generation"_s;
    return QString();
}

void tst_SaveKill::killedAtEveryNameChange_nextStartFindsOneGeneration_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<int>("sampleStep"); // 1: every call

    // 6 tabs x 3 entries; the .bak files hold an older generation with one more entry.
    QList<QStringList> older = tabsOf(6, 3, u"v0"_s);
    older[5].append(u"tab 6 entry D v0"_s);
    const Files v0 = noteSet(older, "settings v0");
    const QList<QStringList> v1 = tabsOf(6, 3, u"v1"_s);
    const Files before = noteSet(v1, "settings v1");

    QList<QStringList> tabDeleted = v1;
    tabDeleted.removeAt(1);
    QList<QStringList> sorted;
    for (const int tab : {3, 0, 5, 1, 4, 2}) // tab 5 stays where it was
        sorted.append(v1[tab]);
    QList<QStringList> entryDeleted = v1;
    entryDeleted[2].removeAt(1);
    QList<QStringList> edited = v1;
    edited[0][0] = u"tab 1 entry A edited"_s;

    QTest::newRow("6x3, tab 2 deleted")
        << scenario(v0, before, noteSet(tabDeleted, "settings: tab 2 deleted")) << 1;
    QTest::newRow("6x3, tabs sorted")
        << scenario(v0, before, noteSet(sorted, "settings: sorted")) << 1;
    QTest::newRow("6x3, entry 3B deleted")
        << scenario(v0, before, noteSet(entryDeleted, "settings: 3B deleted")) << 1;
    QTest::newRow("6x3, nothing changed, backups renewed") << scenario(v0, before, before) << 1;
    QTest::newRow("6x3, tab 2 deleted, backups off")
        << scenario(v0, before, noteSet(tabDeleted, "settings: tab 2 deleted"), false) << 1;
    QTest::newRow("6x3, tab 2 deleted, backup copies of the save before pending") << scenario(
        noteSet(edited, "settings: edited"), before, noteSet(tabDeleted, "settings: tab 2 deleted"),
        true, {}, true) << 1;
    QTest::newRow("6x3, Tab1A.tab and TabSet.ini links, entry edited") << scenario(
        v0, before, noteSet(edited, "settings: edited"), true, {u"Tab1A.tab"_s, Settings})
                                                                       << 1;

    QList<QStringList> large = tabsOf(30, 26, u"v1"_s);
    const Files largeBefore = noteSet(large, "settings large v1");
    large.removeFirst();
    QTest::newRow("30x26, tab 1 deleted, a sample")
        << scenario(noteSet(tabsOf(30, 26, u"v0"_s), "settings large v0"), largeBefore,
               noteSet(large, "settings large: tab 1 deleted"))
        << 400;
}

void tst_SaveKill::killedAtEveryNameChange_nextStartFindsOneGeneration()
{
    QFETCH(Scenario, scenario);
    QFETCH(int, sampleStep);
    QElapsedTimer timer;
    timer.start();
    int kills = 0, foundNew = 0;
    QStringList counts;
    for (const QString &syscall : NameSyscalls) {
        int n = 1;
        for (;; n += n == 1 ? 1 : sampleStep) {
            reset(scenario);
            const Ending ending
                = runChild(scenario, syscall + u":signal=SIGKILL:when="_s + QString::number(n));
            QVERIFY2(ending != Ending::Failed, qPrintable(u"the save failed by itself"_s));
            bool isNew = false;
            const QString problem = problemAfter(scenario, ending, isNew);
            QVERIFY2(problem.isEmpty(),
                qPrintable(u"killed at %1 #%2: %3"_s.arg(syscall).arg(n).arg(problem)));
            if (ending == Ending::Finished)
                break;
            ++kills;
            foundNew += isNew ? 1 : 0;
        }
        if (n > 1)
            counts.append(u"%1 up to #%2"_s.arg(syscall).arg(n - 1));
    }
    qInfo("%d kills (%s), %d found the new generation, %d the old; %lld ms", kills,
        qPrintable(counts.join(u", "_s)), foundNew, kills - foundNew,
        static_cast<long long>(timer.elapsed()));
    QVERIFY(foundNew > 0 && foundNew < kills);
}

void tst_SaveKill::ioErrorAfterCommit_reported_nextStartFinishes()
{
    // The first rename of a save is the commit record's; every later one is a step after it.
    const Files before = noteSet(tabsOf(2, 2, u"v1"_s), "settings v1");
    const Scenario s = scenario(noteSet(tabsOf(2, 2, u"v0"_s), "settings v0"), before,
        noteSet(tabsOf(1, 2, u"v2"_s), "settings v2"));
    reset(s);
    QCOMPARE(runChild(s, u"renameat:error=EIO:when=2"_s), Ending::Failed);
    QVERIFY(TestFiles::temporaries(m_notes).contains(u".nokuri-save-journal"_s));
    bool isNew = false;
    const QString problem = problemAfter(s, Ending::Failed, isNew);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QVERIFY(isNew);
}

QTEST_GUILESS_MAIN(tst_SaveKill)
#include "tst_SaveKill.moc"
