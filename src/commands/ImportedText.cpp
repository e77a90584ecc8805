#include "commands/ImportedText.h"

#include "persist/NoteCodec.h"
#include "store/LineBreaks.h"

#include <QFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

QString withCrLfBreaks(const QString &text)
{
    return lfToCrLf(anyBreakToLf(text));
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
    if (text.isEmpty())
        return {};
    QString lines = anyBreakToLf(text);
    // A break that ends the text starts no further line.
    if (lines.endsWith(u'\n'))
        lines.chop(1);
    return lfToCrLf(u"\n"_s + lines);
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
