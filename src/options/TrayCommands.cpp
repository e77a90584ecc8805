#include "options/TrayCommands.h"

#include "mainwin/frmMain.h"

TrayCommands::TrayCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
}
