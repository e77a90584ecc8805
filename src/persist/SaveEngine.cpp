#include "persist/SaveEngine.h"

#include "persist/Directory.h"
#include "persist/EntryFiles.h"
#include "persist/SaveJournal.h"
#include "persist/SystemReason.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

// How a save replaces the files, and why the folder holds one whole generation at every instant:
//  1. Prepare. Each file whose bytes change is written in full under a temporary name beside
//     the file it replaces. With backups on, the old content of each live file that is about
//     to be replaced gets a temporary backup name: a hard link to the live file (its old inode
//     becomes the backup, no bytes are copied), or a copy when the live file is reached through
//     a symbolic link. Every file written or copied is fsync'ed once all are written: the disk
//     then takes them in one go, where a sync after each file would wait for the journal every
//     time. Nothing that the reader sees has changed yet; anything that can run out of space or
//     permission happens here, and a failure removes the temporaries.
//  2. Commit. The steps still to do are written to a record (SaveJournal): renames of the
//     temporaries over the live and .bak names, removal of live entry files that are not in the
//     new set (with backups on, they are renamed to their .bak names) and of stale .bak files,
//     and copies of unchanged live files over their .bak names (a .bak with the live file's size
//     and modification time already holds its bytes and stays). The record is written under a
//     temporary name and fsync'ed, the folders holding temporaries are fsync'ed, the record is
//     renamed to ".nokuri-save-journal" and the notes folder fsync'ed: from then on the save is
//     done, whatever happens.
//  3. Carry out. The renames and removals are made and the folders fsync'ed. Then the copies:
//     each is written under a temporary name, all are fsync'ed, renamed over the .bak names, the
//     folder fsync'ed, the record removed and the folder fsync'ed again.
// The copies are most of a save's work when it follows one that changed many files (each .bak
// of those must become the file that is live now), so with BackupCopies::Later they wait: once
// the renames are on disk, the record is replaced by one of the copies alone and the save
// returns; finishSaves() makes them later, in another thread. A save without copies leaves its
// record, carried out, for finishSaves() too, which syncs the folders and removes it. A copy's
// source is a live file that the save did not change, so the copy gives the same bytes whenever it
// is made, and the copies need no temporary that was written before the commit. A record of copies
// alone may therefore stay while the next save prepares: if that save is interrupted before its
// commit, carrying out the record still gives the generation before it, and its own record, which
// holds every copy still needed (it renews every .bak), replaces the old one in its commit. Each
// step is idempotent and independent of the others: no step's source is another step's destination,
// a rename whose source is gone was made, a removal of a name that is gone too, a copy whose source
// is gone is not made. So after a kill or a power cut there is either no record (the old
// generation, live and .bak, untouched; the temporaries are removed) or a record whose temporaries
// are all on disk, and carrying it out to the end, at the next start before anything is read or at
// the next save, gives the new generation. Which steps had reached the disk before a power cut does
// not matter, so nothing relies on the file system writing names in the order they were changed.
// The fsyncs in order: each temporary's bytes; the folders holding temporaries and the
// record's temporary (a save that wrote no temporary skips the notes folder's sync here: its
// record names only files that were there before it, none that it must find after a power cut);
// the notes folder after the record's rename (the commit); the folders
// after the renames and removals; the copies' bytes; the notes folder after their renames and
// after the record's removal (so that a record never reappears beside the temporaries of the
// next save).
// A hard link between a live file and its backup exists only during one save (or, after a
// kill, until the next start): afterwards every file has an inode of its own. A .bak that is
// still a link to its live file is copied before the save returns.
// A live name that is a symbolic link to a file in another folder is written through: its
// temporary lies beside the target and the step renames it over the target (both folders are
// synced), so the link stays; its .bak is a copy in the notes folder. A link into the notes
// folder itself, or one to a file that another name already leads to, is replaced by a file.
// Temporaries start with ".nokuri-save-", which no entry or settings name does.

namespace {

using SaveJournal::TempPrefix;

QString backupNameOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.first(dot) : name) + u".bak"_s;
}

bool isSameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A live entry file or settings file.
struct Live
{
    struct stat status; // of the content: a link's target
    bool isLink = false;
    QString writeTo; // where new content goes: the name itself, or the link's target (absolute)
};

// One file of the new generation.
struct Target
{
    const SaveFile *file;
    const Live *live; // the live file it replaces, if there is one
    bool decided = false; // whether `changed` is known yet
    bool changed = true;

    const QString &name() const { return file->name; }
    QByteArray bytes() const { return file->encode ? file->encode() : file->bytes; }
};

class SaveRun final
{
public:
    SaveRun(const QString &path, const Directory &dir, bool makeBackup, BackupCopies copies,
        const QHash<QString, LiveFile> *looked)
        : m_path(path)
        , m_dir(dir)
        , m_makeBackup(makeBackup)
        , m_copies(copies)
        , m_looked(looked)
    { }

    std::optional<SaveError> run(const QList<SaveFile> &entryFiles, const SaveFile &settings,
        QHash<QString, FileStamp> *stamps)
    {
        QStringList names;
        // The copies that an earlier save left are among those this one would make (with
        // backups on it renews every .bak), so its record takes their place.
        const bool takeOver = m_makeBackup && m_copies == BackupCopies::Later;
        QList<SaveStep> pending;
        if (auto error
            = SaveJournal::finishInterrupted(m_dir, m_path, names, takeOver ? &pending : nullptr))
            return error;
        for (const SaveStep &step : std::as_const(pending))
            m_pending.insert(step.to);
        if (auto error = survey(names, entryFiles, settings))
            return error;
        if (auto error = prepare())
            return abort(*error);
        if (!m_steps.isEmpty() && !pendingRecordSuffices()) {
            bool committed = false;
            if (auto error = SaveJournal::commit(
                    m_dir, m_path, m_steps, foreignFolders(), !m_created.isEmpty(), committed))
                return committed ? *error : abort(*error);
            if (auto error = SaveJournal::carryOut(m_dir, m_path, m_steps, false, m_copies))
                return error;
        } else if (m_steps.isEmpty() && !m_pending.isEmpty()) {
            // The earlier save's copies are all made.
            if (auto error = SaveJournal::carryOut(m_dir, m_path, {}, false))
                return error;
        }
        if (stamps)
            stampsOfNewSet(*stamps);
        return std::nullopt;
    }

private:
    // Finds what is live now and which files of the new generation may differ from it.
    std::optional<SaveError> survey(
        const QStringList &names, const QList<SaveFile> &entryFiles, const SaveFile &settings)
    {
        struct stat folder;
        if (const int error = m_dir.ownStatus(folder))
            return SaveError {m_path, systemReason(error)};
        const QString settingsBackup = backupNameOf(settings.name);
        QSet<QString> linkTargets;
        for (const QString &name : names) {
            const bool isLive = name == settings.name || parseEntryFileName(name);
            const bool isBackup = name == settingsBackup
                || (name.endsWith(u".bak") && parseEntryFileName(name.chopped(4) + u".tab"_s));
            if (!isLive && !isBackup)
                continue;
            if (const LiveFile *seen = lookedAt(name)) {
                m_live.insert(name,
                    {seen->status, seen->isLink,
                        seen->isLink ? writeThrough(name, folder, linkTargets) : name});
                continue;
            }
            struct stat own;
            if (m_dir.linkStatus(name, own) != 0)
                continue;
            if (S_ISDIR(own.st_mode)) {
                m_directories.insert(name);
            } else if (isBackup) {
                m_backups.insert(name, own);
            } else if (S_ISREG(own.st_mode)) {
                m_live.insert(name, {own, false, name});
            } else if (struct stat target; S_ISLNK(own.st_mode) && m_dir.status(name, target) == 0
                       && S_ISREG(target.st_mode)) {
                m_live.insert(name, {target, true, writeThrough(name, folder, linkTargets)});
            }
        }

        m_targets.reserve(entryFiles.size() + 1);
        for (const SaveFile &file : entryFiles)
            m_targets.append(target(file));
        m_targets.append(target(settings));
        for (const Target &t : std::as_const(m_targets)) {
            if (m_directories.contains(t.name()))
                return SaveError {t.name(), systemReason(EISDIR)};
            m_newNames.insert(t.name());
        }
        return std::nullopt;
    }

    const LiveFile *lookedAt(const QString &name) const
    {
        if (!m_looked)
            return nullptr;
        const auto seen = m_looked->constFind(name);
        return seen == m_looked->cend() ? nullptr : &*seen;
    }

    // Where new content for the link `name` goes: its target, when that lies in another folder
    // and no other link leads there; else the name itself, which then becomes a file.
    QString writeThrough(const QString &name, const struct stat &notesFolder, QSet<QString> &taken)
    {
        const QString target = QFileInfo(m_path + u'/' + name).canonicalFilePath();
        struct stat folder;
        if (target.isEmpty() || taken.contains(target)
            || m_dir.status(QFileInfo(target).absolutePath(), folder) != 0
            || isSameFile(folder, notesFolder))
            return name;
        taken.insert(target);
        return target;
    }

    Target target(const SaveFile &file) const
    {
        const auto live = m_live.constFind(file.name);
        Target t {&file, live == m_live.cend() ? nullptr : &*live};
        if (t.live && file.heldBy && FileStamp::of(t.live->status) == *file.heldBy) {
            t.decided = true;
            t.changed = false;
        }
        return t;
    }

    // Decides whether the file changes, by its bytes where its stamp did not tell. Its bytes
    // are made here and dropped when done, so a save never holds the whole tab set encoded.
    void decide(Target &t, QByteArray &bytes) const
    {
        if (t.decided)
            return;
        bytes = t.bytes();
        QByteArray current;
        t.decided = true;
        t.changed = !(t.live && t.live->status.st_size == bytes.size()
            && m_dir.readAll(t.name(), current) == 0 && current == bytes);
    }

    // Step 1: nothing that the reader sees changes here.
    std::optional<SaveError> prepare()
    {
        for (Target &t : m_targets) {
            QByteArray bytes;
            decide(t, bytes);
            if (t.changed) {
                if (auto error = writeNew(t, bytes))
                    return error;
            } else if (m_makeBackup && !backupHolds(t.name(), *t.live)) {
                if (auto error = renewBackup(t.name(), *t.live))
                    return error;
            }
        }
        for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
            if (!m_newNames.contains(it.key()))
                m_removed.append(it.key());
        }
        m_removed.sort();
        for (const QString &name : std::as_const(m_removed)) {
            if (auto error = retire(name, *m_live.constFind(name)))
                return error;
        }
        if (m_makeBackup)
            removeStaleBackups();
        for (const auto &[temp, name] : std::as_const(m_unsynced)) {
            if (const int error = m_dir.syncFile(temp))
                return SaveError {name, systemReason(error)};
        }
        // The settings file last, as the old program did: nothing depends on it any more.
        std::stable_partition(m_steps.begin(), m_steps.end(),
            [this](const SaveStep &step) { return !m_settingsSteps.contains(step.from); });
        return std::nullopt;
    }

    std::optional<SaveError> writeNew(const Target &t, const QByteArray &bytes)
    {
        const QString &to = t.live ? t.live->writeTo : t.name();
        const QString temp = SaveJournal::temporaryFor(to);
        const int mode = t.live ? int(t.live->status.st_mode & 07777) : Directory::KeepUmask;
        if (const int error = m_dir.write(temp, bytes, mode))
            return SaveError {t.name(), systemReason(error)};
        m_created.append(temp);
        m_unsynced.append({temp, t.name()});
        if (to.startsWith(u'/'))
            m_foreignFolders.insert(QFileInfo(to).absolutePath());
        step(t.name(), {temp, to});
        if (m_makeBackup && t.live)
            return keepOld(t.name(), *t.live, true);
        return std::nullopt;
    }

    // The old content of live file `name` under a temporary backup name, and the step that
    // makes it the .bak. When the live file is `replaced`, its own inode can serve.
    std::optional<SaveError> keepOld(const QString &name, const Live &live, bool replaced)
    {
        const QString backup = backupNameOf(name);
        if (m_directories.contains(backup))
            return SaveError {backup, systemReason(EISDIR)};
        const QString temp = TempPrefix + u"bak-"_s + backup;
        const auto current = m_backups.constFind(backup);
        // Renaming a name over another name of the same file changes nothing, so a .bak that
        // is still a hard link to the live file (as older versions left it) is given a copy.
        const bool linkable = replaced && !live.isLink
            && !(current != m_backups.cend() && isSameFile(*current, live.status));
        // Where links are refused (protected_hardlinks, file systems without them), a copy.
        if (!linkable || m_dir.link(name, temp) != 0) {
            if (const int error = m_dir.copy(name, temp))
                return SaveError {backup, systemReason(error)};
            m_unsynced.append({temp, backup});
        }
        m_created.append(temp);
        step(name, {temp, backup});
        return std::nullopt;
    }

    // The .bak of an unchanged live file becomes a copy of it after the other steps: the file
    // stays as it is, so the copy can wait until the window is free again. A .bak that is still
    // a hard link to the live file (as older versions left it) is given its copy now, so that
    // no .bak shares its file with a live one once the save has returned.
    std::optional<SaveError> renewBackup(const QString &name, const Live &live)
    {
        const QString backup = backupNameOf(name);
        if (m_directories.contains(backup))
            return SaveError {backup, systemReason(EISDIR)};
        const auto current = m_backups.constFind(backup);
        if (current != m_backups.cend() && isSameFile(*current, live.status))
            return keepOld(name, live, false);
        m_steps.append({name, backup, true});
        return std::nullopt;
    }

    // Whether the record that an earlier save left already holds every step of this one: then
    // this save has nothing to commit.
    bool pendingRecordSuffices() const
    {
        return !m_pending.isEmpty()
            && std::all_of(m_steps.cbegin(), m_steps.cend(),
                [this](const SaveStep &s) { return s.copy && m_pending.contains(s.to); });
    }

    // A .bak holds an unchanged live file's bytes when it is a file of its own with the same
    // size and modification time: the copies that a save makes take the time of their source.
    bool backupHolds(const QString &name, const Live &live) const
    {
        const auto backup = m_backups.constFind(backupNameOf(name));
        return backup != m_backups.cend() && S_ISREG(backup->st_mode)
            && !isSameFile(*backup, live.status) && backup->st_size == live.status.st_size
            && backup->st_mtim.tv_sec == live.status.st_mtim.tv_sec
            && backup->st_mtim.tv_nsec == live.status.st_mtim.tv_nsec;
    }

    // A live entry file that is not in the new set: with backups on it becomes its .bak.
    std::optional<SaveError> retire(const QString &name, const Live &live)
    {
        const QString backup = backupNameOf(name);
        const auto current = m_backups.constFind(backup);
        if (m_makeBackup && m_directories.contains(backup))
            return SaveError {backup, systemReason(EISDIR)};
        if (!m_makeBackup || (current != m_backups.cend() && isSameFile(*current, live.status))
            || (live.isLink && backupHolds(name, live)))
            step(name, {name, QString()});
        else if (!live.isLink)
            step(name, {name, backup});
        else if (auto error = keepOld(name, live, false))
            return error;
        else
            step(name, {name, QString()});
        return std::nullopt;
    }

    // The .bak files of names that are not live now: the backups hold only the old generation.
    void removeStaleBackups()
    {
        QSet<QString> wanted;
        for (auto it = m_live.cbegin(); it != m_live.cend(); ++it)
            wanted.insert(backupNameOf(it.key()));
        QStringList stale;
        for (auto it = m_backups.cbegin(); it != m_backups.cend(); ++it) {
            if (!wanted.contains(it.key()))
                stale.append(it.key());
        }
        stale.sort();
        for (const QString &backup : std::as_const(stale))
            m_steps.append({backup, QString()});
    }

    void step(const QString &name, const SaveStep &s)
    {
        if (name == m_targets.constLast().name())
            m_settingsSteps.insert(s.from);
        m_steps.append(s);
    }

    QStringList foreignFolders() const { return m_foreignFolders.values(); }

    // Taken last for the files this save wrote: its renames change their stamps. A file it left
    // alone keeps the stamp the survey saw; should someone have changed it since, the next look
    // at the folder finds a stamp it does not know and compares the bytes.
    void stampsOfNewSet(QHash<QString, FileStamp> &stamps) const
    {
        stamps.clear();
        for (const Target &t : m_targets) {
            struct stat status;
            if (!t.changed)
                stamps.insert(t.name(), FileStamp::of(t.live->status));
            else if (m_dir.status(t.name(), status) == 0)
                stamps.insert(t.name(), FileStamp::of(status));
        }
    }

    SaveError abort(const SaveError &error)
    {
        for (const QString &temp : std::as_const(m_created))
            m_dir.remove(temp);
        return error;
    }

    const QString &m_path;
    const Directory &m_dir;
    const bool m_makeBackup;
    const BackupCopies m_copies;
    const QHash<QString, LiveFile> *m_looked; // the live files as the caller's look found them
    QSet<QString> m_pending; // the backups that an earlier save left to copy
    QHash<QString, Live> m_live; // live entry files and settings file now
    QHash<QString, struct stat> m_backups; // .bak files of entries and settings now, as names
    QList<Target> m_targets; // the entry files, then the settings file
    QSet<QString> m_newNames;
    QSet<QString> m_directories; // entry, settings and .bak names taken by directories
    QStringList m_removed; // live entry files not in the new set
    QList<SaveStep> m_steps;
    QSet<QString> m_settingsSteps; // sources of the settings file's steps
    QStringList m_created; // temporaries made by this save
    QList<std::pair<QString, QString>> m_unsynced; // temporaries written, and whose they are
    QSet<QString> m_foreignFolders; // folders of link targets that hold temporaries
};

std::optional<SaveError> checkNames(const QList<SaveFile> &entryFiles, const SaveFile &settings)
{
    QSet<QString> seen;
    for (const SaveFile &file : entryFiles) {
        if (!parseEntryFileName(file.name))
            return SaveError {file.name, u"not an entry file name"_s};
        if (seen.contains(file.name))
            return SaveError {file.name, u"given twice"_s};
        seen.insert(file.name);
    }
    const QString &name = settings.name;
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/')
        || name.startsWith(TempPrefix) || name.endsWith(u".bak") || parseEntryFileName(name))
        return SaveError {name, u"not a settings file name"_s};
    return std::nullopt;
}

} // namespace

std::optional<SaveError> saveNoteFiles(const QString &dir, const QList<SaveFile> &entryFiles,
    const SaveFile &settings, bool makeBackup, QHash<QString, FileStamp> *stamps,
    BackupCopies copies, const QHash<QString, LiveFile> *looked)
{
    if (auto error = checkNames(entryFiles, settings))
        return error;
    const Directory directory(dir);
    if (directory.openError())
        return SaveError {dir, systemReason(directory.openError())};
    return SaveRun(dir, directory, makeBackup, copies, looked).run(entryFiles, settings, stamps);
}

std::optional<SaveError> cleanupInterruptedSave(const QString &dir)
{
    const Directory directory(dir);
    if (directory.openError())
        return SaveError {dir, systemReason(directory.openError())};
    QStringList names;
    return SaveJournal::finishInterrupted(directory, dir, names);
}

std::optional<SaveError> finishSaves(const QString &dir, const std::function<bool()> &stopRequested)
{
    const Directory directory(dir);
    if (directory.openError())
        return SaveError {dir, systemReason(directory.openError())};
    const auto steps = SaveJournal::read(directory);
    if (!steps)
        return std::nullopt;
    if (std::all_of(steps->cbegin(), steps->cend(), [](const SaveStep &s) { return s.copy; }))
        return SaveJournal::makeCopies(directory, dir, *steps, stopRequested);
    return SaveJournal::carryOut(directory, dir, *steps, true);
}
