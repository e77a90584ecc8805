// The settings reader on any TabSet.ini. Parsed alone, it must list its problems in file order
// with their own line numbers; applied through the real window offscreen, a start must not
// crash and must leave a sane window, and after one save and restart the file must be stable
// (saving what was read back gives the same bytes again).
#include "Program.h"
#include "RecordingPlatform.h"
#include "SaneState.h"
#include "mainwin/frmMain.h"
#include "persist/IniSettings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<QTemporaryDir> notes;

void require(bool ok, const QString &what)
{
    if (ok)
        return;
    std::fprintf(stderr, "settings file fuzzer: %s\n", qPrintable(what));
    std::abort();
}

void write(const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(notes->path()).filePath(name));
    require(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
        u"cannot write "_s + name);
}

QByteArray settingsAfterAStart()
{
    RecordingPlatform platform;
    const std::unique_ptr<frmMain> program = assembleProgram(platform, notes->path());
    frmMain &window = *program;
    window.Form_Load();
    const QStringList problems = saneStateProblems(window);
    require(problems.isEmpty(), problems.join(u"; "_s));
    require(window.SaveAll(), u"the save failed"_s);
    QFile settings(QDir(notes->path()).filePath(u"TabSet.ini"_s));
    require(settings.open(QIODevice::ReadOnly), u"no settings file after a save"_s);
    return settings.readAll();
}

void requireInFileOrder(const QList<IniProblem> &problems, qsizetype lineCount)
{
    qsizetype previous = 0;
    for (const IniProblem &problem : problems) {
        require(problem.line > previous && problem.line <= lineCount,
            u"problem line %1 out of order or beyond the file"_s.arg(problem.line));
        previous = problem.line;
    }
}

void parseAlone(const QByteArray &bytes)
{
    const IniSettings settings = parseIni(bytes);
    // Every line ends at CR (LF) at the latest, so no file has more lines than bytes + 1.
    const qsizetype lineCount = bytes.size() + 1;
    requireInFileOrder(settings.problems, lineCount);
    for (const IniTabSettings &tab : settings.tabs)
        requireInFileOrder(tab.problems, lineCount);
}

// Three tabs of one, two and three entries, the pages that sections and displayed entries
// refer to.
void writeEntryFiles()
{
    for (const char *name :
        {"Tab1A.tab", "Tab2A.tab", "Tab2B.tab", "Tab3A.tab", "Tab3B.tab", "Tab3C.tab"})
        write(QString::fromLatin1(name), "title\r\ncontent\r\n");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: at exit Qt's own globals go first, and a later QApplication destructor
    // would crash on them.
    new QApplication(*argc, *argv);
    // On a RAM disk where there is one: every input saves twice.
    notes = std::make_unique<QTemporaryDir>(
        QDir(u"/dev/shm"_s).exists() ? u"/dev/shm/nokuri-fuzz-XXXXXX"_s : QString());
    require(notes->isValid(), u"no temporary folder"_s);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (const QString &name : QDir(notes->path()).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(QDir(notes->path()).filePath(name));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    parseAlone(bytes);
    writeEntryFiles();
    write(u"TabSet.ini"_s, bytes);
    const QByteArray first = settingsAfterAStart();
    require(settingsAfterAStart() == first, u"the settings change from one start to the next"_s);
    return 0;
}
