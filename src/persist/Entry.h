#pragma once

#include "persist/NoteCodec.h"

#include <QByteArray>
#include <QString>
#include <optional>

// One entry of a tab as its file holds it.
struct Entry
{
    QString title;
    QString content;

    bool operator==(const Entry &) const = default;
};

// How the file an entry was read from was written, so that a save writes the entry in kind:
// the encoding, and the file's own bytes where encoding the entry afresh would not give them
// back (a stray byte, lone CRs, a byte order mark). An entry that is not edited then keeps its
// bytes, under whatever name it moves to. Entries made in the program have the default.
struct EntrySource
{
    NoteEncoding encoding = NoteEncoding::Cp932;
    std::optional<QByteArray> bytes;

    bool operator==(const EntrySource &) const = default;
};
