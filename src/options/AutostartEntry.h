#pragma once

#include <QString>
#include <optional>

// The desktop entry that starts the program at login, in the XDG autostart folder. It starts
// the program file that runs now, so that a copy kept in a folder of its own starts with that
// folder's notes, and asks it to wait in the tray.
class AutostartEntry final
{
public:
    AutostartEntry(const QString &autostartDir, const QString &program);
    // The entry in $XDG_CONFIG_HOME/autostart for the running program file.
    static AutostartEntry ofRunningProgram();

    QString filePath() const;
    // The entry is there and not switched off the way desktops' startup settings do it.
    bool isOn() const;
    // Writes or removes the entry; the reason when that failed.
    std::optional<QString> setOn(bool on) const;
    QString text() const;

private:
    QString m_dir;
    QString m_program;
};
