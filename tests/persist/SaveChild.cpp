// The process that the crash tests kill. Started like the program (it first finishes or removes
// what an interrupted save left behind), it either
//  - with DIRECTORY alone: finds the generation in TabSet.ini and saves one generation after
//    the next until it is killed or its parent is gone, or
//  - with DIRECTORY NEWFILES [nobackups]: saves the entry files and TabSet.ini found in the
//    folder NEWFILES into DIRECTORY once, as a quit does.
// Each save leaves the backup copies for later and makes them after it, as the program does.

#include "Generations.h"
#include "TestFiles.h"
#include "persist/SaveEngine.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString SettingsName = u"TabSet.ini"_s;

int report(const std::optional<SaveError> &error)
{
    if (!error)
        return 0;
    std::fprintf(stderr, "%s: %s\n", qPrintable(error->fileName), qPrintable(error->reason));
    return 4;
}

std::optional<SaveError> saveAndRenew(
    const QString &dir, const QList<SaveFile> &entries, const SaveFile &settings, bool makeBackup)
{
    if (auto error
        = saveNoteFiles(dir, entries, settings, makeBackup, nullptr, BackupCopies::Later))
        return error;
    return finishSaves(dir);
}

int saveOnce(const QString &dir, const QString &newFiles, bool makeBackup)
{
    QList<SaveFile> entries;
    SaveFile settings;
    const QMap<QString, QByteArray> files = TestFiles::snapshot(newFiles);
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        if (it.key() == SettingsName)
            settings = {it.key(), it.value()};
        else
            entries.append({it.key(), it.value()});
    }
    return report(saveAndRenew(dir, entries, settings, makeBackup));
}

int saveGenerations(const QString &dir)
{
    const pid_t parent = ::getppid();
    const std::optional<qint64> start
        = Generations::settingsGeneration(TestFiles::read(QDir(dir).filePath(SettingsName)));
    if (!start) {
        std::fputs("TabSet.ini is not a complete generation\n", stderr);
        return 3;
    }
    for (qint64 generation = *start + 1; ::getppid() == parent; ++generation) {
        const auto error = saveAndRenew(dir, Generations::entryFiles(generation),
            Generations::settings(generation), Generations::backupsOn(generation));
        if (error)
            return report(error);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 4) {
        std::fputs("usage: persist_save_child DIRECTORY [NEWFILES [nobackups]]\n", stderr);
        return 2;
    }
    const QString dir = QFile::decodeName(argv[1]);
    if (const int failed = report(cleanupInterruptedSave(dir)))
        return failed;
    if (argc == 2)
        return saveGenerations(dir);
    return saveOnce(dir, QFile::decodeName(argv[2]), argc < 4);
}
