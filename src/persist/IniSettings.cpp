#include "persist/IniSettings.h"

#include "persist/IniFormat.h"
#include "persist/NoteCodec.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

std::optional<qint16> int16Of(const QString &value)
{
    const auto number = parseIniNumber(value);
    return number ? toInt16(*number) : std::nullopt;
}

// Each reader returns false for a line whose value passed its test but cannot be held.
bool readGlobal(IniSettings &settings, const QString &key, const QString &value)
{
    if (key == u"FormTop" || key == u"FormLeft" || key == u"FormHeight" || key == u"FormWidth") {
        const auto number = parseIniNumber(value);
        if (!number)
            return true;
        // 32-bit: today's screens are wider than 32767 twips.
        const auto twips = toInt32(*number);
        if (!twips)
            return false;
        auto &field = key == u"FormTop" ? settings.top
            : key == u"FormLeft"        ? settings.left
            : key == u"FormHeight"      ? settings.height
                                        : settings.width;
        field = *twips;
    } else if (key == u"TabDisp" || key == u"DefFontSize") {
        if (!parseIniNumber(value))
            return true;
        const auto number = int16Of(value);
        if (!number)
            return false;
        if (key == u"TabDisp")
            settings.tabDisp.append(*number);
        else
            settings.defFontSize = *number;
    } else if (key == u"DefFontName") {
        settings.defFontName.readPlain(value);
    } else if (key == exactValueKey(u"DefFontName"_s)) {
        settings.defFontName.readExact(value);
    } else if (key == u"MakeBackup") {
        if (const auto flag = parseIniBool(value))
            settings.makeBackup = *flag;
    } else if (key == u"ScrlType") {
        if (const auto type = scrollTypeFromLetter(value))
            settings.scrlType = *type;
    }
    return true;
}

bool readTab(IniTabSettings &tab, const QString &key, const QString &value, const IniProblem &line)
{
    if (key == u"FontName") {
        tab.fontName.readPlain(value);
    } else if (key == exactValueKey(u"FontName"_s)) {
        tab.fontName.readExact(value);
    } else if (key == u"FontSize") {
        const auto number = parseIniNumber(value);
        if (!number)
            return true;
        if (std::abs(*number) > 3.402823e38)
            return false;
        tab.fontSize = float(*number);
    } else if (key == u"CreatDate") {
        if (const auto date = parseIniDate(value))
            tab.created = *date;
    } else if (key == u"AlarmDate") {
        if (const auto date = parseIniDate(value))
            tab.alarmSteps.append(*date);
    } else if (key == u"AlarmSetOn") {
        if (const auto flag = parseIniBool(value))
            tab.alarmSteps.append(*flag);
    } else if (key == u"DispIndex") {
        if (!parseIniNumber(value))
            return true;
        const auto index = int16Of(value);
        if (!index)
            return false;
        tab.dispIndexes.append({line, *index});
    } else if (key == u"TabCaption") {
        tab.caption.readPlain(value);
    } else if (key == exactValueKey(u"TabCaption"_s)) {
        tab.caption.readExact(value);
    }
    return true;
}

} // namespace

void IniString::readPlain(const QString &value)
{
    plain = value;
    pendingExact.clear();
}

void IniString::readExact(const QString &encoded)
{
    if (!plain)
        pendingExact.append(encoded);
    else if (const auto exact = exactIniValue(*plain, encoded))
        plain = *exact;
}

QString IniString::appliedTo(const QString &current) const
{
    QString value = plain.value_or(current);
    for (const QString &encoded : pendingExact)
        value = exactIniValue(value, encoded).value_or(value);
    return value;
}

IniSettings parseIni(const QByteArray &bytes)
{
    IniSettings settings;
    const QStringList lines = splitNoteLines(decodeNoteText(bytes));
    // 0: the global keys; a negative number or one no tab has is read and left unapplied.
    qint16 section = 0;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const IniProblem line {n + 1, trimBlanks(lines[n])};
        const QString &s = line.text;
        bool read = true;
        QList<IniProblem> *problems = &settings.problems;
        if (s.startsWith(u'-')) {
            section = 0;
        } else if (s.startsWith(u'[')) {
            if (s.startsWith(u"[Tab"_s) && s.endsWith(u']')) {
                const auto number = int16Of(s.mid(4, s.size() - 5));
                read = number.has_value();
                section = number.value_or(section);
            }
        } else if (const IniLine parsed = SplitIniLine(s); parsed.found) {
            if (section == 0)
                read = readGlobal(settings, parsed.key, parsed.value);
            else if (section > 0) {
                IniTabSettings &tab = settings.tabs[section];
                read = readTab(tab, parsed.key, parsed.value, line);
                problems = &tab.problems;
            }
        }
        if (!read)
            problems->append(line);
    }
    return settings;
}
