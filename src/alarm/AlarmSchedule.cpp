#include "alarm/AlarmSchedule.h"

#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QTimer>

AlarmSchedule::AlarmSchedule(QTimer &timer, const TabSet &tabs)
    : m_timer(timer)
    , m_tabs(tabs)
{ }

void AlarmSchedule::tabsChanged()
{
    // Restarting a running timer would put its next tick off with every change.
    if (!m_timer.isActive())
        m_timer.start();
}

void AlarmSchedule::tickDone()
{
    if (!anyAlarmOn())
        m_timer.stop();
}

bool AlarmSchedule::anyAlarmOn() const
{
    for (int i = 0; i < m_tabs.count(); ++i) {
        if (m_tabs[i].OnAlm())
            return true;
    }
    return false;
}
