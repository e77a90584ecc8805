#include "commands/frmTitl.h"

#include "mainwin/Twips.h"
#include "platform/DialogFit.h"
#include "platform/PlatformServices.h"
#include "store/TabError.h"
#include "store/TabPages.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

QPushButton *makeButton(QDialog *dialog, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, dialog);
    button->setObjectName(QString::fromLatin1(name));
    // Enter in the text box must not pick an action by itself.
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmTitl::frmTitl(TabSet &tabs, TabPages &pages, PlatformServices &platform, const Twips &twips)
    : QDialog(nullptr)
    , m_tabs(tabs)
    , m_pages(pages)
    , m_platform(platform)
    , m_txtInput(new QLineEdit(this))
    , m_cmdNew(makeButton(this, "cmdNew", QStringLiteral("New")))
    , m_cmdChg(makeButton(this, "cmdChg", QStringLiteral("Change")))
    , m_cmdCncl(makeButton(this, "cmdCncl", QStringLiteral("Cancel")))
    , m_cmdDel(makeButton(this, "cmdDel", QStringLiteral("Delete")))
{
    setWindowTitle(QStringLiteral("タイトルの入力"));
    useCloseButtonOnly(*this);
    m_txtInput->setObjectName(QStringLiteral("txtInput"));

    setFixedSize(twips.xToPixels(3750), twips.yToPixels(1110));
    m_txtInput->setGeometry(twips.toPixels({120, 120, 3372, 264}));
    m_cmdNew->setGeometry(twips.toPixels({120, 600, 732, 372}));
    m_cmdChg->setGeometry(twips.toPixels({960, 600, 732, 372}));
    m_cmdCncl->setGeometry(twips.toPixels({1800, 600, 732, 372}));
    m_cmdDel->setGeometry(twips.toPixels({2880, 600, 732, 372}));
    growToFitTexts(*this);
    setTabOrder(m_txtInput, m_cmdNew);
    setTabOrder(m_cmdNew, m_cmdChg);
    setTabOrder(m_cmdChg, m_cmdCncl);
    setTabOrder(m_cmdCncl, m_cmdDel);

    connect(m_cmdNew, &QPushButton::clicked, this, &frmTitl::cmdNew_Click);
    connect(m_cmdChg, &QPushButton::clicked, this, &frmTitl::cmdChg_Click);
    connect(m_cmdCncl, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdDel, &QPushButton::clicked, this, &frmTitl::cmdDel_Click);
}

void frmTitl::setClsIndex(int newIndex)
{
    if (newIndex < 0 || newIndex >= m_tabs.count()) {
        m_platform.showMessage(QStringLiteral("クラスのインデックスが不正です"),
            QStringLiteral("プロパティエラー"), MessageIcon::Critical);
    }
    m_clsIndex = newIndex;
}

void frmTitl::setTitlIndex(int newIndex)
{
    const bool tabValid = m_clsIndex >= 0 && m_clsIndex < m_tabs.count();
    const int entries = tabValid ? m_tabs[m_clsIndex].NoOfCont() : 0;
    if (newIndex < 0 || newIndex >= entries) {
        m_platform.showMessage(QStringLiteral("タイトルのインデックスが不正です"),
            QStringLiteral("プロパティエラー"), MessageIcon::Critical);
    }
    m_titlIndex = newIndex;
}

bool frmTitl::indexesValid() const
{
    return m_clsIndex >= 0 && m_clsIndex < m_tabs.count() && m_titlIndex >= 0
        && m_titlIndex < m_tabs[m_clsIndex].NoOfCont();
}

void frmTitl::Form_Load()
{
    // With indexes that were refused there is no entry to work on: only Cancel is left.
    if (!indexesValid()) {
        m_cmdNew->setEnabled(false);
        m_cmdChg->setEnabled(false);
        m_cmdDel->hide();
        return;
    }
    const clsTabCont &record = m_tabs[m_clsIndex];
    m_txtInput->setText(record.Title(m_titlIndex));
    m_txtInput->selectAll();
    m_cmdDel->setVisible(record.NoOfCont() >= 2);
}

void frmTitl::cmdNew_Click()
{
    clsTabCont &record = m_tabs[m_clsIndex];
    try {
        record.AddTitle(m_clsIndex, m_txtInput->text(), QString());
    } catch (const TabError &error) {
        m_platform.showMessage(
            error.description(), QStringLiteral("Nokuri"), MessageIcon::Critical);
        reject();
        return;
    }
    record.DispTitle(m_clsIndex, record.NoOfCont() - 1);
    record.DispCont(m_clsIndex);
    accept();
}

void frmTitl::cmdChg_Click()
{
    clsTabCont &record = m_tabs[m_clsIndex];
    record.ChgTitle(m_clsIndex, m_titlIndex, m_txtInput->text());
    record.DispTitle(m_clsIndex, m_titlIndex);
    accept();
}

void frmTitl::cmdDel_Click()
{
    clsTabCont &record = m_tabs[m_clsIndex];
    record.RemoveTitle(m_clsIndex, m_titlIndex);
    m_pages.removeTitleItem(m_clsIndex, m_titlIndex);
    if (m_titlIndex > record.NoOfCont() - 1)
        m_titlIndex = record.NoOfCont() - 1;
    record.setDispIndex(m_titlIndex);
    record.DispCont(m_clsIndex);
    m_pages.selectTitleItem(m_clsIndex, m_titlIndex);
    accept();
}
