#include "options/AutostartOption.h"

#include "options/frmOpt.h"
#include "platform/PlatformServices.h"

using namespace Qt::StringLiterals;

AutostartOption::AutostartOption(frmOpt &dialog, AutostartEntry entry, PlatformServices &platform)
    : m_dialog(dialog)
    , m_entry(std::move(entry))
    , m_platform(platform)
    , m_wasOn(m_entry.isOn())
{
    m_dialog.setAutostart(m_wasOn);
    connect(&dialog, &frmOpt::NotifyClients, this, &AutostartOption::apply);
}

void AutostartOption::apply()
{
    const bool on = m_dialog.Autostart();
    if (on == m_wasOn)
        return;
    if (const std::optional<QString> failure = m_entry.setOn(on)) {
        m_platform.showMessage(u"ログイン時の起動を設定できませんでした。\r\n"_s + *failure,
            u"Nokuri"_s, MessageIcon::Critical);
    }
}
