#include "persist/ConflictCopies.h"

#include "persist/Directory.h"
#include "persist/DurableFile.h"
#include "persist/SystemReason.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

constexpr auto ConflictsFolder = "conflicts";

// A folder of its own, made here: copies of two saves never mix.
std::optional<SaveError> makeNewFolder(const QDir &parent, const QString &stamp, QString &made)
{
    for (int attempt = 1;; ++attempt) {
        const QString name = attempt == 1 ? stamp : u"%1 %2"_s.arg(stamp).arg(attempt);
        const QString path = parent.filePath(name);
        if (::mkdir(QFile::encodeName(path).constData(), 0777) == 0) {
            made = path;
            return std::nullopt;
        }
        if (errno != EEXIST)
            return SaveError {path, systemReason(errno)};
    }
}

} // namespace

std::optional<SaveError> keepConflictCopies(
    const QString &dir, const QList<ConflictFile> &files, const QDateTime &when, QString &folder)
{
    const QDir notes(dir);
    const QString conflicts = notes.filePath(QString::fromLatin1(ConflictsFolder));
    if (::mkdir(QFile::encodeName(conflicts).constData(), 0777) != 0 && errno != EEXIST)
        return SaveError {conflicts, systemReason(errno)};
    if (auto error = makeNewFolder(QDir(conflicts), when.toString(u"yyyy-MM-dd HHmmss"_s), folder))
        return error;
    const QDir target(folder);
    for (const ConflictFile &file : files) {
        if (auto reason = replaceFileDurably(target.filePath(file.name),
                target.filePath(u".nokuri-copy-"_s + file.name), file.bytes))
            return SaveError {target.filePath(file.name), *reason};
    }
    if (const int error = syncDirectory(conflicts))
        return SaveError {conflicts, systemReason(error)};
    if (const int error = syncDirectory(dir))
        return SaveError {dir, systemReason(error)};
    return std::nullopt;
}
