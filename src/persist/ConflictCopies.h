#pragma once

#include "persist/SaveEngine.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct ConflictFile
{
    QString name; // as in the notes folder, e.g. "Tab1A.tab"
    QByteArray bytes;
};

// Keeps the versions of note files that another machine wrote and a save is about to replace:
// each under its own name in a new folder "conflicts/<yyyy-MM-dd HHmmss>" of the notes folder
// (" 2", " 3" ... added when that second has one already). No entry name matches a path inside
// a subfolder, so no start reads them back as entries. Every copy is synced before this returns,
// so a save that follows cannot leave the only version of a note in a cache.
// `folder` learns the new folder's path.
std::optional<SaveError> keepConflictCopies(
    const QString &dir, const QList<ConflictFile> &files, const QDateTime &when, QString &folder);
