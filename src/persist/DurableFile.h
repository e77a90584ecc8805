#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Replaces the file at `path` by `bytes` so that it holds its complete old or its complete new
// content at every instant, a power cut included: the bytes go to `tempPath` (in the same
// folder), are synced, and only then renamed over `path`; the folder is synced last. When
// writing or syncing fails, `path` is left as it was, the temporary is removed and the
// system's reason is returned.
// QSaveFile is not used here: it goes on to rename when the sync fails, and the temporary it
// names itself cannot be found again after the program was killed.
std::optional<QString> replaceFileDurably(
    const QString &path, const QString &tempPath, const QByteArray &bytes);
