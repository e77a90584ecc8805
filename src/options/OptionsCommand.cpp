#include "options/OptionsCommand.h"

#include "mainwin/frmMain.h"

OptionsCommand::OptionsCommand(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
}
