#include "options/clsTabOpt.h"

#include "options/AutostartOption.h"
#include "options/frmOpt.h"
#include "persist/ScrollType.h"
#include "platform/PlatformServices.h"

using namespace Qt::StringLiterals;

clsTabOpt::clsTabOpt(PlatformServices &platform)
    : m_platform(platform)
    , mForm(std::make_unique<frmOpt>())
{
    connect(mForm.get(), &frmOpt::NotifyClients, this, &clsTabOpt::mForm_NotifyClients);
}

clsTabOpt::~clsTabOpt() = default;

void clsTabOpt::ShowForm(const QString &newScrl, bool newBackup)
{
    m_scrl = newScrl;
    m_backup = newBackup;
    if (!mForm->selectOption(newScrl)) {
        m_platform.showMessage(u"指定されたスクロールタイプが正しくありません\r\n"
                               u"デフォルトの垂直を指定します"_s,
            u"スクロールタイプのエラー"_s, MessageIcon::None);
        mForm->selectOption(scrollTypeLetter(ScrollType::Vertical));
    }
    mForm->setScrl(m_scrl);
    mForm->setBackup(m_backup);
    const AutostartOption autostart(*mForm, AutostartEntry::ofRunningProgram(), m_platform);
    m_platform.runModal(*mForm);
}

void clsTabOpt::mForm_NotifyClients(const QString &scrollLetter, bool backup)
{
    m_scrl = scrollLetter;
    m_backup = backup;
}
