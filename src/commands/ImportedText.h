#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Text taken in from outside the program as the first entry of a new tab. Entries keep their
// line breaks as CR LF; text from outside may end its lines with CR LF, a lone CR or a lone LF.

// The text with every line break made CR LF, as typing into a content box gives it.
QString withCrLfBreaks(const QString &text);

// A text file's bytes as UTF-8 when they are valid UTF-8 (a byte order mark is dropped), else
// as cp932, the encoding of files from Windows.
QString decodeTextFile(const QByteArray &bytes);

// The content of a tab taken from a file: CR LF before every line, none after the last, so
// the first line starts below the top of the box. A line break that ends the file starts no
// further line; an empty file gives an empty content.
QString fileEntryContent(const QString &text);

// The file's text as fileEntryContent gives it, or nothing when the file cannot be read.
std::optional<QString> readFileEntryContent(const QString &path);
