#pragma once

#include "persist/KnownEntryFiles.h"

class frmMain;
class SettingsFile;

// The entry files Tab1A.tab ... Tab30Z.tab: rebuilding the tabs from them at start-up and
// saving everything (entry files, then TabSet.ini).
class NoteFiles final
{
public:
    NoteFiles(frmMain &main, const SettingsFile &settings);

    // Called once at start-up while no tab record exists; tab numbers without files are
    // skipped, so the tabs come out packed.
    void ReadTabFiles();

    // Stores the selected page's text, then writes every file. A failure is shown to the
    // user with the file and the reason; the notes stay in memory and the live files as
    // they were. Returns whether the save succeeded.
    bool SaveAll();

    // What the entry files hold as of the last read or save.
    const KnownEntryFiles &known() const { return m_known; }

private:
    frmMain &m_main;
    const SettingsFile &m_settings;
    KnownEntryFiles m_known;
};
