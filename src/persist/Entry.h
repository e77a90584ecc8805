#pragma once

#include <QString>

// One entry of a tab as its file holds it.
struct Entry
{
    QString title;
    QString content;

    bool operator==(const Entry &) const = default;
};
