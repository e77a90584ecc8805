#include "commands/SortCommands.h"

#include "mainwin/frmMain.h"

SortCommands::SortCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
}
