#pragma once

#include <QDateTime>
#include <QString>

// A modal date-and-time entry. The alarm command creates one per use:
// caption, start value, show, then result() == Confirmed before value() is read.
class AlarmTimeDialog
{
public:
    static constexpr qint16 Confirmed = 1;

    virtual ~AlarmTimeDialog() = default;
    virtual void setCaption(const QString &caption) = 0;
    virtual void setValue(const QDateTime &value) = 0;
    virtual QDateTime value() const = 0;
    virtual void show() = 0;
    virtual qint16 result() const = 0;
};
