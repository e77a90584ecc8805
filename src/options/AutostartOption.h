#pragma once

#include "options/AutostartEntry.h"

#include <QObject>

class PlatformServices;
class frmOpt;

// The options dialog's "ログイン時に起動する" box for as long as the dialog is open: it shows
// whether the entry is there now (the user may have removed it by hand), and the dialog's Ok
// writes or removes the entry when the box changed. The desktop keeps this setting, not the
// notes folder.
class AutostartOption final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AutostartOption)
public:
    AutostartOption(frmOpt &dialog, AutostartEntry entry, PlatformServices &platform);

private:
    void apply();

    frmOpt &m_dialog;
    AutostartEntry m_entry;
    PlatformServices &m_platform;
    bool m_wasOn;
};
