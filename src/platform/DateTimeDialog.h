#pragma once

#include "platform/AlarmTimeDialog.h"

#include <QDialog>

class ModalGate;
class QDateTimeEdit;

// The alarm command's date-and-time entry: a date-time field with a calendar pop-up, to the
// minute, and OK / Cancel. show() runs it modally through the gate; result() is Confirmed
// after OK.
class DateTimeDialog final : public QDialog, public AlarmTimeDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateTimeDialog)
public:
    explicit DateTimeDialog(ModalGate &modals, QWidget *parent = nullptr);

    void setCaption(const QString &caption) override;
    // Seconds are dropped: the field shows minutes only, and an alarm is set to the minute.
    void setValue(const QDateTime &value) override;
    QDateTime value() const override;
    void show() override;
    qint16 result() const override;

private:
    ModalGate &m_modals;
    QDateTimeEdit *const m_edit;
};
