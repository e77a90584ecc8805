// The process that the recovery kill test ends with SIGKILL: a main window on a folder of notes
// that types a numbered line into the first entry every 100 ms without a pause, and saves once
// ("type") or every 1.5 s ("save"), telling its parent on stdout what it did. With "check" it
// instead starts the window once, lets it offer the recovery, takes it, and prints what the first
// entry holds.
#include "Program.h"
#include "RecordingPlatform.h"
#include "mainwin/ContentBox.h"
#include "mainwin/TabPage.h"
#include "mainwin/frmMain.h"
#include "store/clsTabCont.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Every entry of every other tab changes, so that the next save writes hundreds of files and
// takes long enough to be killed in.
void changeOtherTabs(frmMain &window, int round)
{
    for (int t = 1; t < window.tabCount(); ++t) {
        clsTabCont &record = window.tabs()[t];
        for (int j = 0; j < record.NoOfCont(); ++j)
            record.ChgCont(j, record.Cont(j).left(4000) + QString::number(round));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString dir = QString::fromLocal8Bit(argv[2]);
    RecordingPlatform platform;
    if (mode == u"check") {
        platform.questionAnswers = {0};
        const std::unique_ptr<frmMain> program = assembleProgram(platform, dir);
        frmMain &window = *program;
        window.Form_Load();
        say(u"asked %1"_s.arg(platform.questions.size()));
        say(u"content "_s + QString::fromLatin1(window.tabs()[0].Cont(0).toUtf8().toBase64()));
        return 0;
    }

    // "type" saves once, early, and then only types; "save" saves hundreds of files every
    // 1.5 s.
    const bool heavySaves = mode == u"save";
    const std::unique_ptr<frmMain> program = assembleProgram(platform, dir);
    frmMain &window = *program;
    window.Form_Load();
    window.show();
    ContentBox *box = window.page(0).txtCont();
    int line = 0;
    QTimer typing;
    QObject::connect(&typing, &QTimer::timeout, [&] {
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(u"line %1\n"_s.arg(++line));
        say(u"typed %1"_s.arg(line));
    });
    QTimer saving;
    QObject::connect(&saving, &QTimer::timeout, [&] {
        if (heavySaves)
            changeOtherTabs(window, line);
        // The typing timer runs on while the files are written: the save holds what came before.
        const int typed = line;
        say(u"saving %1"_s.arg(typed));
        if (window.SaveAll())
            say(u"saved %1"_s.arg(typed));
    });
    typing.start(100);
    saving.setSingleShot(!heavySaves);
    saving.start(heavySaves ? 1500 : 1000);
    say(u"started"_s);
    return app.exec();
}
