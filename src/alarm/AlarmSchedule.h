#pragma once

class QTimer;
class TabSet;

// Lets the alarm timer sleep while a tick has nothing to do. A tick checks the alarms and
// refreshes the status bar from the tabs, so with no alarm on and no change of the tabs since
// the last tick it would change nothing: the timer stops, and the next change of the tabs
// starts it again. While an alarm is on it ticks every second rather than once at the due
// moment, because a timer armed hours ahead counts only the time the machine is awake and
// knows nothing of a changed clock; the per-second comparison with the present catches both.
class AlarmSchedule final
{
public:
    AlarmSchedule(QTimer &timer, const TabSet &tabs);

    // The tabs changed: the next tick shows the change and checks any new alarm.
    void tabsChanged();
    // A tick has run: sleep unless an alarm is still on.
    void tickDone();

private:
    bool anyAlarmOn() const;

    QTimer &m_timer;
    const TabSet &m_tabs;
};
