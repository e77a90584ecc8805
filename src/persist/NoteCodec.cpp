#include "persist/NoteCodec.h"

#include "persist/Cp932Tables.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>

namespace {

constexpr char Cp932Name[] = "windows-31j";
constexpr char Utf8Bom[] = "\xEF\xBB\xBF";
constexpr qsizetype Utf8BomSize = 3;

// ConvertInitialBom: a U+FEFF at the start of a note is text, not a byte order mark.
constexpr auto Flags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QString decodeCp932(const QByteArray &bytes)
{
    QStringDecoder decoder(Cp932Name, Flags);
    return decoder(bytes);
}

QByteArray utf8Bytes(const QString &text)
{
    QStringEncoder utf8(QStringConverter::Utf8, Flags);
    return utf8(text);
}

std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, Flags);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// UTF-8 without a byte order mark where it reads back as UTF-8: not where the bytes are valid
// cp932 too (a few accented letters), nor where the text itself starts with U+FEFF.
QByteArray encodeUtf8(const QString &text)
{
    const QByteArray bytes = utf8Bytes(text);
    const bool readAsUtf8 = !bytes.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize))
        && !Cp932Tables::forThisThread().decode(bytes);
    const bool plainAscii
        = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    if (readAsUtf8 || plainAscii)
        return bytes;
    return QByteArray(Utf8Bom, Utf8BomSize) + bytes;
}

} // namespace

QByteArray encodeNoteText(const QString &text, NoteEncoding encoding)
{
    if (encoding == NoteEncoding::Utf8)
        return encodeUtf8(text);
    if (auto bytes = Cp932Tables::forThisThread().encode(text))
        return *std::move(bytes);
    // Some character has no cp932 bytes of its own: the whole text goes the slow way.
    QStringEncoder encoder(Cp932Name, Flags);
    QByteArray bytes = encoder(text);
    // hasError() catches what cp932 lacks; the round trip also catches what ICU drops without
    // an error (U+FEFF, U+200B and other default-ignorable characters).
    if (encoder.isValid() && !encoder.hasError() && decodeCp932(bytes) == text)
        return bytes;
    return QByteArray(Utf8Bom, Utf8BomSize) + utf8Bytes(text);
}

DecodedNote decodeNote(const QByteArray &bytes)
{
    if (bytes.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize))) {
        QStringDecoder utf8(QStringConverter::Utf8, Flags);
        return {utf8(QByteArrayView(bytes).sliced(Utf8BomSize)), NoteEncoding::Cp932, false};
    }
    DecodedNote note;
    if (auto text = Cp932Tables::forThisThread().decode(bytes, &note.alike)) {
        note.text = *std::move(text);
        return note;
    }
    // Valid UTF-8 gives its bytes back when written as UTF-8: they are not valid cp932, so no
    // byte order mark goes before them.
    if (auto text = strictUtf8(bytes))
        return {*std::move(text), NoteEncoding::Utf8, true};
    note.text = decodeCp932(bytes);
    return note;
}

QString decodeNoteText(const QByteArray &bytes)
{
    return decodeNote(bytes).text;
}

std::optional<QString> decodeNoteHead(QByteArrayView head)
{
    // No CR is part of a longer sequence in cp932 or UTF-8, so the head ends at a character's
    // end, and characters that are valid decode alike wherever they stand.
    if (head.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize)))
        return strictUtf8(head.sliced(Utf8BomSize));
    auto cp932 = Cp932Tables::forThisThread().decode(head);
    if (!cp932)
        return std::nullopt;
    // A head that is not UTF-8 rules UTF-8 out for the whole note.
    const auto utf8 = strictUtf8(head);
    if (utf8 && *utf8 != *cp932)
        return std::nullopt;
    return cp932;
}

QByteArray encodeCp932Lossy(const QString &text, bool *lost)
{
    Cp932Tables &tables = Cp932Tables::forThisThread();
    if (lost)
        *lost = false;
    if (auto bytes = tables.encode(text))
        return *std::move(bytes);
    if (lost)
        *lost = true;
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size()
            && text.at(i + 1).isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        const auto character = tables.encode(QStringView(text).sliced(i, length));
        bytes += character ? *character : QByteArray("?");
        i += length;
    }
    return bytes;
}

QStringList splitNoteLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        if (text.at(i) != u'\r')
            continue;
        lines.append(text.sliced(start, i - start));
        if (i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.sliced(start));
    return lines;
}

bool readNoteFile(const QString &path, QString &text, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    text = decodeNoteText(bytes);
    return true;
}
