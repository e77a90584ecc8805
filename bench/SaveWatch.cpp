#include "SaveWatch.h"

#include "mainwin/NoteFiles.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

namespace {

constexpr int TickMs = 5;

} // namespace

SaveWatch::Figures SaveWatch::run(NoteFiles &files, const std::function<void()> &save)
{
    Figures figures;
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = 0;
    bool saved = false;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(TickMs);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        const qint64 now = clock.nsecsElapsed();
        figures.longestPauseNs = std::max(figures.longestPauseNs, now - lastTick);
        lastTick = now;
        if (saved && !files.finishingSaves())
            loop.quit();
    });
    QTimer::singleShot(2 * TickMs, &loop, [&] {
        QElapsedTimer call;
        call.start();
        save();
        figures.saveNs = call.nsecsElapsed();
        saved = true;
    });
    tick.start();
    lastTick = clock.nsecsElapsed();
    loop.exec();
    return figures;
}
