#pragma once

#include <QtGlobal>
#include <functional>

class NoteFiles;

// Runs one save from the window's event loop, as a menu command does, and watches the loop
// while the save and the backup copies it leaves for later run: a 5 ms timer ticks in the
// window's thread, and the longest gap between two ticks is the longest the window could not
// paint or answer.
namespace SaveWatch {

struct Figures
{
    qint64 saveNs = 0; // the save call itself
    qint64 longestPauseNs = 0; // from the save's start until its backups are renewed
};

Figures run(NoteFiles &files, const std::function<void()> &save);

} // namespace SaveWatch
