// The process that the crash test kills at random moments: it starts like the program does
// (removing what an interrupted save left behind), finds the generation in TabSet.ini and then
// saves one generation after the next until it is killed or its parent is gone.

#include "Generations.h"
#include "persist/SaveEngine.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: persist_save_child DIRECTORY\n", stderr);
        return 2;
    }
    const pid_t parent = ::getppid();
    const QString dir = QFile::decodeName(argv[1]);
    cleanupInterruptedSave(dir);
    QFile settings(QDir(dir).filePath(u"TabSet.ini"_s));
    if (!settings.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "TabSet.ini: %s\n", qPrintable(settings.errorString()));
        return 3;
    }
    const std::optional<qint64> start = Generations::settingsGeneration(settings.readAll());
    if (!start) {
        std::fputs("TabSet.ini is not a complete generation\n", stderr);
        return 3;
    }
    for (qint64 generation = *start + 1; ::getppid() == parent; ++generation) {
        const auto error = saveNoteFiles(dir, Generations::entryFiles(generation),
            Generations::settings(generation), Generations::backupsOn(generation));
        if (error) {
            std::fprintf(
                stderr, "%s: %s\n", qPrintable(error->fileName), qPrintable(error->reason));
            return 4;
        }
    }
    return 0;
}
