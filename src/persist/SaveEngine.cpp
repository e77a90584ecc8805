#include "persist/SaveEngine.h"

#include "persist/EntryFiles.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// How a save replaces the files, and why it is crash-safe:
//  1. Every changed file is written in full to a temporary name and fsync'ed. Every live file
//     that will be replaced or removed gets a second name (a hard link, or a copy where links
//     fail) that holds its old content until the save is over, for the rollback. With backups
//     on, each live file also gets a hard link under a temporary backup name. Then the
//     directory is fsync'ed. Anything that can run out of space or permission happens here,
//     before a single live name has changed; a failure removes the temporaries and returns.
//  2. With backups on, the temporary backup names are renamed over the .bak names and the
//     stale .bak files are removed. The live files are still untouched.
//  3. The new files are renamed over the live names, live entry files that are not in the new
//     set are removed, and TabSet.ini is renamed into place last; the directory is fsync'ed.
//     rename() replaces a name atomically, so each live name holds its complete old or its
//     complete new content at every instant. Should a rename fail here, the names already
//     replaced get their old content back from the held links.
//  4. The held links are removed.
// Temporaries start with ".nokuri-save-", which no entry or settings name does, so a crash
// never leaves anything that the reader could take for a note; cleanupInterruptedSave()
// removes them at the next start. A temporary is never opened for writing while it exists,
// because one left by a crash may be a hard link to a live file: it is removed first and
// created anew with O_EXCL.

namespace {

const QString TempPrefix = u".nokuri-save-"_s;

QString newTempName(const QString &name)
{
    return TempPrefix + u"new-"_s + name;
}

QString heldTempName(const QString &name)
{
    return TempPrefix + u"old-"_s + name;
}

QString backupTempName(const QString &backupName)
{
    return TempPrefix + u"bak-"_s + backupName;
}

QString backupNameOf(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.first(dot) : name) + u".bak"_s;
}

QString reasonOf(int error)
{
    return qt_error_string(error);
}

// The directory, opened once; every operation is relative to it and returns 0 or an errno.
class Directory final
{
public:
    explicit Directory(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
        , m_openError(m_fd < 0 ? errno : 0)
    { }
    ~Directory()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Directory(const Directory &) = delete;
    Directory &operator=(const Directory &) = delete;

    int openError() const { return m_openError; }

    int names(QStringList &result) const
    {
        const int copy = ::fcntl(m_fd, F_DUPFD_CLOEXEC, 0);
        if (copy < 0)
            return errno;
        DIR *listing = ::fdopendir(copy);
        if (!listing) {
            const int error = errno;
            ::close(copy);
            return error;
        }
        ::rewinddir(listing);
        int error = 0;
        for (;;) {
            errno = 0;
            const dirent *item = ::readdir(listing);
            if (!item) {
                error = errno;
                break;
            }
            const QString name = QFile::decodeName(item->d_name);
            if (name != u"." && name != u"..")
                result.append(name);
        }
        ::closedir(listing);
        return error;
    }

    int status(const QString &name, struct stat &result) const
    {
        return ::fstatat(m_fd, encoded(name), &result, 0) == 0 ? 0 : errno;
    }

    int readAll(const QString &name, QByteArray &bytes) const
    {
        const int fd = ::openat(m_fd, encoded(name), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return errno;
        bytes.clear();
        char buffer[16384];
        int error = 0;
        for (;;) {
            const ssize_t count = ::read(fd, buffer, sizeof buffer);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                error = errno;
            if (count <= 0)
                break;
            bytes.append(buffer, count);
        }
        ::close(fd);
        return error;
    }

    // Creates `name` (which must be a temporary) with exactly `bytes` and syncs it to disk.
    // `mode` copies the permissions of the file it will replace; with KeepUmask the umask rules.
    static constexpr int KeepUmask = -1;
    int writeSynced(const QString &name, const QByteArray &bytes, int mode) const
    {
        if (const int error = remove(name))
            return error;
        const int fd = ::openat(m_fd, encoded(name), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return errno;
        int error = 0;
        if (mode != KeepUmask && ::fchmod(fd, mode_t(mode)) != 0)
            error = errno;
        qsizetype done = 0;
        while (!error && done < bytes.size()) {
            const ssize_t count
                = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (count > 0)
                done += count;
            else if (count == 0 || errno != EINTR)
                error = count == 0 ? EIO : errno;
        }
        if (!error && ::fsync(fd) != 0)
            error = errno;
        if (::close(fd) != 0 && !error)
            error = errno;
        if (error)
            remove(name);
        return error;
    }

    // Gives the content of `from` the second name `to` (a temporary): a hard link where the
    // file system allows one, else a synced copy.
    int linkOrCopy(const QString &from, const QString &to) const
    {
        if (const int error = remove(to))
            return error;
        if (::linkat(m_fd, encoded(from), m_fd, encoded(to), 0) == 0)
            return 0;
        struct stat source;
        QByteArray bytes;
        if (const int error = status(from, source))
            return error;
        if (const int error = readAll(from, bytes))
            return error;
        return writeSynced(to, bytes, int(source.st_mode & 07777));
    }

    int rename(const QString &from, const QString &to) const
    {
        return ::renameat(m_fd, encoded(from), m_fd, encoded(to)) == 0 ? 0 : errno;
    }

    // A name that is already gone counts as removed.
    int remove(const QString &name) const
    {
        return ::unlinkat(m_fd, encoded(name), 0) == 0 || errno == ENOENT ? 0 : errno;
    }

    int sync() const { return ::fsync(m_fd) == 0 ? 0 : errno; }

private:
    static QByteArray encoded(const QString &name) { return QFile::encodeName(name); }

    const int m_fd;
    const int m_openError;
};

bool isSameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Best effort: a temporary that cannot be removed is in nobody's way (no reader matches its
// name, and the next save removes it before it makes one of that name).
void removeTemporaries(const Directory &dir, const QStringList &names)
{
    for (const QString &name : names) {
        if (name.startsWith(TempPrefix))
            dir.remove(name);
    }
}

// One file of the new generation.
struct Target
{
    const SaveFile *file;
    std::optional<struct stat> live; // the live file it replaces, if there is one
    bool decided = false; // whether `changed` is known yet
    bool changed = true;
    bool backupCurrent = false; // unchanged, and its .bak holds the same bytes already

    const QString &name() const { return file->name; }
    QByteArray bytes() const { return file->encode ? file->encode() : file->bytes; }
};

class SaveRun final
{
public:
    SaveRun(const QString &path, const Directory &dir, bool makeBackup)
        : m_path(path)
        , m_dir(dir)
        , m_makeBackup(makeBackup)
    { }

    std::optional<SaveError> run(const QList<SaveFile> &entryFiles, const SaveFile &settings,
        QHash<QString, FileStamp> *stamps)
    {
        if (auto error = survey(entryFiles, settings))
            return error;
        if (auto error = prepare())
            return abort(*error);
        if (auto error = replaceBackups())
            return abort(*error);
        if (auto error = commit())
            return abort(*error);
        removeTemporaries(m_dir, m_created);
        if (stamps)
            stampsOfNewSet(*stamps);
        return std::nullopt;
    }

private:
    // Finds what is live now and which files of the new generation differ from it.
    std::optional<SaveError> survey(const QList<SaveFile> &entryFiles, const SaveFile &settings)
    {
        QStringList names;
        if (const int error = m_dir.names(names))
            return SaveError {m_path, reasonOf(error)};
        // Leftovers of an interrupted save; they may be links to live files, so they go first.
        removeTemporaries(m_dir, names);

        const QString settingsBackup = backupNameOf(settings.name);
        for (const QString &name : std::as_const(names)) {
            const bool isLive = name == settings.name || parseEntryFileName(name);
            const bool isBackup = name == settingsBackup
                || (name.endsWith(u".bak") && parseEntryFileName(name.chopped(4) + u".tab"_s));
            struct stat status;
            if ((!isLive && !isBackup) || m_dir.status(name, status) != 0
                || !S_ISREG(status.st_mode))
                continue;
            (isLive ? m_live : m_backups).insert(name, status);
        }

        for (const SaveFile &file : entryFiles)
            m_targets.append(target(file));
        m_targets.append(target(settings));
        QSet<QString> newNames;
        for (qsizetype i = 0; i < m_targets.size(); ++i) {
            newNames.insert(m_targets[i].name());
            m_targetOf.insert(m_targets[i].name(), i);
        }
        for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
            if (!newNames.contains(it.key()))
                m_removed.append(it.key());
        }
        m_removed.sort();
        return std::nullopt;
    }

    Target target(const SaveFile &file) const
    {
        Target t {&file, std::nullopt};
        const auto live = m_live.constFind(file.name);
        if (live == m_live.cend())
            return t;
        t.live = *live;
        if (file.heldBy && FileStamp::of(*live) == *file.heldBy) {
            t.decided = true;
            t.changed = false;
        }
        return t;
    }

    // Whether the backup already holds the bytes of the unchanged live file: it is the same
    // file (a link made by an earlier save) or, where links fail, a copy with those bytes.
    // `bytes` are the live file's, when at hand.
    bool backupHolds(const QString &name, const struct stat &live, const QByteArray *bytes) const
    {
        const auto current = m_backups.constFind(backupNameOf(name));
        if (current == m_backups.cend())
            return false;
        if (isSameFile(*current, live))
            return true;
        if (current->st_size != live.st_size)
            return false;
        QByteArray liveBytes;
        if (!bytes && m_dir.readAll(name, liveBytes) != 0)
            return false;
        QByteArray held;
        return m_dir.readAll(current.key(), held) == 0 && held == (bytes ? *bytes : liveBytes);
    }

    // Decides whether the file changes, and writes it to its temporary if it does. Its bytes
    // are made here and dropped when done, so a save never holds the whole tab set encoded.
    int write(Target &t)
    {
        if (t.decided) {
            t.backupCurrent = m_makeBackup && !t.changed && backupHolds(t.name(), *t.live, nullptr);
            return 0;
        }
        const QByteArray bytes = t.bytes();
        QByteArray current;
        t.decided = true;
        t.changed = !(t.live && t.live->st_size == bytes.size()
            && m_dir.readAll(t.name(), current) == 0 && current == bytes);
        if (!t.changed) {
            t.backupCurrent = m_makeBackup && backupHolds(t.name(), *t.live, &bytes);
            return 0;
        }
        const QString temp = created(newTempName(t.name()));
        const int mode = t.live ? int(t.live->st_mode & 07777) : Directory::KeepUmask;
        return m_dir.writeSynced(temp, bytes, mode);
    }

    // Step 1: nothing live changes here.
    std::optional<SaveError> prepare()
    {
        bool touched = false;
        for (Target &t : m_targets) {
            if (const int error = write(t))
                return SaveError {t.name(), reasonOf(error)};
            touched = touched || t.changed;
        }
        for (auto it = m_live.cbegin(); it != m_live.cend(); ++it) {
            const QString &name = it.key();
            const auto target = m_targetOf.constFind(name);
            const Target *unchanged = target != m_targetOf.cend() && !m_targets[*target].changed
                ? &m_targets[*target]
                : nullptr;
            if (!unchanged) {
                if (const int error = m_dir.linkOrCopy(name, created(heldTempName(name))))
                    return SaveError {name, reasonOf(error)};
                touched = true;
            }
            if (!m_makeBackup)
                continue;
            const QString backup = backupNameOf(name);
            if (unchanged && unchanged->backupCurrent)
                continue;
            if (const int error = m_dir.linkOrCopy(name, created(backupTempName(backup))))
                return SaveError {backup, reasonOf(error)};
            m_pendingBackups.append(backup);
            touched = true;
        }
        if (touched) {
            if (const int error = m_dir.sync())
                return SaveError {m_path, reasonOf(error)};
        }
        m_needsSync = touched;
        return std::nullopt;
    }

    // Step 2: the .bak files become the generation that is live now.
    std::optional<SaveError> replaceBackups()
    {
        if (!m_makeBackup)
            return std::nullopt;
        for (const QString &backup : std::as_const(m_pendingBackups)) {
            if (const int error = m_dir.rename(backupTempName(backup), backup))
                return SaveError {backup, reasonOf(error)};
        }
        QSet<QString> wanted;
        for (auto it = m_live.cbegin(); it != m_live.cend(); ++it)
            wanted.insert(backupNameOf(it.key()));
        for (auto it = m_backups.cbegin(); it != m_backups.cend(); ++it) {
            if (wanted.contains(it.key()))
                continue;
            if (const int error = m_dir.remove(it.key()))
                return SaveError {it.key(), reasonOf(error)};
            m_needsSync = true;
        }
        return std::nullopt;
    }

    // Step 3: the new generation goes live, the settings file last.
    std::optional<SaveError> commit()
    {
        const Target &settings = m_targets.constLast();
        for (const Target &t : std::as_const(m_targets)) {
            if (&t == &settings)
                break;
            if (auto error = replace(t))
                return error;
        }
        for (const QString &name : std::as_const(m_removed)) {
            if (const int error = m_dir.remove(name)) {
                SaveError failure {name, reasonOf(error)};
                rollBack(failure);
                return failure;
            }
            m_done.append({name, true});
            m_needsSync = true;
        }
        if (auto error = replace(settings))
            return error;
        if (m_needsSync) {
            if (const int error = m_dir.sync())
                return SaveError {m_path, reasonOf(error)};
        }
        return std::nullopt;
    }

    std::optional<SaveError> replace(const Target &t)
    {
        if (!t.changed)
            return std::nullopt;
        if (const int error = m_dir.rename(newTempName(t.name()), t.name())) {
            SaveError failure {t.name(), reasonOf(error)};
            rollBack(failure);
            return failure;
        }
        m_done.append({t.name(), t.live.has_value()});
        return std::nullopt;
    }

    // Taken last: the renames and links of this save change the stamps too.
    void stampsOfNewSet(QHash<QString, FileStamp> &stamps) const
    {
        stamps.clear();
        for (const Target &t : m_targets) {
            struct stat status;
            if (m_dir.status(t.name(), status) == 0)
                stamps.insert(t.name(), FileStamp::of(status));
        }
    }

    // Puts the old content back under the live names replaced so far, newest first.
    void rollBack(SaveError &failure)
    {
        for (auto it = m_done.crbegin(); it != m_done.crend(); ++it) {
            const int error = it->hadLive ? m_dir.rename(heldTempName(it->name), it->name)
                                          : m_dir.remove(it->name);
            if (error)
                failure.reason
                    += u"; "_s + it->name + u" could not be restored: "_s + reasonOf(error);
        }
        m_done.clear();
        m_dir.sync();
    }

    SaveError abort(const SaveError &error)
    {
        removeTemporaries(m_dir, m_created);
        return error;
    }

    const QString &created(const QString &temp)
    {
        m_created.append(temp);
        return m_created.constLast();
    }

    struct Done
    {
        QString name;
        bool hadLive; // the name held a live file before (else it is new)
    };

    const QString &m_path;
    const Directory &m_dir;
    const bool m_makeBackup;
    QHash<QString, struct stat> m_live; // live entry files and settings file now
    QHash<QString, struct stat> m_backups; // .bak files of entries and of the settings file now
    QList<Target> m_targets; // the entry files, then the settings file
    QHash<QString, qsizetype> m_targetOf; // name -> index in m_targets
    QStringList m_removed; // live entry files not in the new set
    QStringList m_pendingBackups; // backups waiting under their temporary names
    QStringList m_created; // temporaries made by this save
    QList<Done> m_done; // live names changed so far, for the rollback
    bool m_needsSync = false;
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
    const SaveFile &settings, bool makeBackup, QHash<QString, FileStamp> *stamps)
{
    if (auto error = checkNames(entryFiles, settings))
        return error;
    const Directory directory(dir);
    if (directory.openError())
        return SaveError {dir, reasonOf(directory.openError())};
    return SaveRun(dir, directory, makeBackup).run(entryFiles, settings, stamps);
}

void cleanupInterruptedSave(const QString &dir)
{
    const Directory directory(dir);
    QStringList names;
    if (directory.openError() || directory.names(names) != 0)
        return;
    removeTemporaries(directory, names);
}
