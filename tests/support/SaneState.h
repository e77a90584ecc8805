#pragma once

#include <QStringList>

class frmMain;

// What must hold of a started window whatever its files held: the tabs, pages, strip and title
// lists agree, every index is in range and only the selected page works. Returns what does
// not hold, empty when all does.
QStringList saneStateProblems(const frmMain &window);
