#pragma once

#include <QString>

// An exclusive lock on a file inside the notes folder, so that every start on that folder sees
// it, whatever runtime folder its session has.
//
// It is an flock() on a file whose contents do not matter, not a QLockFile: a sync tool may
// copy the folder to another machine, and a QLockFile's host and process recorded in the file
// would look held by a foreign host there and lock that machine out. The kernel drops an flock
// when the process ends, a crash included, so nothing stale is ever left to judge.
class FolderLock final
{
public:
    // Nextcloud skips ".~lock.*" names by default; the README gives the .stignore line for
    // Syncthing.
    static constexpr auto FileName = ".~lock.Nokuri#";

    enum class State { Held, HeldElsewhere, Unavailable };

    explicit FolderLock(const QString &notesDir);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Unavailable: the folder lets no lock file be made or opened (read-only media).
    State state() const { return m_state; }

private:
    int m_fd = -1;
    State m_state = State::Unavailable;
};
