#include "persist/SaveJournal.h"

#include "persist/SystemReason.h"

#include <QFileInfo>
#include <QSet>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace SaveJournal {

const QString TempPrefix = u".nokuri-save-"_s;
const QString Name = TempPrefix + u"journal"_s;

namespace {

const QString WrittenName = TempPrefix + u"journal-new"_s;
const QByteArray Header = "nokuri save journal 1\n";
const QByteArray End = "end\n";

QByteArray field(const QString &path)
{
    return path.toUtf8().toPercentEncoding();
}

QString unfield(const QByteArray &bytes)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

// The folders other than the notes folder that the steps lead into.
QStringList foreignFoldersOf(const QList<SaveStep> &steps)
{
    QSet<QString> folders;
    for (const SaveStep &step : steps) {
        for (const QString *path : {&step.from, &step.to}) {
            if (path->startsWith(u'/'))
                folders.insert(QFileInfo(*path).absolutePath());
        }
    }
    return folders.values();
}

} // namespace

QString temporaryFor(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return path.first(slash + 1) + TempPrefix + u"new-"_s + path.sliced(slash + 1);
}

QByteArray compose(const QList<SaveStep> &steps)
{
    QByteArray text = Header;
    for (const SaveStep &step : steps) {
        if (step.to.isEmpty())
            text += "remove " + field(step.from) + '\n';
        else
            text += "move " + field(step.from) + ' ' + field(step.to) + '\n';
    }
    return text + End;
}

std::optional<QList<SaveStep>> parse(const QByteArray &bytes)
{
    if (!bytes.startsWith(Header) || !bytes.endsWith(End))
        return std::nullopt;
    const QByteArray body = bytes.sliced(Header.size(), bytes.size() - Header.size() - End.size());
    QList<SaveStep> steps;
    for (const QByteArray &line : body.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2 && fields[0] == "remove" && !fields[1].isEmpty())
            steps.append({unfield(fields[1]), QString()});
        else if (fields.size() == 3 && fields[0] == "move" && !fields[1].isEmpty()
            && !fields[2].isEmpty())
            steps.append({unfield(fields[1]), unfield(fields[2])});
        else
            return std::nullopt;
    }
    return steps;
}

std::optional<SaveError> commit(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, const QStringList &foreignFolders, bool &committed)
{
    committed = false;
    if (const int error = dir.writeSynced(WrittenName, compose(steps), Directory::KeepUmask))
        return SaveError {Name, systemReason(error)};
    for (const QString &folder : foreignFolders) {
        if (const int error = syncDirectory(folder)) {
            dir.remove(WrittenName);
            return SaveError {folder, systemReason(error)};
        }
    }
    // The temporaries' names reach the disk before the record that points to them.
    int error = dir.sync();
    if (!error)
        error = dir.rename(WrittenName, Name);
    if (error) {
        dir.remove(WrittenName);
        return SaveError {dirPath, systemReason(error)};
    }
    committed = true;
    if (const int syncError = dir.sync())
        return SaveError {dirPath, systemReason(syncError)};
    return std::nullopt;
}

std::optional<SaveError> carryOut(
    const Directory &dir, const QString &dirPath, const QList<SaveStep> &steps, bool resuming)
{
    for (const SaveStep &step : steps) {
        const int error
            = step.to.isEmpty() ? dir.remove(step.from) : dir.rename(step.from, step.to);
        if (error && !(error == ENOENT && (resuming || step.to.isEmpty())))
            return SaveError {step.to.isEmpty() ? step.from : step.to, systemReason(error)};
    }
    for (const QString &folder : foreignFoldersOf(steps)) {
        if (const int error = syncDirectory(folder))
            return SaveError {folder, systemReason(error)};
    }
    // The steps reach the disk before the record's removal does, and the removal before any
    // temporary of the next save, which could otherwise meet this record after a power cut.
    int error = dir.sync();
    if (!error)
        error = dir.remove(Name);
    if (!error)
        error = dir.sync();
    if (error)
        return SaveError {dirPath, systemReason(error)};
    return std::nullopt;
}

std::optional<SaveError> finishInterrupted(
    const Directory &dir, const QString &dirPath, QStringList &names)
{
    names.clear();
    QStringList links;
    if (const int error = dir.names(names, &links))
        return SaveError {dirPath, systemReason(error)};
    if (names.contains(Name)) {
        QByteArray bytes;
        if (const int error = dir.readAll(Name, bytes))
            return SaveError {Name, systemReason(error)};
        // A record that is not complete was never committed (it is renamed into place only
        // once complete), so nothing of its save was made.
        const auto steps = parse(bytes);
        if (steps) {
            if (auto error = carryOut(dir, dirPath, *steps, true))
                return error;
        } else if (const int error = dir.remove(Name)) {
            return SaveError {Name, systemReason(error)};
        }
        names.clear();
        links.clear();
        if (const int error = dir.names(names, &links))
            return SaveError {dirPath, systemReason(error)};
    }
    // Best effort: a temporary that cannot be removed is in nobody's way, as no reader matches
    // its name, and a save replaces a temporary of the same name.
    for (const QString &name : std::as_const(names)) {
        if (name.startsWith(TempPrefix))
            dir.remove(name);
    }
    for (const QString &link : std::as_const(links)) {
        const QString target = QFileInfo(dirPath + u'/' + link).canonicalFilePath();
        if (!target.isEmpty())
            dir.remove(temporaryFor(target));
    }
    names.removeIf([](const QString &name) { return name.startsWith(TempPrefix); });
    return std::nullopt;
}

} // namespace SaveJournal
