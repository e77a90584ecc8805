#pragma once

#include "persist/SaveEngine.h"

#include <QList>
#include <QString>

class frmMain;
struct IniProblem;
struct IniSettings;
struct IniTabSettings;

// TabSet.ini: the window, the options, the default font and one section per tab.
// ReadIni parses the whole file, then applies what it holds; the lines that fail are reported
// together in one box, so a damaged file never stops the start-up.
class SettingsFile final
{
public:
    static constexpr auto FileName = "TabSet.ini";

    explicit SettingsFile(frmMain &main);

    void ReadIni();
    // The whole file as it is to be written.
    SaveFile WriteIni() const;

private:
    void apply(const IniSettings &settings);
    void applyGlobals(const IniSettings &settings);
    // Adds the lines of the section that fail, read or applied, to `problems`.
    void applyTab(int index, const IniTabSettings &tab, QList<IniProblem> &problems);
    void refreshPage(int index);
    void restoreGeometry(const IniSettings &settings);

    frmMain &m_main;
};
