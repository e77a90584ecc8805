#pragma once

#include "persist/SaveEngine.h"

#include <QRect>
#include <QString>

class frmMain;

// TabSet.ini: the window, the options, the default font and one section per tab.
// ReadIni applies each recognised line at once; a line that fails is reported once and
// reading goes on with the next line, so a damaged file never stops the start-up.
class SettingsFile final
{
public:
    static constexpr auto FileName = "TabSet.ini";

    explicit SettingsFile(frmMain &main);

    void ReadIni();
    // The whole file as it is to be written.
    SaveFile WriteIni() const;

private:
    void applyGlobal(const QString &key, const QString &value);
    void applyTab(int index, const QString &key, const QString &value);
    void applyGeometry(const QString &key, qint32 twips);
    void refreshPage(int index);
    void restoreGeometry();

    frmMain &m_main;
    // Geometry read so far, in twips; applied once the file is read.
    QRect m_geometry;
    bool m_geometryRead = false;
};
