#include "persist/IniFormat.h"
#include "persist/NoteCodec.h"

#include <QRegularExpression>
#include <QTest>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

using OptionalDouble = std::optional<double>;
using OptionalInt = std::optional<qint64>;
using OptionalDateTime = std::optional<QDateTime>;
using OptionalString = std::optional<QString>;
Q_DECLARE_METATYPE(OptionalDouble)
Q_DECLARE_METATYPE(OptionalInt)
Q_DECLARE_METATYPE(OptionalDateTime)
Q_DECLARE_METATYPE(OptionalString)

namespace {

TabInfo exampleTab()
{
    TabInfo info;
    info.fontName = u"ＭＳ ゴシック"_s;
    info.fontSize = 10;
    info.created = QDateTime(QDate(1999, 7, 15), QTime(9, 5));
    info.alarm = info.created;
    info.alarmOn = false;
    info.dispIndex = 0;
    info.caption = u"メモ"_s;
    return info;
}

IniGlobals exampleGlobals()
{
    IniGlobals globals;
    globals.top = 1200;
    globals.left = 1500;
    globals.height = 4800;
    globals.width = 6600;
    globals.tabDisp = 1;
    globals.defFontName = u"ＭＳ ゴシック"_s;
    globals.defFontSize = 10;
    globals.makeBackup = true;
    globals.scrlType = ScrollType::Vertical;
    return globals;
}

// The lines of an expected file, each followed by CR LF.
QString crlfLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + u"\r\n"_s;
    return text;
}

} // namespace

class tst_IniFormat final : public QObject
{
    Q_OBJECT

private slots:
    void formatIniFloat_sevenDigitsNoTrailingZeros_data();
    void formatIniFloat_sevenDigitsNoTrailingZeros();
    void formatIniDate_dropsSeconds();
    void formatIniBool_hashLiterals();
    void splitIniLine_splitsAtFirstEquals_data();
    void splitIniLine_splitsAtFirstEquals();
    void parseIniNumber_decimalNumbersOnly_data();
    void parseIniNumber_decimalNumbersOnly();
    void toInt16_roundsHalfToEven_data();
    void toInt16_roundsHalfToEven();
    void toInt32_roundsHalfToEven_data();
    void toInt32_roundsHalfToEven();
    void parseIniDate_writerFormAndLooserForms_data();
    void parseIniDate_writerFormAndLooserForms();
    void parseIniBool_exactLiteralsOnly_data();
    void parseIniBool_exactLiteralsOnly();
    void dateWithSeconds_writtenToTheMinute_readBackWithoutThem();
    void floatsWritten_readBackAsTheSameFloat_data();
    void floatsWritten_readBackAsTheSameFloat();
    void composeTabInfo_sevenLines();
    void composeIni_oneTabExampleOfTheSpec();
    void composeIni_threeTabs();
    void stringsCp932Lacks_keptExactBesideACp932Line_data();
    void stringsCp932Lacks_keptExactBesideACp932Line();
    void exactIniValue_onlyWhileItBelongsToThePlainValue_data();
    void exactIniValue_onlyWhileItBelongsToThePlainValue();
};

void tst_IniFormat::formatIniFloat_sevenDigitsNoTrailingZeros_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1200") << 1200.0f << u"1200"_s;
    QTest::newRow("10") << 10.0f << u"10"_s;
    QTest::newRow("10.5") << 10.5f << u"10.5"_s;
    QTest::newRow("0") << 0.0f << u"0"_s;
    QTest::newRow("-0") << -0.0f << u"0"_s;
    QTest::newRow("negative") << -15.0f << u"-15"_s;
    QTest::newRow("0.1 has no float noise") << 0.1f << u"0.1"_s;
    QTest::newRow("a third, seven digits") << 1.0f / 3.0f << u"0.3333333"_s;
    QTest::newRow("largest without exponent") << 9999999.0f << u"9999999"_s;
    QTest::newRow("eight digits round to seven") << 12345678.0f << u"1.234568E+07"_s;
    QTest::newRow("1E+07") << 1.0e7f << u"1E+07"_s;
    QTest::newRow("0.0001") << 0.0001f << u"0.0001"_s;
    QTest::newRow("1E-05") << 0.00001f << u"1E-05"_s;
    QTest::newRow("largest float") << std::numeric_limits<float>::max() << u"3.402823E+38"_s;
    QTest::newRow("smallest float")
        << std::numeric_limits<float>::denorm_min() << u"1.401298E-45"_s;
    QTest::newRow("NaN is not numeric") << std::numeric_limits<float>::quiet_NaN() << u"NaN"_s;
    QTest::newRow("infinity is not numeric")
        << -std::numeric_limits<float>::infinity() << u"-Inf"_s;
}

void tst_IniFormat::formatIniFloat_sevenDigitsNoTrailingZeros()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(::formatIniFloat(value), text);
}

void tst_IniFormat::formatIniDate_dropsSeconds()
{
    QCOMPARE(formatIniDate(QDateTime(QDate(1999, 7, 5), QTime(9, 5, 59))), u"1999/07/05 09:05"_s);
    QCOMPARE(formatIniDate(QDateTime(QDate(2024, 12, 31), QTime(23, 59))), u"2024/12/31 23:59"_s);
}

void tst_IniFormat::formatIniBool_hashLiterals()
{
    QCOMPARE(::formatIniBool(true), u"#True#"_s);
    QCOMPARE(::formatIniBool(false), u"#False#"_s);
}

void tst_IniFormat::splitIniLine_splitsAtFirstEquals_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("value line") << u"FormTop = 1200"_s << true << u"FormTop"_s << u"1200"_s;
    QTest::newRow("no blanks") << u"a=b"_s << true << u"a"_s << u"b"_s;
    QTest::newRow("blanks around") << u"   a   =   b   "_s << true << u"a"_s << u"b"_s;
    QTest::newRow("only the first = splits")
        << u"TabCaption = a = b"_s << true << u"TabCaption"_s << u"a = b"_s;
    QTest::newRow("empty value") << u"TabCaption ="_s << true << u"TabCaption"_s << QString();
    QTest::newRow("only =") << u"="_s << true << QString() << QString();
    QTest::newRow("trailing blanks of a caption are lost")
        << u"TabCaption = メモ  "_s << true << u"TabCaption"_s << u"メモ"_s;
    QTest::newRow("tabs are not blanks")
        << u"\tkey = value\t"_s << true << u"\tkey"_s << u"value\t"_s;
    QTest::newRow("full-width space is not a blank")
        << u"key = \u3000x"_s << true << u"key"_s << u"\u3000x"_s;
    QTest::newRow("no =") << u"[Tab1]"_s << false << QString() << QString();
    QTest::newRow("empty line") << QString() << false << QString() << QString();
}

void tst_IniFormat::splitIniLine_splitsAtFirstEquals()
{
    QFETCH(QString, line);
    QFETCH(bool, found);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const IniLine result = SplitIniLine(line);
    QCOMPARE(result.found, found);
    QCOMPARE(result.key, key);
    QCOMPARE(result.value, value);
}

void tst_IniFormat::parseIniNumber_decimalNumbersOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalDouble>("number");
    QTest::newRow("integer") << u"1200"_s << OptionalDouble(1200);
    QTest::newRow("negative") << u"-15"_s << OptionalDouble(-15);
    QTest::newRow("plus sign") << u"+7"_s << OptionalDouble(7);
    QTest::newRow("fraction") << u"10.5"_s << OptionalDouble(10.5);
    QTest::newRow("no integer part") << u".5"_s << OptionalDouble(0.5);
    QTest::newRow("no fraction digits") << u"5."_s << OptionalDouble(5);
    QTest::newRow("exponent") << u"1.234568E+07"_s << OptionalDouble(12345680);
    QTest::newRow("small exponent") << u"1e-05"_s << OptionalDouble(0.00001);
    QTest::newRow("leading zeros") << u"007"_s << OptionalDouble(7);
    QTest::newRow("blanks around") << u"  42  "_s << OptionalDouble(42);
    QTest::newRow("empty") << QString() << OptionalDouble();
    QTest::newRow("blanks only") << u"   "_s << OptionalDouble();
    QTest::newRow("word") << u"abc"_s << OptionalDouble();
    QTest::newRow("trailing garbage") << u"12px"_s << OptionalDouble();
    QTest::newRow("thousands separator") << u"1,000"_s << OptionalDouble();
    QTest::newRow("two points") << u"1.2.3"_s << OptionalDouble();
    QTest::newRow("two signs") << u"--1"_s << OptionalDouble();
    QTest::newRow("sign alone") << u"-"_s << OptionalDouble();
    QTest::newRow("point alone") << u"."_s << OptionalDouble();
    QTest::newRow("exponent without digits") << u"1e"_s << OptionalDouble();
    QTest::newRow("exponent alone") << u"e5"_s << OptionalDouble();
    QTest::newRow("blank inside") << u"1 2"_s << OptionalDouble();
    QTest::newRow("hexadecimal") << u"0x10"_s << OptionalDouble();
    QTest::newRow("infinity") << u"inf"_s << OptionalDouble();
    QTest::newRow("NaN") << u"NaN"_s << OptionalDouble();
    QTest::newRow("overflow") << u"1e400"_s << OptionalDouble();
    QTest::newRow("full-width digits") << u"１２"_s << OptionalDouble();
    QTest::newRow("boolean") << u"#True#"_s << OptionalDouble();
}

void tst_IniFormat::parseIniNumber_decimalNumbersOnly()
{
    QFETCH(QString, text);
    QFETCH(OptionalDouble, number);
    QCOMPARE(::parseIniNumber(text), number);
}

void tst_IniFormat::toInt16_roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<OptionalInt>("result");
    QTest::newRow("10.5 -> 10") << 10.5 << OptionalInt(10);
    QTest::newRow("11.5 -> 12") << 11.5 << OptionalInt(12);
    QTest::newRow("0.5 -> 0") << 0.5 << OptionalInt(0);
    QTest::newRow("-10.5 -> -10") << -10.5 << OptionalInt(-10);
    QTest::newRow("-11.5 -> -12") << -11.5 << OptionalInt(-12);
    QTest::newRow("10.4999") << 10.4999 << OptionalInt(10);
    QTest::newRow("10.5001") << 10.5001 << OptionalInt(11);
    QTest::newRow("-0.4") << -0.4 << OptionalInt(0);
    QTest::newRow("largest") << 32767.0 << OptionalInt(32767);
    QTest::newRow("32767.4 rounds into range") << 32767.4 << OptionalInt(32767);
    QTest::newRow("32767.5 rounds out of range") << 32767.5 << OptionalInt();
    QTest::newRow("smallest") << -32768.0 << OptionalInt(-32768);
    QTest::newRow("-32768.5 rounds to even, in range") << -32768.5 << OptionalInt(-32768);
    QTest::newRow("-32768.6") << -32768.6 << OptionalInt();
    QTest::newRow("window far off screen") << 40000.0 << OptionalInt();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << OptionalInt();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << OptionalInt();
}

void tst_IniFormat::toInt16_roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(OptionalInt, result);
    const std::optional<qint16> converted = toInt16(value);
    QCOMPARE(converted.has_value(), result.has_value());
    if (result)
        QCOMPARE(qint64(*converted), *result);
}

void tst_IniFormat::toInt32_roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<OptionalInt>("result");
    QTest::newRow("10.5 -> 10") << 10.5 << OptionalInt(10);
    QTest::newRow("11.5 -> 12") << 11.5 << OptionalInt(12);
    QTest::newRow("40000 fits") << 40000.0 << OptionalInt(40000);
    QTest::newRow("largest") << 2147483647.0 << OptionalInt(2147483647);
    QTest::newRow("2147483647.5 out of range") << 2147483647.5 << OptionalInt();
    QTest::newRow("-2147483648.5 rounds to even, in range")
        << -2147483648.5 << OptionalInt(-2147483648LL);
    QTest::newRow("1e10") << 1e10 << OptionalInt();
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << OptionalInt();
}

void tst_IniFormat::toInt32_roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(OptionalInt, result);
    const std::optional<qint32> converted = toInt32(value);
    QCOMPARE(converted.has_value(), result.has_value());
    if (result)
        QCOMPARE(qint64(*converted), *result);
}

void tst_IniFormat::parseIniDate_writerFormAndLooserForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalDateTime>("date");
    const auto at = [](int y, int mo, int d, int h, int mi, int s = 0) {
        return OptionalDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::LocalTime));
    };
    QTest::newRow("as written") << u"1999/07/15 09:05"_s << at(1999, 7, 15, 9, 5);
    QTest::newRow("without leading zeros") << u"1999/7/5 9:05"_s << at(1999, 7, 5, 9, 5);
    QTest::newRow("with seconds") << u"1999/07/05 09:05:30"_s << at(1999, 7, 5, 9, 5, 30);
    QTest::newRow("blanks around") << u" 2024/12/31 23:59 "_s << at(2024, 12, 31, 23, 59);
    QTest::newRow("leap day") << u"2000/02/29 00:00"_s << at(2000, 2, 29, 0, 0);
    QTest::newRow("month 13") << u"1999/13/01 00:00"_s << OptionalDateTime();
    QTest::newRow("February 30") << u"1999/02/30 10:00"_s << OptionalDateTime();
    QTest::newRow("February 29 of a common year") << u"1999/02/29 10:00"_s << OptionalDateTime();
    QTest::newRow("day 0") << u"1999/07/00 10:00"_s << OptionalDateTime();
    QTest::newRow("hour 24") << u"1999/07/15 24:00"_s << OptionalDateTime();
    QTest::newRow("minute 60") << u"1999/07/15 09:60"_s << OptionalDateTime();
    QTest::newRow("second 60") << u"1999/07/15 09:05:60"_s << OptionalDateTime();
    QTest::newRow("date only") << u"1999/07/15"_s << OptionalDateTime();
    QTest::newRow("two-digit year") << u"99/07/15 09:05"_s << OptionalDateTime();
    QTest::newRow("dashes") << u"1999-07-15 09:05"_s << OptionalDateTime();
    QTest::newRow("garbage after") << u"1999/07/15 09:05x"_s << OptionalDateTime();
    QTest::newRow("empty") << QString() << OptionalDateTime();
}

void tst_IniFormat::parseIniDate_writerFormAndLooserForms()
{
    QFETCH(QString, text);
    QFETCH(OptionalDateTime, date);
    const OptionalDateTime parsed = ::parseIniDate(text);
    QCOMPARE(parsed.has_value(), date.has_value());
    if (date) {
        QCOMPARE(*parsed, *date);
        QCOMPARE(parsed->timeSpec(), Qt::LocalTime);
    }
}

void tst_IniFormat::parseIniBool_exactLiteralsOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result"); // 1 true, 0 false, -1 nothing
    QTest::newRow("#True#") << u"#True#"_s << 1;
    QTest::newRow("#False#") << u"#False#"_s << 0;
    QTest::newRow("True without #") << u"True"_s << -1;
    QTest::newRow("lower case") << u"#true#"_s << -1;
    QTest::newRow("empty") << QString() << -1;
}

void tst_IniFormat::parseIniBool_exactLiteralsOnly()
{
    QFETCH(QString, text);
    QFETCH(int, result);
    const std::optional<bool> parsed = ::parseIniBool(text);
    QCOMPARE(parsed.has_value(), result >= 0);
    if (parsed)
        QCOMPARE(*parsed, result == 1);
}

void tst_IniFormat::dateWithSeconds_writtenToTheMinute_readBackWithoutThem()
{
    const QDateTime created(QDate(2023, 4, 1), QTime(13, 37, 42));
    const OptionalDateTime read = ::parseIniDate(formatIniDate(created));
    QVERIFY(read);
    QCOMPARE(*read, QDateTime(QDate(2023, 4, 1), QTime(13, 37)));
}

void tst_IniFormat::floatsWritten_readBackAsTheSameFloat_data()
{
    QTest::addColumn<float>("value");
    QTest::newRow("10.5") << 10.5f;
    QTest::newRow("9.75") << 9.75f;
    QTest::newRow("0.1") << 0.1f;
    QTest::newRow("geometry") << 11520.0f;
    QTest::newRow("negative geometry") << -32000.0f;
    QTest::newRow("exponent form") << 123456789.0f;
    QTest::newRow("tiny") << 0.00001f;
}

void tst_IniFormat::floatsWritten_readBackAsTheSameFloat()
{
    QFETCH(float, value);
    const OptionalDouble read = ::parseIniNumber(::formatIniFloat(value));
    QVERIFY(read);
    QCOMPARE(static_cast<float>(*read), value);
}

void tst_IniFormat::composeTabInfo_sevenLines()
{
    TabInfo info = exampleTab();
    info.fontSize = 10.5f;
    info.created = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    info.alarm = QDateTime(QDate(2001, 2, 4), QTime(7, 8));
    info.alarmOn = true;
    info.dispIndex = 3;
    info.caption = u"a = b"_s;
    QCOMPARE(composeTabInfo(info),
        crlfLines({
            u"FontName = ＭＳ ゴシック"_s,
            u"FontSize = 10.5"_s,
            u"CreatDate = 2001/02/03 04:05"_s,
            u"AlarmDate = 2001/02/04 07:08"_s,
            u"AlarmSetOn = #True#"_s,
            u"DispIndex = 3"_s,
            u"TabCaption = a = b"_s,
        }));
}

void tst_IniFormat::composeIni_oneTabExampleOfTheSpec()
{
    const QString text = composeIni(exampleGlobals(), {composeTabInfo(exampleTab())});
    const QString expected = u"----------Nokuri iniファイル----------\r\n"
                             "FormTop = 1200\r\n"
                             "FormLeft = 1500\r\n"
                             "FormHeight = 4800\r\n"
                             "FormWidth = 6600\r\n"
                             "TabDisp = 1\r\n"
                             "DefFontName = ＭＳ ゴシック\r\n"
                             "DefFontSize = 10\r\n"
                             "MakeBackup = #True#\r\n"
                             "ScrlType = V\r\n"
                             "\r\n"
                             "[Tab1]\r\n"
                             "FontName = ＭＳ ゴシック\r\n"
                             "FontSize = 10\r\n"
                             "CreatDate = 1999/07/15 09:05\r\n"
                             "AlarmDate = 1999/07/15 09:05\r\n"
                             "AlarmSetOn = #False#\r\n"
                             "DispIndex = 0\r\n"
                             "TabCaption = メモ\r\n"
                             "\r\n"
                             "\r\n"_s;
    QCOMPARE(text, expected);
    QVERIFY(text.endsWith(u"メモ\r\n\r\n\r\n"_s));
    // Everything in it is cp932, so the file is plain cp932 as the original program wrote it.
    const QByteArray bytes = encodeNoteText(text);
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.startsWith(
        QByteArray("----------Nokuri ini") + QByteArray::fromHex("837483408343838b")));
    QCOMPARE(decodeNoteText(bytes), expected);
}

void tst_IniFormat::composeIni_threeTabs()
{
    IniGlobals globals = exampleGlobals();
    globals.tabDisp = 3;
    globals.makeBackup = false;
    globals.scrlType = ScrollType::Both;
    globals.top = -120;
    globals.defFontSize = 12;
    QStringList infos;
    for (int i = 0; i < 3; ++i) {
        TabInfo info = exampleTab();
        info.fontSize = 9.0f + 0.5f * static_cast<float>(i);
        info.dispIndex = static_cast<qint16>(i);
        info.caption = u"タブ%1"_s.arg(i + 1);
        info.alarmOn = i == 1;
        infos.append(composeTabInfo(info));
    }
    QStringList lines {
        u"----------Nokuri iniファイル----------"_s,
        u"FormTop = -120"_s,
        u"FormLeft = 1500"_s,
        u"FormHeight = 4800"_s,
        u"FormWidth = 6600"_s,
        u"TabDisp = 3"_s,
        u"DefFontName = ＭＳ ゴシック"_s,
        u"DefFontSize = 12"_s,
        u"MakeBackup = #False#"_s,
        u"ScrlType = W"_s,
        QString(),
    };
    const QStringList sizes {u"9"_s, u"9.5"_s, u"10"_s};
    for (int i = 0; i < 3; ++i) {
        lines << u"[Tab%1]"_s.arg(i + 1) << u"FontName = ＭＳ ゴシック"_s
              << u"FontSize = "_s + sizes.at(i) << u"CreatDate = 1999/07/15 09:05"_s
              << u"AlarmDate = 1999/07/15 09:05"_s
              << (i == 1 ? u"AlarmSetOn = #True#"_s : u"AlarmSetOn = #False#"_s)
              << u"DispIndex = %1"_s.arg(i) << u"TabCaption = タブ%1"_s.arg(i + 1) << QString();
    }
    lines << QString();
    QCOMPARE(composeIni(globals, infos), crlfLines(lines));
}

void tst_IniFormat::stringsCp932Lacks_keptExactBesideACp932Line_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("encoded"); // empty: no exact line
    QTest::newRow("emoji caption") << u"📝 Memo"_s << u"%F0%9F%93%9D%20Memo"_s;
    QTest::newRow("Hangul font name") << u"나눔"_s << u"%EB%82%98%EB%88%94"_s;
    QTest::newRow("percent and outer blanks") << u" 100% 😀 "_s << u"%20100%25%20%F0%9F%98%80%20"_s;
    QTest::newRow("wave dash has cp932 bytes") << u"〜"_s << QString();
    QTest::newRow("cp932 text") << u"ＭＳ ゴシック"_s << QString();
}

void tst_IniFormat::stringsCp932Lacks_keptExactBesideACp932Line()
{
    QFETCH(QString, value);
    QFETCH(QString, encoded);
    IniGlobals globals = exampleGlobals();
    globals.defFontName = value;
    TabInfo tab = exampleTab();
    tab.fontName = value;
    tab.caption = value;
    const QString text = composeIni(globals, {composeTabInfo(tab)});
    const QStringList lines = decodeNoteText(encodeCp932Lossy(text)).split(u"\r\n"_s);
    for (const QString &key : {u"DefFontName"_s, u"FontName"_s, u"TabCaption"_s}) {
        const qsizetype plain = lines.indexOf(QRegularExpression(key + u" = .*"_s));
        const IniLine exact = SplitIniLine(lines.value(plain + 1));
        QCOMPARE(exact.key == exactValueKey(key), !encoded.isEmpty());
        if (!encoded.isEmpty()) {
            QCOMPARE(exact.value, encoded);
            QCOMPARE(exactIniValue(SplitIniLine(lines[plain]).value, exact.value), value);
        }
    }
}

void tst_IniFormat::exactIniValue_onlyWhileItBelongsToThePlainValue_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("encoded");
    QTest::addColumn<OptionalString>("exact");
    QTest::newRow("belongs") << u"? Memo"_s << u"%F0%9F%93%9D%20Memo"_s
                             << std::optional(u"📝 Memo"_s);
    QTest::newRow("plain value edited by hand")
        << u"Memo"_s << u"%F0%9F%93%9D%20Memo"_s << std::optional<QString>();
    QTest::newRow("look-alike in the plain value")
        << u"～?"_s << u"%E3%80%9C%F0%9F%98%80"_s << std::optional(u"〜😀"_s);
    QTest::newRow("blanks the plain value lost")
        << u"?"_s << u"%F0%9F%98%80%20%20"_s << std::optional(u"😀  "_s);
    QTest::newRow("lower-case hex") << u"?"_s << u"%f0%9f%98%80"_s << std::optional(u"😀"_s);
    QTest::newRow("cut-off escape") << u"?"_s << u"%F0%9F%98%8"_s << std::optional<QString>();
    QTest::newRow("not hex") << u"?"_s << u"%F0%9F%98%8G"_s << std::optional<QString>();
    QTest::newRow("not UTF-8") << u"?"_s << u"%FF"_s << std::optional<QString>();
}

void tst_IniFormat::exactIniValue_onlyWhileItBelongsToThePlainValue()
{
    QFETCH(QString, plain);
    QFETCH(QString, encoded);
    QFETCH(std::optional<QString>, exact);
    QCOMPARE(exactIniValue(plain, encoded), exact);
}

QTEST_GUILESS_MAIN(tst_IniFormat)
#include "tst_IniFormat.moc"
