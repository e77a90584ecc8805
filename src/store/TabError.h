#pragma once

#include <QString>
#include <stdexcept>

// A numbered error of the tab record. The number and the Japanese description are what the
// callers test and show; the source names the class that raised it.
class TabError : public std::runtime_error
{
public:
    static constexpr quint32 TooManyTitles = 0x80040001;
    static constexpr quint32 BadTabIndex = 0x80040002;
    static constexpr quint32 BadEntryIndex = 0x80040003;
    static constexpr quint32 AlarmOff = 0x80040015;
    static constexpr quint32 AlarmTooSoon = 0x80040016;

    TabError(quint32 number, const QString &description)
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_description(description)
    { }

    quint32 number() const { return m_number; }
    QString source() const { return QStringLiteral("clsTabCont"); }
    QString description() const { return m_description; }

private:
    quint32 m_number;
    QString m_description;
};
