#include "persist/IniFormat.h"

#include "persist/NoteCodec.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString LineEnd = u"\r\n"_s;

QString valueLine(const QString &key, const QString &value)
{
    return key + u" = "_s + value + LineEnd;
}

const QString ExactSuffix = u".utf8"_s;

// The value line, and the exact value's line where cp932 loses something.
QString stringLines(const QString &key, const QString &value)
{
    QString lines = valueLine(key, value);
    bool lost = false;
    encodeCp932Lossy(value, &lost);
    if (!lost)
        return lines;
    QString encoded;
    for (const char byte : value.toUtf8()) {
        const uchar b = uchar(byte);
        if (b > u' ' && b < 0x7F && b != u'%')
            encoded += QChar(char16_t(b));
        else
            encoded += u'%' + QString::number(b, 16).toUpper().rightJustified(2, u'0');
    }
    return lines + valueLine(exactValueKey(key), encoded);
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

// Nothing unless every "%" starts two hexadecimal digits and the bytes are UTF-8.
std::optional<QString> percentDecoded(QStringView encoded)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != u'%') {
            if (encoded[i].unicode() >= 0x80)
                return std::nullopt;
            bytes += char(encoded[i].unicode());
            continue;
        }
        const int high = i + 2 < encoded.size() ? hexValue(encoded[i + 1]) : -1;
        const int low = i + 2 < encoded.size() ? hexValue(encoded[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += char(high << 4 | low);
        i += 2;
    }
    QStringDecoder utf8(QStringConverter::Utf8,
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return std::nullopt;
    return text;
}

// Rounds to the nearest integer, halves to the even neighbour (10.5 -> 10, 11.5 -> 12).
std::optional<qint64> roundHalfEven(double value, qint64 min, qint64 max)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    if (rounded < static_cast<double>(min) || rounded > static_cast<double>(max))
        return std::nullopt;
    return static_cast<qint64>(rounded);
}

// What the plain line of a string value gives when read back.
QString cp932Form(const QString &value)
{
    return trimBlanks(decodeNoteText(encodeCp932Lossy(value)));
}

} // namespace

// Blanks are U+0020 only, as in the settings file's own trimming; tabs and other white space
// stay part of the text.
QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.sliced(begin, end - begin).toString();
}

QString exactValueKey(const QString &key)
{
    return key + ExactSuffix;
}

std::optional<QString> exactIniValue(const QString &plain, const QString &encoded)
{
    auto exact = percentDecoded(encoded);
    if (!exact || cp932Form(*exact) != plain)
        return std::nullopt;
    return exact;
}

QString formatIniFloat(float value)
{
    // Non-finite values have no decimal form; what is written is not numeric, so the reader
    // ignores the line instead of applying a made-up number.
    if (std::isnan(value))
        return u"NaN"_s;
    if (std::isinf(value))
        return value < 0 ? u"-Inf"_s : u"Inf"_s;
    if (value == 0.0f)
        return u"0"_s;
    // %g with 7 digits: plain decimals from 1E-04 up to 9999999, the exponent form beyond,
    // as the original program writes singles ("1.234568E+07", "1E-05").
    return QString::number(static_cast<double>(value), 'g', 7).toUpper();
}

QString formatIniDate(const QDateTime &value)
{
    return value.toString(u"yyyy/MM/dd HH:mm"_s);
}

QString formatIniBool(bool value)
{
    return value ? u"#True#"_s : u"#False#"_s;
}

IniLine SplitIniLine(const QString &line)
{
    const QString text = trimBlanks(line);
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return {};
    return {true, trimBlanks(QStringView(text).first(equals)),
        trimBlanks(QStringView(text).sliced(equals + 1))};
}

std::optional<double> parseIniNumber(const QString &text)
{
    static const QRegularExpression number(
        u"\\A *[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][+-]?[0-9]+)? *\\z"_s);
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = trimBlanks(text).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> toInt16(double value)
{
    const auto rounded = roundHalfEven(
        value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    if (!rounded)
        return std::nullopt;
    return static_cast<qint16>(*rounded);
}

std::optional<qint32> toInt32(double value)
{
    const auto rounded = roundHalfEven(
        value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (!rounded)
        return std::nullopt;
    return static_cast<qint32>(*rounded);
}

std::optional<QDateTime> parseIniDate(const QString &text)
{
    static const QRegularExpression date(
        u"\\A *([0-9]{4})/([0-9]{1,2})/([0-9]{1,2}) +([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))? *\\z"_s);
    const QRegularExpressionMatch match = date.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto field = [&match](int group) { return match.capturedView(group).toInt(); };
    const QDate day(field(1), field(2), field(3));
    const QTime time(field(4), field(5), match.hasCaptured(6) ? field(6) : 0);
    if (!day.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime result(day, time, Qt::LocalTime);
    if (!result.isValid())
        return std::nullopt;
    return result;
}

std::optional<bool> parseIniBool(const QString &text)
{
    if (text == u"#True#")
        return true;
    if (text == u"#False#")
        return false;
    return std::nullopt;
}

QString composeTabInfo(const TabInfo &info)
{
    return stringLines(u"FontName"_s, info.fontName)
        + valueLine(u"FontSize"_s, formatIniFloat(info.fontSize))
        + valueLine(u"CreatDate"_s, formatIniDate(info.created))
        + valueLine(u"AlarmDate"_s, formatIniDate(info.alarm))
        + valueLine(u"AlarmSetOn"_s, formatIniBool(info.alarmOn))
        + valueLine(u"DispIndex"_s, QString::number(info.dispIndex))
        + stringLines(u"TabCaption"_s, info.caption);
}

QString composeIni(const IniGlobals &globals, const QStringList &tabInfos)
{
    QString text = u"----------Nokuri iniファイル----------"_s + LineEnd;
    text += valueLine(u"FormTop"_s, formatIniFloat(globals.top));
    text += valueLine(u"FormLeft"_s, formatIniFloat(globals.left));
    text += valueLine(u"FormHeight"_s, formatIniFloat(globals.height));
    text += valueLine(u"FormWidth"_s, formatIniFloat(globals.width));
    text += valueLine(u"TabDisp"_s, QString::number(globals.tabDisp));
    text += stringLines(u"DefFontName"_s, globals.defFontName);
    text += valueLine(u"DefFontSize"_s, QString::number(globals.defFontSize));
    text += valueLine(u"MakeBackup"_s, formatIniBool(globals.makeBackup));
    text += valueLine(u"ScrlType"_s, scrollTypeLetter(globals.scrlType));
    text += LineEnd;
    for (qsizetype i = 0; i < tabInfos.size(); ++i)
        text += u"[Tab"_s + QString::number(i + 1) + u"]"_s + LineEnd + tabInfos.at(i) + LineEnd;
    text += LineEnd;
    return text;
}
