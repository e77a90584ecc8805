#include "ReferenceReading.h"

#include "persist/NoteCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace {

constexpr auto IcuFlags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

} // namespace

QString icuDecoded(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8, IcuFlags)(bytes.sliced(3));
    return QStringDecoder("windows-31j", IcuFlags)(bytes);
}

QByteArray icuEncoded(const QString &text)
{
    QStringEncoder cp932("windows-31j", IcuFlags);
    const QByteArray bytes = cp932(text);
    if (!cp932.hasError() && QStringDecoder("windows-31j", IcuFlags)(bytes) == text)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + QStringEncoder(QStringConverter::Utf8, IcuFlags)(text);
}

Entry lineByLine(const QString &text)
{
    const QStringList lines = splitNoteLines(text);
    Entry entry;
    if (!lines.isEmpty())
        entry.title = lines.first();
    if (lines.size() > 1)
        entry.content = lines.mid(1).join(u"\r\n"_s);
    return entry;
}
