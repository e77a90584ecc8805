#pragma once

#include "NoteSet.h"
#include "ReportTable.h"

#include <QHash>
#include <QTemporaryDir>

class WindowStartTimer;

// One bench run: builds the note sets, measures the floors, the program's start and its window
// (through a child process), and fills the table.
class Bench final
{
public:
    // `program` is Nokuri, `emptyWindow` the baseline program.
    // With `startOnly`, only the start-up and memory rows: no saves, switches or searches.
    Bench(const QString &program, const QString &emptyWindow, bool startOnly = false);
    // Prints the table to stdout; returns the number of targets that do not hold.
    int run();

    // The data sets the bench measures.
    static QList<NoteSet::Shape> shapes();

private:
    struct Baseline
    {
        qint64 startNs = 0;
        qint64 peakRssKb = 0;
        // The same window showing one line of Japanese: what a start-up is compared with.
        qint64 japaneseStartNs = 0;
    };

    Baseline measureEmptyWindow(WindowStartTimer &timer);
    void measureSet(WindowStartTimer &timer, const NoteSet &set, const Baseline &empty,
        const QString &root, bool withSwitches);
    void measureHugeEntry(WindowStartTimer &timer);
    QHash<QString, qint64> runWorker(
        const QString &notesDir, const QString &scratchDir, bool withSwitches);
    QStringList environmentFor(const QString &root) const;

    QString m_program;
    QString m_emptyWindow;
    bool m_startOnly;
    QTemporaryDir m_root;
    ReportTable m_table;
};
