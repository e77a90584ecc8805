#pragma once

#include "persist/Entry.h"
#include "persist/KnownEntryFiles.h"
#include "persist/StoredEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <optional>

// "Tab" + tab number + entry letter + ".tab": entryFileName(12, 2) == "Tab12C.tab".
QString entryFileName(int tabNumber, int entryIndex);

struct EntryName
{
    int tabNumber = 0; // 1..30
    int entryIndex = 0; // 0..25, the letters A..Z
};
// The inverse of entryFileName, for exactly the names it makes: Tab1A.tab .. Tab30Z.tab, the
// number without leading zeros. Anything else (Tab31A.tab, Tab01A.tab, Tab1a.tab) is nothing.
std::optional<EntryName> parseEntryFileName(QStringView name);

// Title, CR LF, content, CR LF, in the entry's encoding; an entry that is still what its
// source bytes hold gives those bytes.
QByteArray entryFileBytes(const Entry &entry, const EntrySource &source = {});

// Line 1 is the title; the other lines, joined by CR LF, the content.
// `source` (when given) learns how the file was written: entryFileBytes(entry, *source) gives
// these very bytes back.
Entry parseEntryFile(const QByteArray &bytes, EntrySource *source = nullptr);

// The first `chars` characters of the content parseEntryFile(bytes) gives, decoded from the
// beginning of the bytes alone (the rest is only checked to read as cp932, which decides how the
// beginning reads): for a content certainly longer than `longerThan` characters, counting a line
// break as one, in bytes that read as cp932 throughout; nothing otherwise.
std::optional<QString> parseEntryContentStart(
    const QByteArray &bytes, qsizetype longerThan, qsizetype chars);

struct StoredEntryScan
{
    // Tabs in increasing tab number, packed over missing numbers; entries in letter order.
    QList<QList<std::shared_ptr<const StoredEntry>>> tabs;
    // Files that exist but could not be read, each as "name: reason".
    QStringList unreadable;
};

// Reads Tab1A.tab to Tab30Z.tab from the directory, skipping the names that do not exist; the
// contents are decoded when first asked for. `known` (when given) learns every file read.
StoredEntryScan scanEntryFiles(const QString &dir, KnownEntryFiles *known = nullptr);

// The same, decoded.
struct EntryScan
{
    // Tabs in increasing tab number, packed over missing numbers; entries in letter order.
    QList<QList<Entry>> tabs;
    // Files that exist but could not be read, each as "name: reason".
    QStringList unreadable;
    // The source of each entry of `tabs`, in the same places.
    QList<QList<EntrySource>> sources = {};
};

EntryScan readEntryFiles(const QString &dir, KnownEntryFiles *known = nullptr);
