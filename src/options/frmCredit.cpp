#include "options/frmCredit.h"

#include "platform/DialogFit.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmCredit::frmCredit(QWidget *parent)
    : QDialog(parent)
    , m_image1(makeLabel(this, u"Image1"_s, QString()))
    , m_label1(makeLabel(this, u"Label1"_s, u"Nokuri  for Windos98/NT4.0"_s))
    , m_label2(makeLabel(this, u"Label2"_s, u"Ver2.02"_s))
    , m_label3(makeLabel(this, u"Label3"_s, u"© 2026 Nokuri developers"_s))
    , m_label4(makeLabel(this, u"Label4"_s, u"MIT ライセンスのもとで配布しています。"_s))
    , m_label5(makeLabel(this, u"Label5"_s,
          u"不具合のご報告やご要望は、プロジェクトの Issue トラッカーへお寄せください。"_s))
    , m_cmdOk(new QPushButton(u"Ok"_s, this))
{
    setObjectName(u"frmCredit"_s);
    setWindowTitle(u"Nokuriについて"_s);
    useCloseButtonOnly(*this);
    m_image1->setPixmap(QIcon(u":/icons/nokuri-32.png"_s).pixmap(32, 32));
    m_image1->setAlignment(Qt::AlignTop);
    // Kept as typed: the two blanks after the name must not collapse.
    m_label1->setTextFormat(Qt::PlainText);
    m_label5->setWordWrap(true);
    m_cmdOk->setObjectName(u"cmdOk"_s);
    m_cmdOk->setDefault(true);
    connect(m_cmdOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(m_label1);
    texts->addWidget(m_label2);
    texts->addSpacing(8);
    texts->addWidget(m_label3);
    texts->addWidget(m_label4);
    texts->addWidget(m_label5);

    auto *top = new QHBoxLayout;
    top->addWidget(m_image1);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOk);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_label5->setMinimumWidth(m_label5->fontMetrics().horizontalAdvance(u"M"_s) * 24);
}
