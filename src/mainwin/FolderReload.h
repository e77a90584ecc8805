#pragma once

class NoteFiles;
class SettingsFile;
class frmMain;

// Rebuilds the tab set from the files of the notes folder while the window runs, as a start
// reads them: tabs, entries, captions, fonts, alarms and options come from the files. The window
// keeps its place and size, and the selected tab and its entry stay selected where they still
// exist. Only for a window that holds nothing unsaved: what it held is dropped.
void reloadNotes(frmMain &main, NoteFiles &files, SettingsFile &settings);
