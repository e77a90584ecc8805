#include "mainwin/TabPage.h"

#include "mainwin/ContentBox.h"

#include <QComboBox>
#include <QPushButton>
#include <QShortcut>

TabPage::TabPage(QWidget *parent)
    : QFrame(parent)
    , m_cboTitle(new QComboBox(this))
    , m_txtCont(new ContentBox(this))
    , m_cmdTitle(new QPushButton(this))
{
    m_cboTitle->setObjectName(QStringLiteral("cboTitle"));
    m_cboTitle->setEditable(false);
    m_cboTitle->setEnabled(false);
    m_txtCont->setObjectName(QStringLiteral("txtCont"));
    m_txtCont->hide();
    m_txtCont->setEnabled(false);
    m_cmdTitle->setObjectName(QStringLiteral("cmdTitle"));
    m_cmdTitle->setEnabled(false);
    m_cmdTitle->setToolTip(QStringLiteral("タイトル一覧"));

    // Alt+Down opens the title list from anywhere in the window; only the page in front is
    // visible, so only its shortcut is live.
    auto *openTitles = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), this);
    connect(openTitles, &QShortcut::activated, m_cboTitle, [this] {
        if (m_cboTitle->isEnabled())
            m_cboTitle->showPopup();
    });
}
