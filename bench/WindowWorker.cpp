#include "WindowWorker.h"

#include "Floors.h"
#include "IdleWakeups.h"
#include "Median.h"
#include "PeakMemory.h"
#include "Program.h"
#include "SaveWatch.h"
#include "SearchTimer.h"
#include "mainwin/ContentBox.h"
#include "mainwin/NoteFiles.h"
#include "mainwin/RecoveryFile.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabRows.h"
#include "mainwin/TabStrip.h"
#include "mainwin/frmMain.h"
#include "platform/QtPlatformServices.h"
#include "store/clsTabCont.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QThread>
#include <QWindow>
#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

constexpr int SaveRuns = 5;
constexpr int IdleMs = 15000;
constexpr int IdleSettleMs = 6000;
// Qt's pixmap cache ages its entries out on a 30-second timer that runs on for a while after the
// window hides; the program has to wait that long before it sleeps as it does all day.
constexpr int HiddenSettleMs = 40000;

qint64 timed(const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed();
}

// Lets the window handle what the last step posted (layout, paint) and paints it now.
void settle(QWidget &window)
{
    QCoreApplication::processEvents();
    window.repaint();
}

void waitUntilExposed(QWidget &window)
{
    QElapsedTimer waited;
    waited.start();
    while (!window.windowHandle() || !window.windowHandle()->isExposed()) {
        if (waited.elapsed() > 20000)
            throw std::runtime_error("the window was never exposed");
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    settle(window);
}

void toggleMark(clsTabCont &record, int entry)
{
    static const QString Mark = u"★"_s;
    const QString content = record.Cont(entry);
    record.ChgCont(entry, content.endsWith(Mark) ? content.chopped(1) : content + Mark);
}

// Changes every entry of every tab (a full save must write each file) and shows the change.
void changeEverything(frmMain &window)
{
    for (int t = 0; t < window.tabCount(); ++t) {
        for (int j = 0; j < window.tabs()[t].NoOfCont(); ++j)
            toggleMark(window.tabs()[t], j);
    }
    window.tabs()[window.selectedTab()].DispCont(window.selectedTab());
}

// The files that a save of one changed entry writes: that entry's and the settings.
QList<NoteSet::File> oneEntryFiles(const QString &notes)
{
    QList<NoteSet::File> files = Floors::liveFilesIn(notes);
    files.removeIf([](const NoteSet::File &file) {
        return file.name != u"Tab1A.tab" && file.name != u"TabSet.ini";
    });
    return files;
}

void report(QTextStream &out, const char *key, qint64 value)
{
    out << key << ' ' << value << Qt::endl;
}

void open(frmMain &window)
{
    window.Form_Load();
    window.show();
    waitUntilExposed(window);
}

void save(frmMain &window)
{
    if (!window.SaveAll())
        throw std::runtime_error("a save failed");
}

void pressTab(frmMain &window, int index)
{
    TabRows *bar = window.tabMain().tabBar();
    const QPointF at = bar->tabRect(index).center();
    const QPointF global = bar->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {});
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, {}, {});
    QCoreApplication::sendEvent(bar, &press);
    QCoreApplication::sendEvent(bar, &release);
}

void chooseEntry(frmMain &window, int tab, int entry)
{
    QComboBox *titles = window.page(tab).cboTitle();
    titles->setCurrentIndex(entry);
    emit titles->activated(entry);
}

} // namespace

WindowWorker::WindowWorker(const QString &notesDir, const QString &scratchDir, bool withSwitches)
    : m_notesDir(notesDir)
    , m_scratchDir(scratchDir)
    , m_withSwitches(withSwitches)
{ }

void WindowWorker::run(QTextStream &out)
{
    measureSaves(out);
    measureWindow(out);
    if (m_withSwitches)
        measureIdle(out);
    report(out, "peak_rss_kb", ownPeakResidentKb());
}

// A folder that has just been filled, as a user's notes folder is after a while: a save in a
// folder where many files were removed moments ago pays for the file system's caution about
// reusing their inodes (ext4 skips inodes freed within the last minutes).
QString WindowWorker::freshCopy()
{
    const QString copy = QDir(m_scratchDir).filePath(u"copy%1"_s.arg(++m_copies));
    if (!QDir().mkpath(copy))
        throw std::runtime_error("cannot create a scratch folder");
    for (const NoteSet::File &file : Floors::liveFilesIn(m_notesDir)) {
        QFile target(QDir(copy).filePath(file.name));
        if (!target.open(QIODevice::WriteOnly) || target.write(file.bytes) != file.bytes.size())
            throw std::runtime_error("cannot copy the notes");
    }
    return copy;
}

void WindowWorker::measureSaves(QTextStream &out)
{
    QList<qint64> backupOn, backupOff, rightAfter, afterFull, steady, oneChanged, floor, floorOne;
    qint64 pauseFull = 0, pauseAfterFull = 0, pauseRightAfter = 0;
    QtPlatformServices platform;
    for (int run = 0; run < SaveRuns; ++run) {
        const QString notes = freshCopy();
        {
            const std::unique_ptr<frmMain> program = assembleProgram(platform, notes);
            frmMain &window = *program;
            open(window);
            changeEverything(window);
            // What the recovery file's timer does a few seconds after typing pauses: a save made
            // later than that finds the changes in the recovery file already.
            window.recovery().flush();
            // Each save from the event loop, the next once the backups it renews after it are
            // written, as saves a user makes some seconds apart.
            const auto watched = [&](QList<qint64> &times) {
                const SaveWatch::Figures figures
                    = SaveWatch::run(window.noteFiles(), [&] { save(window); });
                times.append(figures.saveNs);
                return figures.longestPauseNs;
            };
            pauseFull = std::max(pauseFull, watched(backupOn));
            // The first save with nothing changed renews every backup; the next touches nothing.
            pauseAfterFull = std::max(pauseAfterFull, watched(afterFull));
            watched(steady);
            // Shown, or the save would take the text box's older text back into the entry.
            toggleMark(window.tabs()[0], 0);
            window.tabs()[window.selectedTab()].DispCont(window.selectedTab());
            watched(oneChanged);
        }
        const QString empty = QDir(m_scratchDir).filePath(u"floor%1"_s.arg(run));
        QDir().mkpath(empty);
        floor.append(Floors::rawDurableWrite(Floors::liveFilesIn(notes), empty));
        const QString emptyOne = QDir(m_scratchDir).filePath(u"floor-one%1"_s.arg(run));
        QDir().mkpath(emptyOne);
        floorOne.append(Floors::rawDurableWrite(oneEntryFiles(notes), emptyOne));
        {
            const std::unique_ptr<frmMain> program = assembleProgram(platform, freshCopy());
            frmMain &window = *program;
            open(window);
            window.setMakeBackup(false);
            changeEverything(window);
            window.recovery().flush();
            backupOff.append(timed([&] { save(window); }));
        }
        {
            const std::unique_ptr<frmMain> program = assembleProgram(platform, freshCopy());
            frmMain &window = *program;
            open(window);
            changeEverything(window);
            const SaveWatch::Figures figures
                = SaveWatch::run(window.noteFiles(), [&] { save(window); });
            rightAfter.append(figures.saveNs);
            pauseRightAfter = std::max(pauseRightAfter, figures.longestPauseNs);
        }
    }
    report(out, "floor_write", median(floor));
    report(out, "save_full_backups", median(backupOn));
    report(out, "save_full_nobackups", median(backupOff));
    report(out, "save_full_right_after", median(rightAfter));
    report(out, "save_unchanged_after_full", median(afterFull));
    report(out, "save_unchanged", median(steady));
    report(out, "floor_write_one", median(floorOne));
    report(out, "save_one_changed", median(oneChanged));
    report(out, "pause_save_full", pauseFull);
    report(out, "pause_save_after_full", pauseAfterFull);
    report(out, "pause_save_right_after", pauseRightAfter);
}

void WindowWorker::measureWindow(QTextStream &out)
{
    QtPlatformServices platform;
    const std::unique_ptr<frmMain> program = assembleProgram(platform, m_notesDir);
    frmMain &window = *program;
    open(window);
    if (m_withSwitches && window.tabCount() > 1 && window.tabs()[0].NoOfCont() > 1) {
        // Each tab is shown for the first time here: the dearest switch there is.
        QList<qint64> tabSwitches;
        for (int t = 1; t < window.tabCount(); ++t)
            tabSwitches.append(timed([&] {
                pressTab(window, t);
                settle(window);
            }));
        report(out, "switch_tab", median(tabSwitches));
        report(out, "switch_tab_max", *std::max_element(tabSwitches.begin(), tabSwitches.end()));

        const int tab = window.selectedTab();
        QList<qint64> entrySwitches;
        for (int j = 1; j < window.tabs()[tab].NoOfCont(); ++j)
            entrySwitches.append(timed([&] {
                chooseEntry(window, tab, j);
                settle(window);
            }));
        report(out, "switch_entry", median(entrySwitches));
        report(
            out, "switch_entry_max", *std::max_element(entrySwitches.begin(), entrySwitches.end()));

        // The toolkit's own cost of showing the same texts in a bare text box of that size.
        QPlainTextEdit bare;
        bare.setFont(window.page(tab).txtCont()->font());
        bare.resize(window.page(tab).txtCont()->size());
        bare.show();
        waitUntilExposed(bare);
        QList<qint64> bareFills;
        for (int j = 0; j < window.tabs()[tab].NoOfCont(); ++j) {
            const QString text = window.tabs()[tab].Cont(j).replace(u"\r\n"_s, u"\n"_s);
            bareFills.append(timed([&] {
                bare.setPlainText(text);
                settle(bare);
            }));
        }
        report(out, "fill_bare", median(bareFills));
        measureSearch(window, out);
    }

    // Typing paused in one long entry: the recovery file is written while the window waits.
    ContentBox *box = window.page(window.selectedTab()).txtCont();
    QList<qint64> recoveryWrites;
    for (int run = 0; run < 3; ++run) {
        box->insertPlainText(u"x"_s);
        recoveryWrites.append(timed([&] { window.recovery().flush(); }));
    }
    report(out, "recovery_write", median(recoveryWrites));
    // The set stays as it was written, so that the next run of the bench on it is not asked
    // whether to restore the typing.
    window.recovery().discard();
}

// The window waiting in the tray, as it does most of the day. Each change settles first: the
// recovery file is written a few seconds after it.
void WindowWorker::measureIdle(QTextStream &out)
{
    QtPlatformServices platform;
    const std::unique_ptr<frmMain> program = assembleProgram(platform, freshCopy());
    frmMain &window = *program;
    open(window);
    window.hide();
    for (int t = 0; t < window.tabCount(); ++t)
        window.tabs()[t].setOnAlm(false);
    IdleWakeups::perMinuteWhileWaiting(HiddenSettleMs);
    report(out, "wakeups_no_alarm", IdleWakeups::perMinuteWhileWaiting(IdleMs));
    window.tabs()[0].setAlarm(platform.now().addDays(1));
    IdleWakeups::perMinuteWhileWaiting(IdleSettleMs);
    report(out, "wakeups_one_alarm", IdleWakeups::perMinuteWhileWaiting(IdleMs));
}
