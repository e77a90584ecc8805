#pragma once

#include <QString>
#include <memory>

class PlatformServices;
class frmMain;

// The program's parts joined together: the main window on the notes folder, with the commands
// and dialogs of its menus, its tray icon and its title buttons connected to it. The window
// owns them all. The program, the tests, the fuzzers and the bench start from here alike.
std::unique_ptr<frmMain> assembleProgram(PlatformServices &platform, const QString &notesFolder);
