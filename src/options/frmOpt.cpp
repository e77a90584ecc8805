#include "options/frmOpt.h"

#include "mainwin/Twips.h"
#include "platform/DialogFit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

template<typename Widget>
Widget *make(QWidget *parent, const QString &name, const QString &caption)
{
    auto *widget = new Widget(caption, parent);
    widget->setObjectName(name);
    return widget;
}

} // namespace

frmOpt::frmOpt(QWidget *parent)
    : QDialog(parent)
    , m_fraScrl(make<QGroupBox>(this, u"fraScrl"_s, u"スクロールバー"_s))
    , m_optScrlN(make<QRadioButton>(m_fraScrl, u"optScrlN"_s, u"なし"_s))
    , m_optScrlV(make<QRadioButton>(m_fraScrl, u"optScrlV"_s, u"垂直"_s))
    , m_optScrlW(make<QRadioButton>(m_fraScrl, u"optScrlW"_s, u"両方"_s))
    , m_cmdOk(make<QPushButton>(this, u"cmdOk"_s, u"Ok"_s))
    , m_cmdCancel(make<QPushButton>(this, u"cmdCancel"_s, u"Cancel"_s))
    , m_chkBackup(make<QCheckBox>(this, u"chkBackup"_s, u"バックアップ作成する"_s))
    , m_chkAutostart(make<QCheckBox>(this, u"chkAutostart"_s, u"ログイン時に起動する"_s))
{
    setObjectName(u"frmOpt"_s);
    setWindowTitle(u"オプション"_s);
    useCloseButtonOnly(*this);

    const Twips twips = Twips::of(*this);
    setFixedSize(twips.xToPixels(5190), twips.yToPixels(3240));
    m_fraScrl->setGeometry(twips.toPixels({240, 240, 1815, 1575}));
    m_optScrlN->setGeometry(twips.toPixels({360, 360, 975, 255}));
    m_optScrlV->setGeometry(twips.toPixels({360, 720, 975, 255}));
    m_optScrlW->setGeometry(twips.toPixels({360, 1080, 975, 255}));
    m_cmdOk->setGeometry(twips.toPixels({2760, 2520, 855, 375}));
    m_cmdCancel->setGeometry(twips.toPixels({3960, 2520, 855, 375}));
    m_chkBackup->setGeometry(twips.toPixels({2400, 360, 2175, 495}));
    m_chkAutostart->setGeometry(twips.toPixels({2400, 960, 2175, 495}));
    growToFitTexts(*this);
    setTabOrder(m_optScrlN, m_optScrlV);
    setTabOrder(m_optScrlV, m_optScrlW);
    setTabOrder(m_optScrlW, m_cmdOk);
    setTabOrder(m_cmdOk, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_chkBackup);
    setTabOrder(m_chkBackup, m_chkAutostart);

    // Enter confirms, as in any settings dialog; Escape and the close box cancel.
    m_cmdOk->setDefault(true);

    connect(m_cmdOk, &QPushButton::clicked, this, &frmOpt::cmdOk_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmOpt::Backup() const
{
    return m_chkBackup->isChecked();
}

void frmOpt::setBackup(bool value)
{
    m_chkBackup->setChecked(value);
}

QRadioButton *frmOpt::optionOf(ScrollType type) const
{
    switch (type) {
    case ScrollType::None:
        return m_optScrlN;
    case ScrollType::Vertical:
        return m_optScrlV;
    case ScrollType::Both:
        break;
    }
    return m_optScrlW;
}

bool frmOpt::Autostart() const
{
    return m_chkAutostart->isChecked();
}

void frmOpt::setAutostart(bool checked)
{
    m_chkAutostart->setChecked(checked);
}

bool frmOpt::selectOption(const QString &type)
{
    const std::optional<ScrollType> known = scrollTypeFromLetter(type);
    if (known)
        optionOf(*known)->setChecked(true);
    return known.has_value();
}

void frmOpt::cmdOk_Click()
{
    for (const ScrollType type : {ScrollType::None, ScrollType::Vertical, ScrollType::Both}) {
        if (optionOf(type)->isChecked())
            m_scrl = scrollTypeLetter(type);
    }
    emit NotifyClients(m_scrl, Backup());
    accept();
}
