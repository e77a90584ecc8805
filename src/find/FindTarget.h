#pragma once

class ContentBox;

// What going to a found entry needs of the main window.
class FindTarget
{
public:
    virtual ~FindTarget() = default;

    // Brings the window to the front and selects the tab and then the entry through the same
    // handling as a click on the tab and a choice in the title list, so that what is typed is
    // stored first, as any change of entry stores it.
    virtual void goToEntry(int tab, int entry) = 0;
    virtual ContentBox *contentBox(int tab) const = 0;
};
