#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <sys/stat.h>

// A directory opened once. Every operation takes a name inside it (or an absolute path, for
// files elsewhere) and returns 0 or the errno value of the failure.
class Directory final
{
public:
    explicit Directory(const QString &path);
    ~Directory();
    Directory(const Directory &) = delete;
    Directory &operator=(const Directory &) = delete;

    int openError() const { return m_openError; }
    // Every name but "." and ".."; `links` (when given) learns those that are symbolic links.
    int names(QStringList &result, QStringList *links = nullptr) const;
    // The file a name leads to (through symbolic links), and the name itself.
    int status(const QString &name, struct stat &result) const;
    int linkStatus(const QString &name, struct stat &result) const;
    // The directory itself.
    int ownStatus(struct stat &result) const;
    int readAll(const QString &name, QByteArray &bytes) const;

    // The following create `to` anew; a file of that name left over from an interrupted run is
    // replaced, never written into (it may be a hard link to a file that must not change).
    // A new file with exactly `bytes`; `mode` as the permissions, or KeepUmask. Its bytes are on
    // their way to the disk; syncFile() waits for them, so that many files written first and
    // synced after cost about one wait instead of one each.
    static constexpr int KeepUmask = -1;
    int write(const QString &to, const QByteArray &bytes, int mode) const;
    // write() and syncFile() in one.
    int writeSynced(const QString &to, const QByteArray &bytes, int mode) const;
    // A copy of what `from` leads to, with its permissions and modification time, on its way to
    // the disk like write(); the file system shares the blocks where it can (reflink).
    int copy(const QString &from, const QString &to) const;
    int link(const QString &from, const QString &to) const;
    int syncFile(const QString &name) const;

    int rename(const QString &from, const QString &to) const;
    int remove(const QString &name) const;
    int sync() const;

private:
    const int m_fd;
    const int m_openError;
};

// Syncs the directory at `path` (its names, not its files' bytes).
int syncDirectory(const QString &path);
