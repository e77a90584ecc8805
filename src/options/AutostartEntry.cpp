#include "options/AutostartEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Exec takes its program quoted, with ", `, $ and \ escaped inside the quotes; the value as a
// whole is then a string value, whose own escaping doubles every backslash, and field codes
// make % special.
QString quotedExecArgument(const QString &argument)
{
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u"\\"_s, u"\\\\"_s);
    quoted.replace(u"%"_s, u"%%"_s);
    quoted.replace(u"\n"_s, u"\\n"_s);
    return u'"' + quoted + u'"';
}

// The desktops' ways of keeping an entry but not starting it.
bool switchedOff(const QString &line)
{
    const QString key = line.section(u'=', 0, 0).trimmed();
    const QString value = line.section(u'=', 1).trimmed();
    return (key == u"Hidden"_s && value == u"true"_s)
        || (key == u"X-GNOME-Autostart-enabled"_s && value == u"false"_s);
}

} // namespace

AutostartEntry::AutostartEntry(const QString &autostartDir, const QString &program)
    : m_dir(autostartDir)
    , m_program(program)
{ }

AutostartEntry AutostartEntry::ofRunningProgram()
{
    return AutostartEntry(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/autostart"_s,
        QCoreApplication::applicationFilePath());
}

QString AutostartEntry::filePath() const
{
    return m_dir + u"/nokuri.desktop"_s;
}

bool AutostartEntry::isOn() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    QString line;
    while (in.readLineInto(&line)) {
        if (switchedOff(line))
            return false;
    }
    return true;
}

std::optional<QString> AutostartEntry::setOn(bool on) const
{
    if (!on) {
        QFile file(filePath());
        if (file.exists() && !file.remove())
            return file.errorString();
        return std::nullopt;
    }
    if (!QDir().mkpath(m_dir))
        return u"%1 を作れません"_s.arg(QDir::toNativeSeparators(m_dir));
    QSaveFile file(filePath());
    const QByteArray bytes = text().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return std::nullopt;
}

QString AutostartEntry::text() const
{
    return u"[Desktop Entry]\n"
           u"Type=Application\n"
           u"Name=Nokuri\n"
           u"Comment=タブで整理する付箋メモ\n"
           u"Icon=nokuri\n"
           u"Exec=%1 --autostart\n"
           u"Terminal=false\n"
           u"X-GNOME-Autostart-enabled=true\n"_s.arg(quotedExecArgument(m_program));
}
