#pragma once

#include "persist/ScrollType.h"

// The two options the window keeps for the whole program: how every content box scrolls, and
// whether a save keeps the previous files as backups. A change is due for the next save.
class WindowOptions
{
public:
    virtual ~WindowOptions() = default;

    virtual ScrollType scrollType() const = 0;
    // Switches every page's box to the type.
    virtual void ApplyScrlType(ScrollType type) = 0;

    virtual bool MakeBackup() const = 0;
    virtual void setMakeBackup(bool value) = 0;
};
