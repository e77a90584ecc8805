#include "platform/DateTimeDialog.h"

#include "platform/DialogFit.h"
#include "platform/ModalGate.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QDateTime toWholeMinute(const QDateTime &value)
{
    const QTime time = value.time();
    return QDateTime(value.date(), QTime(time.hour(), time.minute()));
}

} // namespace

DateTimeDialog::DateTimeDialog(ModalGate &modals, QWidget *parent)
    : QDialog(parent)
    , m_modals(modals)
    , m_edit(new QDateTimeEdit(this))
{
    useCloseButtonOnly(*this);
    setWindowModality(Qt::ApplicationModal);
    m_edit->setCalendarPopup(true);
    m_edit->setDisplayFormat(u"yyyy/MM/dd HH:mm"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"OK"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_edit->setFocus();
}

void DateTimeDialog::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

void DateTimeDialog::setValue(const QDateTime &value)
{
    m_edit->setDateTime(toWholeMinute(value));
}

QDateTime DateTimeDialog::value() const
{
    return toWholeMinute(m_edit->dateTime());
}

void DateTimeDialog::show()
{
    m_modals.exec(*this);
}

qint16 DateTimeDialog::result() const
{
    return static_cast<qint16>(QDialog::result());
}
