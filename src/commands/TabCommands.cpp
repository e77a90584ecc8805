#include "commands/TabCommands.h"

#include "mainwin/frmMain.h"

TabCommands::TabCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
}
