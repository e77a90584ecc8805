#pragma once

#include "persist/KnownEntryFiles.h"
#include "persist/LiveFiles.h"
#include "persist/SaveFinisher.h"

#include <optional>

class FolderReadAhead;
class PlatformServices;
struct SaveFile;
class SettingsFile;
class TabSet;
class TabWindow;

// The entry files Tab1A.tab ... Tab30Z.tab: rebuilding the tabs from them at start-up and
// saving everything (entry files, then TabSet.ini).
class NoteFiles final
{
public:
    NoteFiles(TabSet &tabs, TabWindow &window, PlatformServices &platform,
        const QString &notesFolder, const SettingsFile &settings);

    // Called once at start-up while no tab record exists; tab numbers without files are
    // skipped, so the tabs come out packed. The files are what `readAhead` read, if given.
    void ReadTabFiles(FolderReadAhead *readAhead = nullptr);

    // Stores the selected page's text, then writes every file, keeping the previous ones as
    // backups when told to. The files are written in a thread while the window waits without
    // standing still (runWhileWindowWaits); the backups of unchanged files are copied after the
    // save returns, in a thread of their own (SaveFinisher). A failure is shown to the
    // user with the file and the reason; the notes stay in memory and the live files as
    // they were. Returns whether the save succeeded.
    bool SaveAll(bool makeBackup);
    // The live files as the look for outside changes found them right before the next save,
    // which goes by them instead of looking at every file again.
    void setLookedAt(QHash<QString, LiveFile> files) { m_lookedAt = std::move(files); }

    // What the entry files hold as of the last read or save.
    const KnownEntryFiles &known() const { return m_known; }
    KnownEntryFiles &known() { return m_known; }

    // Whether the work that the saves leave for after they return (backup copies, syncs) is
    // still being done.
    bool finishingSaves() const { return m_finisher.running(); }

private:
    // After a failed save: the folder holds the files it held before, or, when the save failed
    // after its commit, the new ones. Each file the save meant to write is known by what it
    // holds now, so that the next look does not take the program's own files for changes made
    // elsewhere.
    void takeInWhatLanded(
        const QList<SaveFile> &files, const QList<std::shared_ptr<const StoredEntry>> &entries);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
    const QString m_notesFolder;
    const SettingsFile &m_settings;
    KnownEntryFiles m_known;
    std::optional<QHash<QString, LiveFile>> m_lookedAt; // for the next save only
    SaveFinisher m_finisher;
};
