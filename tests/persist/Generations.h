#pragma once

#include "persist/EntryFiles.h"
#include "persist/SaveEngine.h"

#include <QByteArray>
#include <QList>
#include <optional>

// A deterministic series of tab sets for the crash tests: generation g of the notes can be
// rebuilt from g alone, and every file names the generation that wrote it, so a checker can
// tell a complete file of some generation from a torn one.
//
// Tabs 1..29 always hold 26 entries, tab 30 a number that changes from one generation to the
// next (so saves also remove and add files). An entry changes in about two generations out of
// three; in the third its bytes stay those of the generation before (so saves also skip files).
// Some entries hold text outside cp932 and are written as UTF-8.
namespace Generations {

constexpr int Tabs = 30;
constexpr int Letters = 26;

int entryCount(qint64 generation, int tabNumber);
bool exists(qint64 generation, int tabNumber, int entryIndex);
// The generation whose bytes the entry holds in `generation`.
qint64 lastChange(qint64 generation, int tabNumber, int entryIndex);
bool backupsOn(qint64 generation);

QList<SaveFile> entryFiles(qint64 generation);
// The bytes of one entry file as written in `generation` (it must be a generation in which the
// entry changes: see lastChange).
QByteArray entryBytes(qint64 generation, int tabNumber, int entryIndex);
SaveFile settings(qint64 generation);

// The generation that wrote these bytes, if they are exactly what that generation writes.
std::optional<qint64> entryGeneration(const QByteArray &bytes, int tabNumber, int entryIndex);
std::optional<qint64> settingsGeneration(const QByteArray &bytes);

} // namespace Generations
