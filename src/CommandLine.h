#pragma once

#include <QString>

#include <optional>

// The program's version: the project's, which the package and the manual pages carry too.
QString programVersion();

// Answers --help and --version, and refuses any other argument that is not one of Qt's own,
// before the application object exists, so that none of this needs a display. Returns the
// exit code when the program is to end here; Qt's options stay in argv for QApplication.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// The login entry starts the program with --autostart: it then waits in the tray, where there
// is one, instead of opening its window.
bool startedAtLogin(int argc, char *argv[]);
