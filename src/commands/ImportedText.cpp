#include "commands/ImportedText.h"

#include "persist/NoteCodec.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// One line break of any kind becomes "\n".
QString withLfBreaks(const QString &text)
{
    QString result = text;
    result.replace(u"\r\n"_s, u"\n"_s);
    return result.replace(u'\r', u'\n');
}

} // namespace

QString withCrLfBreaks(const QString &text)
{
    return withLfBreaks(text).replace(u'\n', u"\r\n"_s);
}

QString decodeTextFile(const QByteArray &bytes)
{
    // Stateless: a sequence cut off at the end of the file counts as invalid, not as pending.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeNoteText(bytes);
}

QString fileEntryContent(const QString &text)
{
    QStringList lines = withLfBreaks(text).split(u'\n');
    // The piece after a final line break, or the whole of an empty text, is no line.
    if (lines.last().isEmpty())
        lines.removeLast();
    QString content;
    for (const QString &line : std::as_const(lines))
        content += u"\r\n"_s + line;
    return content;
}

std::optional<QString> readFileEntryContent(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return fileEntryContent(decodeTextFile(bytes));
}
