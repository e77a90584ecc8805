#include "alarm/AlarmCommands.h"

#include "mainwin/MainMenus.h"
#include "mainwin/frmMain.h"
#include "platform/AlarmTimeDialog.h"
#include "platform/ModalGate.h"
#include "platform/PlatformServices.h"
#include "store/TabError.h"
#include "store/clsTabCont.h"

#include <QAction>
#include <QTimer>
#include <exception>
#include <memory>

using namespace Qt::StringLiterals;

AlarmCommands::AlarmCommands(frmMain &main)
    : QObject(&main)
    , m_main(main)
    , m_tmrAlarm(new QTimer(this))
{
    connect(main.menus().mnuAlmSet, &QAction::triggered, this, &AlarmCommands::mnuAlmSet_Click);
    connect(main.menus().mnuAlmOff, &QAction::triggered, this, &AlarmCommands::mnuAlmOff_Click);

    m_tmrAlarm->setObjectName(u"tmrAlarm"_s);
    m_tmrAlarm->setInterval(1000);
    connect(m_tmrAlarm, &QTimer::timeout, this, &AlarmCommands::tmrAlarm_Timer);
    m_tmrAlarm->start();
}

void AlarmCommands::mnuAlmSet_Click()
{
    PlatformServices &platform = m_main.platform();
    try {
        const int s = m_main.selectedTab();
        const clsTabCont &shown = m_main.tabs()[s];
        const std::unique_ptr<AlarmTimeDialog> dialog = platform.createAlarmTimeDialog();
        dialog->setCaption(u"アラームの設定"_s);
        dialog->setValue(shown.OnAlm() ? shown.Alarm() : platform.now());
        dialog->show();
        if (dialog->result() != AlarmTimeDialog::Confirmed)
            return;
        // Looked up again: events ran while the dialog was open, and a tab that has gone
        // since counts as a failure rather than a write to a stale record.
        clsTabCont &record = m_main.tabs()[s];
        record.setAlarm(dialog->value());
        record.setOnAlm(true);
    } catch (const TabError &error) {
        if (error.number() == TabError::AlarmTooSoon) {
            platform.showMessage(u"現時刻より１分以内はセットできません"_s, u"アラーム設定エラー"_s,
                MessageIcon::None);
        } else {
            platform.showMessage(u"予期せぬエラーです"_s, u"Nokuri"_s, MessageIcon::None);
        }
    } catch (const std::exception &) {
        platform.showMessage(u"予期せぬエラーです"_s, u"Nokuri"_s, MessageIcon::None);
    }
}

void AlarmCommands::mnuAlmOff_Click()
{
    m_main.tabs()[m_main.selectedTab()].setOnAlm(false);
}

void AlarmCommands::tmrAlarm_Timer()
{
    // While a quit cancels every box, a due alarm stays on: the next start reports it missed.
    if (!m_main.platform().modals().admits())
        return;
    TabSet &tabs = m_main.tabs();
    const int n = tabs.count();
    for (int i = 0; i < n; ++i) {
        // A message lets events run, and they may have deleted tabs since the tick began.
        if (i >= tabs.count())
            break;
        clsTabCont &record = tabs[i];
        if (!record.OnAlm() || record.Alarm() > m_main.platform().now())
            continue;
        // Off before the message, so that a tick nested inside it does not report it again.
        record.setOnAlm(false);
        m_main.platform().showMessage(u"タブ「"_s + record.Title(0) + u"」の時間です"_s,
            u"Nokuriのアラーム"_s, MessageIcon::None);
    }
    // Ticks also come while start-up is still building the tabs.
    const int s = m_main.selectedTab();
    if (s >= 0 && s < tabs.count())
        m_main.DispStatus();
}
