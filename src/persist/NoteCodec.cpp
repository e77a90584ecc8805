#include "persist/NoteCodec.h"

#include "persist/Cp932Tables.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

} // namespace

QByteArray encodeNoteText(const QString &text)
{
    if (auto bytes = Cp932Tables::forThisThread().encode(text))
        return *std::move(bytes);
    // Some character has no cp932 bytes of its own: the whole text goes the slow way.
    QStringEncoder encoder(Cp932Name, Flags);
    QByteArray bytes = encoder(text);
    // hasError() catches what cp932 lacks; the round trip also catches what ICU drops without
    // an error (U+FEFF, U+200B and other default-ignorable characters).
    if (encoder.isValid() && !encoder.hasError() && decodeCp932(bytes) == text)
        return bytes;
    QStringEncoder utf8(QStringConverter::Utf8, Flags);
    return QByteArray(Utf8Bom, Utf8BomSize) + QByteArray(utf8(text));
}

QString decodeNoteText(const QByteArray &bytes, bool *alike)
{
    if (alike)
        *alike = false;
    if (bytes.startsWith(QByteArrayView(Utf8Bom, Utf8BomSize))) {
        QStringDecoder utf8(QStringConverter::Utf8, Flags);
        return utf8(QByteArrayView(bytes).sliced(Utf8BomSize));
    }
    if (auto text = Cp932Tables::forThisThread().decode(bytes, alike))
        return *std::move(text);
    return decodeCp932(bytes);
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
