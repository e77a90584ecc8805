#pragma once

#include <QDateTime>

// The present local date and time, to the second. Injected so that tests can move time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};
