#include "commands/frmOmidasi.h"

#include "mainwin/Twips.h"
#include "platform/DialogFit.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

frmOmidasi::frmOmidasi(const Twips &twips)
    : QDialog(nullptr)
    , m_txtOmidashi(new QLineEdit(this))
    , m_cmdCancel(new QPushButton(QStringLiteral("Cancel"), this))
    , m_cmdOk(new QPushButton(QStringLiteral("Ok"), this))
{
    setWindowTitle(QStringLiteral("タブ名の入力"));
    useCloseButtonOnly(*this);
    m_txtOmidashi->setObjectName(QStringLiteral("txtOmidashi"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdOk->setObjectName(QStringLiteral("cmdOk"));

    setFixedSize(twips.xToPixels(3750), twips.yToPixels(1125));
    m_txtOmidashi->setGeometry(twips.toPixels({120, 120, 3495, 270}));
    m_cmdCancel->setGeometry(twips.toPixels({2760, 600, 735, 375}));
    m_cmdOk->setGeometry(twips.toPixels({1920, 600, 735, 375}));
    growToFitTexts(*this);
    setTabOrder(m_txtOmidashi, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdOk);
    m_cmdOk->setDefault(true);
    // The dialog opens with the caption ready to be typed over.
    m_txtOmidashi->setFocus();

    connect(m_cmdOk, &QPushButton::clicked, this, &frmOmidasi::accept);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmOmidasi::reject);
}

QString frmOmidasi::Omidasi() const
{
    return m_txtOmidashi->text();
}

void frmOmidasi::setOmidasi(const QString &caption)
{
    m_txtOmidashi->setText(caption);
    m_txtOmidashi->selectAll();
}

void frmOmidasi::accept()
{
    m_ok = true;
    QDialog::accept();
}

void frmOmidasi::reject()
{
    m_ok = false;
    QDialog::reject();
}

void frmOmidasi::closeEvent(QCloseEvent *event)
{
    // The buttons end the dialog through done(), which does not come here; what does come here
    // is the user's close box or system menu, and that is refused.
    event->ignore();
}
