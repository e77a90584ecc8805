#include "options/OptionsCommand.h"

#include "mainwin/MainMenus.h"
#include "mainwin/WindowOptions.h"
#include "options/clsTabOpt.h"

#include <QAction>

OptionsCommand::OptionsCommand(
    WindowOptions &options, PlatformServices &platform, const MainMenus &menus, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_platform(platform)
{
    connect(menus.mnuTabOpt, &QAction::triggered, this, &OptionsCommand::mnuTabOpt_Click);
}

void OptionsCommand::mnuTabOpt_Click()
{
    const ScrollType current = m_options.scrollType();
    clsTabOpt options(m_platform);
    options.ShowForm(scrollTypeLetter(current), m_options.MakeBackup());
    // Switching every page is only worth doing for a real change.
    const std::optional<ScrollType> chosen = scrollTypeFromLetter(options.Scrl());
    if (chosen && *chosen != current)
        m_options.ApplyScrlType(*chosen);
    m_options.setMakeBackup(options.Backup());
}
