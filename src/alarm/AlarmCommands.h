#pragma once

#include "alarm/AlarmSchedule.h"

#include <QObject>

class MainMenus;
class PlatformServices;
class QTimer;
class TabSet;
class TabWindow;

// The alarm menu's two commands on the selected tab, and the once-a-second timer that reports
// every due alarm of every tab and keeps the status bar current.
class AlarmCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AlarmCommands)
public:
    AlarmCommands(
        TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus);

    // Asks for a time, starting at the alarm time while on and at the present moment while
    // off; refusals and failures are reported and leave the alarm as it was.
    void mnuAlmSet_Click();
    // Switches the alarm off and keeps its time.
    void mnuAlmOff_Click();

    // One tick: each due alarm is switched off, then reported with a modal message, in tab
    // order, as a desktop notification too; the status bar is refreshed at the end. Safe to run
    // nested inside a message; does nothing while a save runs. The timer sleeps while no alarm
    // is on and the tabs stay as they are.
    void tmrAlarm_Timer();
    const QTimer &tmrAlarm() const { return *m_tmrAlarm; }

signals:
    // A notification's "開く" has put its tab in front: the window is to come back from the tray.
    void windowWanted();

private:
    void reportUnexpectedError();
    // A notification's "開く".
    void openTab(int tab);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
    QTimer *m_tmrAlarm;
    AlarmSchedule m_schedule;
};
