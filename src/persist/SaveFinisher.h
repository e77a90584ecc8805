#pragma once

#include <QString>
#include <memory>

class QThread;

// Finishes what the saves of one notes folder leave for later (BackupCopies::Later: the backup
// copies, the last syncs) in a thread of its own, so that the window goes on while the disk
// works.
class SaveFinisher final
{
public:
    explicit SaveFinisher(QString folder);
    // Waits until the work is done, so that a quit leaves none for the next start.
    ~SaveFinisher();
    SaveFinisher(const SaveFinisher &) = delete;
    SaveFinisher &operator=(const SaveFinisher &) = delete;

    // After a save: starts on what it left, if anything.
    void start();
    // Before a save: stops between two files and waits; what is not done stays in the commit
    // record, which the save takes over. Safe to call from the save's thread while the others
    // are not called, but for running().
    void stop();
    // Waits until the work is done.
    void finish();
    bool running() const;

private:
    const QString m_folder;
    std::unique_ptr<QThread> m_thread;
};
