#pragma once

#include "persist/EntryFiles.h"
#include "persist/KnownEntryFiles.h"

#include <QString>
#include <memory>

class QThread;

// Start-up's reading of the notes folder, in a thread of its own, so that the disk and the
// decoding of the titles run while the window's thread builds the window. The thread first
// finishes a save that a kill interrupted, then reads the entry files, in the order a start
// must keep: the repair decides which generation is read. It shares nothing with the window's
// thread until take(), which hands the result over once, after the thread has ended.
class FolderReadAhead final
{
public:
    // Starts at once. Only once the folder's lock is held: the repair must never meet another
    // instance's save in progress.
    explicit FolderReadAhead(QString folder);
    // Waits for a reading that nobody took.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead &) = delete;
    FolderReadAhead &operator=(const FolderReadAhead &) = delete;

    const QString &folder() const { return m_folder; }
    // Waits until the reading is done and gives what scanEntryFiles gives; `known` learns every
    // file read. Once only.
    StoredEntryScan take(KnownEntryFiles &known);

private:
    const QString m_folder;
    StoredEntryScan m_scan;
    KnownEntryFiles m_known;
    std::unique_ptr<QThread> m_thread;
};
