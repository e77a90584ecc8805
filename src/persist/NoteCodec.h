#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// How a note file's text becomes bytes.
enum class NoteEncoding : quint8 {
    // cp932 (windows-31j), byte for byte as the Windows program writes it; text that cp932
    // cannot hold is written as UTF-8 behind a byte order mark instead of losing it.
    Cp932,
    // UTF-8 without a byte order mark, as editors on Linux write it; the mark is added only
    // where the bytes would otherwise read back as cp932.
    Utf8,
};

// Characters that Linux input methods give where Windows gives a look-alike (U+301C WAVE DASH
// for U+FF5E and six more) are written as the look-alike's cp932 bytes, as Windows converters
// do; reading gives the look-alike.
QByteArray encodeNoteText(const QString &text, NoteEncoding encoding = NoteEncoding::Cp932);

struct DecodedNote
{
    QString text;
    NoteEncoding encoding = NoteEncoding::Cp932;
    // Whether encodeNoteText(text, encoding) is known to give these very bytes back (false
    // where that is not sure).
    bool alike = false;
};
// A leading EF BB BF means UTF-8. Otherwise cp932, unless the bytes are not valid cp932 but
// valid UTF-8 (then holding some multi-byte sequence, as invalid cp932 is never plain ASCII).
// Bytes that are neither are cp932 with the invalid sequences replaced.
DecodedNote decodeNote(const QByteArray &bytes);
QString decodeNoteText(const QByteArray &bytes);
// The text of `head`, a note's bytes before its first CR, where decodeNote on the whole note is
// sure to begin with that text whatever follows; nothing where only the whole note can tell
// (bytes that are valid UTF-8 and cp932 alike but read differently, or are neither).
std::optional<QString> decodeNoteHead(QByteArrayView head);

// cp932 and nothing else, for a file that the Windows program must always be able to read: a
// character without cp932 bytes becomes "?", and `lost` (when given) tells whether one did.
QByteArray encodeCp932Lossy(const QString &text, bool *lost = nullptr);

// Lines end at CR LF or at a lone CR; a lone LF stays part of its line. The last line counts
// without a line end; an empty text has no lines.
QStringList splitNoteLines(const QString &text);

// Reads a whole note file; on failure returns false and sets error to the system's reason.
bool readNoteFile(const QString &path, QString &text, QString &error);
