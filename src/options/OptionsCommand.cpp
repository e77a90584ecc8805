#include "options/OptionsCommand.h"

#include "mainwin/MainMenus.h"
#include "mainwin/frmMain.h"
#include "options/clsTabOpt.h"

#include <QAction>

OptionsCommand::OptionsCommand(frmMain &main)
    : QObject(&main)
    , m_main(main)
{
    connect(main.menus().mnuTabOpt, &QAction::triggered, this, &OptionsCommand::mnuTabOpt_Click);
}

void OptionsCommand::mnuTabOpt_Click()
{
    clsTabOpt options(m_main.platform());
    options.ShowForm(m_main.ScrlType(), m_main.MakeBackup());
    // Switching every page is only worth doing for a real change.
    if (options.Scrl() != m_main.ScrlType())
        m_main.ApplyScrlType(options.Scrl());
    m_main.setMakeBackup(options.Backup());
}
