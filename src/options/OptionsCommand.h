#pragma once

#include <QObject>

class MainMenus;
class PlatformServices;
class WindowOptions;

// The tab menu's options command: lets the user change the scroll type and the backup flag
// through the options dialog. Nothing is saved here; the next save writes both.
class OptionsCommand final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OptionsCommand)
public:
    OptionsCommand(WindowOptions &options, PlatformServices &platform, const MainMenus &menus,
        QObject *parent);

    void mnuTabOpt_Click();

private:
    WindowOptions &m_options;
    PlatformServices &m_platform;
};
