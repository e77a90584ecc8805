#pragma once

#include "persist/ScrollType.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

// A line of TabSet.ini that could not be read or applied: its number from 1 and its text
// without the surrounding blanks.
struct IniProblem
{
    qsizetype line = 0;
    QString text;
};

// A string value and its ".utf8" lines. The exact values read while the section held no plain
// line yet are checked against the value the setting has when applied.
struct IniString
{
    std::optional<QString> plain;
    QStringList pendingExact;

    void readPlain(const QString &value);
    void readExact(const QString &encoded);
    // The value after these lines, for a setting that holds `current` before them.
    QString appliedTo(const QString &current) const;
    bool isRead() const { return plain || !pendingExact.isEmpty(); }
};

// A displayed entry as read; refused when the record holds no such entry.
struct IniDispIndex
{
    IniProblem source;
    qint16 index = 0;
};

// One "[TabN]" section. An alarm time and the alarm switch act on each other, so both stay in
// file order: the time switches the alarm on when it is a minute ahead, the switch then wins.
struct IniTabSettings
{
    IniString fontName;
    std::optional<float> fontSize;
    std::optional<QDateTime> created;
    QList<std::variant<QDateTime, bool>> alarmSteps;
    QList<IniDispIndex> dispIndexes;
    IniString caption;
    // Lines of this section that failed; reported only when a tab has the section's number.
    QList<IniProblem> problems;
};

// TabSet.ini as read: for each key the last value that passed its test, and what depends on
// the window (the tab count, a record's entries, the clock) left for the one who applies it.
struct IniSettings
{
    // Twips.
    std::optional<qint32> top;
    std::optional<qint32> left;
    std::optional<qint32> height;
    std::optional<qint32> width;
    // Strip positions in file order; the last that names a tab is selected.
    QList<qint16> tabDisp;
    IniString defFontName;
    std::optional<qint16> defFontSize;
    std::optional<bool> makeBackup;
    std::optional<ScrollType> scrlType;
    // By section number, also numbers no tab has.
    QMap<qint16, IniTabSettings> tabs;
    // Lines outside the tab sections that failed, in file order.
    QList<IniProblem> problems;
};

// The mirror of composeIni: the file's bytes (cp932) to settings. Never fails; a line that
// cannot be read is listed in `problems` and reading goes on with the next line.
IniSettings parseIni(const QByteArray &bytes);
