#include "alarm/AlarmCommands.h"

#include "mainwin/frmMain.h"

AlarmCommands::AlarmCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
}
