#pragma once

#include <QDateTime>
#include <QString>
#include <variant>

// One tab's key in a sort: a creation date, a caption or a number typed by hand.
// Captions compare by UTF-16 code units, case-sensitive, whatever the locale.
struct SortKey
{
    std::variant<QDateTime, QString, qint16> Key;
    qint16 Index = 0;
};
