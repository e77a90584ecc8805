#pragma once

#include <QTextStream>

class frmMain;

// Times the find window on the window's notes as a user types queries into it, key by key:
// from the key to the rows and the count shown. The first key of all folds every entry; the
// others reuse the folds. Prints "search_first", "search_key" (median) and "search_key_max".
void measureSearch(frmMain &window, QTextStream &out);
