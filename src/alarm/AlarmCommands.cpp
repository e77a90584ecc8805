#include "alarm/AlarmCommands.h"

#include "mainwin/MainMenus.h"
#include "mainwin/TabWindow.h"
#include "platform/AlarmTimeDialog.h"
#include "platform/DesktopNotifier.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "store/TabError.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QAction>
#include <QTimer>
#include <memory>

using namespace Qt::StringLiterals;

AlarmCommands::AlarmCommands(
    TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus)
    : QObject(&window.widget())
    , m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
    , m_tmrAlarm(new QTimer(this))
    , m_schedule(*m_tmrAlarm, tabs)
{
    connect(menus.mnuAlmSet, &QAction::triggered, this, &AlarmCommands::mnuAlmSet_Click);
    connect(menus.mnuAlmOff, &QAction::triggered, this, &AlarmCommands::mnuAlmOff_Click);

    m_tmrAlarm->setObjectName(u"tmrAlarm"_s);
    m_tmrAlarm->setInterval(1000);
    connect(m_tmrAlarm, &QTimer::timeout, this, &AlarmCommands::tmrAlarm_Timer);
    m_tmrAlarm->start();
    tabs.addChangeListener([this] { m_schedule.tabsChanged(); });
    connect(&platform.notifier(), &DesktopNotifier::openRequested, this, &AlarmCommands::openTab);
}

void AlarmCommands::mnuAlmSet_Click()
{
    const int s = m_window.selectedTab();
    const clsTabCont &shown = m_tabs[s];
    const std::unique_ptr<AlarmTimeDialog> dialog = m_platform.createAlarmTimeDialog();
    if (!dialog) {
        reportUnexpectedError();
        return;
    }
    dialog->setCaption(u"アラームの設定"_s);
    dialog->setValue(shown.OnAlm() ? shown.Alarm() : m_platform.now());
    dialog->show();
    if (dialog->result() != AlarmTimeDialog::Confirmed)
        return;
    // Events ran while the dialog was open: a tab that has gone since counts as a failure
    // rather than a write to a stale record.
    if (s >= m_tabs.count()) {
        reportUnexpectedError();
        return;
    }
    try {
        m_tabs[s].setAlarm(dialog->value());
    } catch (const TabError &error) {
        if (error.number() != TabError::AlarmTooSoon) {
            reportUnexpectedError();
            return;
        }
        m_platform.showMessage(
            u"現時刻より１分以内はセットできません"_s, u"アラーム設定エラー"_s, MessageIcon::None);
    }
}

void AlarmCommands::reportUnexpectedError()
{
    m_platform.showMessage(u"予期せぬエラーです"_s, u"Nokuri"_s, MessageIcon::None);
}

void AlarmCommands::mnuAlmOff_Click()
{
    m_tabs[m_window.selectedTab()].setOnAlm(false);
}

void AlarmCommands::tmrAlarm_Timer()
{
    // While a quit cancels every box, a due alarm stays on: the next start reports it missed.
    // While a save runs, the first tick after it reports: a message must not open inside it.
    if (!m_platform.modals().admits() || m_platform.modals().waiting())
        return;
    TabSet &tabs = m_tabs;
    const int n = tabs.count();
    for (int i = 0; i < n; ++i) {
        // A message lets events run, and they may have deleted tabs since the tick began.
        if (i >= tabs.count())
            break;
        clsTabCont &record = tabs[i];
        if (!record.OnAlm() || record.Alarm() > m_platform.now())
            continue;
        // Off before the message, so that a tick nested inside it does not report it again.
        record.setOnAlm(false);
        const QString text = u"タブ「"_s + record.Title(0) + u"」の時間です"_s;
        // First: the box waits for the user, the notification does not.
        m_platform.notifier().notifyAlarm(text, i);
        m_platform.showMessage(text, u"Nokuriのアラーム"_s, MessageIcon::None);
    }
    // Ticks also come while start-up is still building the tabs.
    const int s = m_window.selectedTab();
    if (s >= 0 && s < tabs.count())
        m_window.DispStatus();
    m_schedule.tickDone();
}

void AlarmCommands::openTab(int tab)
{
    // The tab may have gone since the notification was sent.
    if (tab < m_tabs.count())
        m_window.selectTab(tab + 1);
    emit windowWanted();
}
