#pragma once

#include <QString>

// Where the notes live: the program's own folder when it already holds notes (a folder
// brought from the Windows program), otherwise the per-user data folder, created on demand.
QString locateAppDirectory(const QString &programDir, const QString &userDataDir);
