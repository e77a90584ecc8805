#include "ReferenceReading.h"

#include "persist/NoteCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr auto IcuFlags
    = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

} // namespace

QString icuDecoded(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QStringDecoder(QStringConverter::Utf8, IcuFlags)(bytes.sliced(3));
    QStringDecoder cp932("windows-31j", IcuFlags);
    const QString text = cp932(bytes);
    if (!cp932.hasError() && !text.contains(QChar::ReplacementCharacter))
        return text;
    QStringDecoder utf8(QStringConverter::Utf8, IcuFlags);
    const QString utf8Text = utf8(bytes);
    return utf8.hasError() ? text : utf8Text;
}

QByteArray icuEncoded(const QString &text)
{
    // Linux input methods' characters as their Windows look-alikes.
    QString windows = text;
    for (const auto &[typed, twin] : {std::pair {u'\u301C', u'\uFF5E'}, {u'\u2212', u'\uFF0D'},
             {u'\u2016', u'\u2225'}, {u'\u2014', u'\u2015'}, {u'\u00A2', u'\uFFE0'},
             {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'}})
        windows.replace(QChar(typed), QChar(twin));
    QStringEncoder cp932("windows-31j", IcuFlags);
    const QByteArray bytes = cp932(windows);
    if (!cp932.hasError() && QStringDecoder("windows-31j", IcuFlags)(bytes) == windows)
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
