#pragma once

#include <QString>
#include <QTextStream>

class frmMain;

// The bench's child process: opens the main window on a note set as the program does and
// times what a user waits for (saves, switches, the recovery write), with the durable-write
// floor measured between the saves so that both see the disk in the same mood. Prints one
// "key value" line per figure: nanoseconds, or kilobytes for the peak memory.
class WindowWorker final
{
public:
    // `scratchDir` is an empty folder for copies of the notes.
    WindowWorker(const QString &notesDir, const QString &scratchDir, bool withSwitches);
    void run(QTextStream &out);

private:
    QString freshCopy();
    void measureSaves(QTextStream &out);
    void measureWindow(QTextStream &out);
    void measureIdle(QTextStream &out);

    QString m_notesDir;
    QString m_scratchDir;
    bool m_withSwitches;
    int m_copies = 0;
};
