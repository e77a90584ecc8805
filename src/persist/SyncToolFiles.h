#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The files a sync tool leaves beside a note when two machines changed it at once: Syncthing's
// "Tab1A.sync-conflict-20261207-101500-ABCDEFG.tab", Nextcloud's and Dropbox's
// "Tab1A (conflicted copy 2026-12-07 101500).tab". Each holds one side's version of a note, so
// the program leaves them where they are: no entry or backup name matches them, so no start
// reads them as entries and no save removes them.
bool isSyncConflictFile(QStringView name);

// Their names in the folder, sorted.
QStringList syncConflictFiles(const QString &dir);
