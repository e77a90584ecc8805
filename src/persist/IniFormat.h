#pragma once

#include "persist/ScrollType.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

// Values as TabSet.ini writes them.
// Floats: at most 7 significant digits, "." as the point, no trailing zeros: 1200, 10, 10.5.
// Outside 1E-04 .. 9999999 the exponent form of the original program: 1.234568E+07, 1E-05.
// NaN and the infinities give "NaN", "Inf", "-Inf", which parseIniNumber refuses.
QString formatIniFloat(float value);
// "yyyy/mm/dd hh:nn", seconds dropped.
QString formatIniDate(const QDateTime &value);
// "#True#" / "#False#".
QString formatIniBool(bool value);

struct IniLine
{
    bool found = false;
    QString key;
    QString value;
};

// Drops U+0020 blanks at both ends; tabs and a lone LF stay part of the text.
QString trimBlanks(QStringView text);

// Splits "key = value" at the first "="; blanks around the line, key and value are dropped.
IniLine SplitIniLine(const QString &line);

// A decimal number, optionally signed, with optional fraction and exponent.
std::optional<double> parseIniNumber(const QString &text);
// Rounds halves to even; nothing outside the 16-bit (or 32-bit) range.
std::optional<qint16> toInt16(double value);
std::optional<qint32> toInt32(double value);
// "yyyy/mm/dd hh:nn", also with seconds and without leading zeros ("1999/7/5 9:05"), as local
// time; dates and times that do not exist (month 13, February 30, 24:00) are nothing.
std::optional<QDateTime> parseIniDate(const QString &text);
// "#True#" / "#False#"; anything else is nothing.
std::optional<bool> parseIniBool(const QString &text);

// TabSet.ini stays cp932, so that the Windows program reads every tab. A string value that
// cp932 cannot hold whole (an emoji in a caption, a font name in another script) is written on
// its own line with "?" for each such character, and the line "<key>.utf8 = <exact value>"
// follows: the value as UTF-8, every byte outside "!".."~" and every "%" written as %XX
// (TabCaption.utf8 = %F0%9F%93%9D%20Memo). The Windows program ignores the unknown key.
QString exactValueKey(const QString &key);
// The exact value of such a line, when it still belongs to `plain`, the value read from the
// plain line beside it: after a hand edit of the plain value, that value wins.
std::optional<QString> exactIniValue(const QString &plain, const QString &encoded);

// One "[TabN]" section body: the seven lines of a tab, each ending CR LF, and the exact
// values of strings that cp932 cannot hold.
struct TabInfo
{
    QString fontName;
    float fontSize = 0;
    QDateTime created;
    QDateTime alarm;
    bool alarmOn = false;
    qint16 dispIndex = 0;
    QString caption;
};
QString composeTabInfo(const TabInfo &info);

struct IniGlobals
{
    float top = 0;
    float left = 0;
    float height = 0;
    float width = 0;
    qint16 tabDisp = 1;
    QString defFontName;
    qint16 defFontSize = 10;
    bool makeBackup = true;
    ScrollType scrlType = ScrollType::Vertical;
};

// The whole file: header, globals, an empty line, each tab's section and a final CR LF.
QString composeIni(const IniGlobals &globals, const QStringList &tabInfos);
