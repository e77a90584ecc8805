#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Note files are cp932 (windows-31j), byte for byte as the Windows program wrote them. Text
// that cp932 cannot hold is written as UTF-8 behind a byte order mark instead of losing it.
QByteArray encodeNoteText(const QString &text);
// A leading EF BB BF means UTF-8; anything else is cp932. `alike`, when given, tells whether
// encodeNoteText is known to give these very bytes back (false where that is not sure).
QString decodeNoteText(const QByteArray &bytes, bool *alike = nullptr);

// Lines end at CR LF or at a lone CR; a lone LF stays part of its line. The last line counts
// without a line end; an empty text has no lines.
QStringList splitNoteLines(const QString &text);

// Reads a whole note file; on failure returns false and sets error to the system's reason.
bool readNoteFile(const QString &path, QString &text, QString &error);
