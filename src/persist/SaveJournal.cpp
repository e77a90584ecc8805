#include "persist/SaveJournal.h"

#include "persist/SystemReason.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace SaveJournal {

const QString TempPrefix = u".nokuri-save-"_s;
const QString Name = TempPrefix + u"journal"_s;

namespace {

const QString WrittenName = TempPrefix + u"journal-new"_s;
const QString CopiesName = TempPrefix + u"journal-copies"_s;
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
            text
                += (step.copy ? "copy " : "move ") + field(step.from) + ' ' + field(step.to) + '\n';
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
        else if (fields.size() == 3 && (fields[0] == "move" || fields[0] == "copy")
            && !fields[1].isEmpty() && !fields[2].isEmpty())
            steps.append({unfield(fields[1]), unfield(fields[2]), fields[0] == "copy"});
        else
            return std::nullopt;
    }
    return steps;
}

std::optional<SaveError> commit(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, const QStringList &foreignFolders, bool temporaries,
    bool &committed)
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
    // The temporaries' names reach the disk before the record that points to them. A record that
    // names no temporary needs none of its names: each step whose source is gone counts as made.
    int error = temporaries ? dir.sync() : 0;
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

std::optional<SaveError> carryOut(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &steps, bool resuming, BackupCopies copies)
{
    QList<SaveStep> copySteps;
    for (const SaveStep &step : steps) {
        if (step.copy) {
            copySteps.append(step);
            continue;
        }
        const int error
            = step.to.isEmpty() ? dir.remove(step.from) : dir.rename(step.from, step.to);
        if (error && !(error == ENOENT && (resuming || step.to.isEmpty())))
            return SaveError {step.to.isEmpty() ? step.from : step.to, systemReason(error)};
    }
    // Carrying the record out once more changes nothing now, so the syncs and its removal can
    // wait too.
    if (copies == BackupCopies::Later && (copySteps.isEmpty() || copySteps.size() == steps.size()))
        return std::nullopt;
    for (const QString &folder : foreignFoldersOf(steps)) {
        if (const int error = syncDirectory(folder))
            return SaveError {folder, systemReason(error)};
    }
    if (copySteps.isEmpty() || copies == BackupCopies::Now)
        return makeCopies(dir, dirPath, copySteps);
    // The renames are on disk before the record shrinks to the copies; what is left needs no
    // temporary that a later save writes again, so the record may stay while it saves.
    int error = dir.sync();
    if (!error)
        error = dir.writeSynced(CopiesName, compose(copySteps), Directory::KeepUmask);
    if (!error)
        error = dir.rename(CopiesName, Name);
    if (!error)
        error = dir.sync();
    if (error)
        return SaveError {dirPath, systemReason(error)};
    return std::nullopt;
}

std::optional<SaveError> makeCopies(const Directory &dir, const QString &dirPath,
    const QList<SaveStep> &copies, const std::function<bool()> &stopRequested)
{
    const auto stopped = [&] { return stopRequested && stopRequested(); };
    QList<std::pair<QString, QString>> made; // temporary, and the name it becomes
    for (const SaveStep &step : copies) {
        if (stopped())
            return std::nullopt;
        const QString temp = TempPrefix + u"bak-"_s + step.to;
        const int error = dir.copy(step.from, temp);
        if (error == ENOENT)
            continue;
        if (error)
            return SaveError {step.to, systemReason(error)};
        made.append({temp, step.to});
    }
    for (const auto &[temp, to] : std::as_const(made)) {
        if (stopped())
            return std::nullopt;
        if (const int error = dir.syncFile(temp))
            return SaveError {to, systemReason(error)};
    }
    for (const auto &[temp, to] : std::as_const(made)) {
        if (const int error = dir.rename(temp, to))
            return SaveError {to, systemReason(error)};
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

std::optional<QList<SaveStep>> read(const Directory &dir)
{
    QByteArray bytes;
    if (dir.readAll(Name, bytes) != 0)
        return std::nullopt;
    return parse(bytes);
}

std::optional<SaveError> finishInterrupted(const Directory &dir, const QString &dirPath,
    QStringList &names, QList<SaveStep> *pendingCopies)
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
        const bool copiesAlone = steps
            && std::all_of(
                steps->cbegin(), steps->cend(), [](const SaveStep &s) { return s.copy; });
        if (pendingCopies && copiesAlone) {
            *pendingCopies = *steps;
        } else if (steps) {
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
    const bool keepRecord = pendingCopies && !pendingCopies->isEmpty();
    for (const QString &name : std::as_const(names)) {
        if (name.startsWith(TempPrefix) && !(keepRecord && name == Name))
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
