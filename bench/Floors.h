#pragma once

#include "NoteSet.h"

#include <QString>

// What the system itself charges for the bytes of a note set, without the program: the floors
// that the program's own figures are held against. Both return nanoseconds.
namespace Floors {

// Opens and reads every file of the set in `dir` whole.
qint64 rawRead(const QString &dir, const QList<NoteSet::File> &files);
// Writes every file into `emptyDir`, syncing each file, then the directory.
qint64 rawDurableWrite(const QList<NoteSet::File> &files, const QString &emptyDir);
// The live note files in `dir` (entry files and TabSet.ini), as they are now.
QList<NoteSet::File> liveFilesIn(const QString &dir);

} // namespace Floors
