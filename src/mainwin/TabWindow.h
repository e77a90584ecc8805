#pragma once

#include "store/TabPages.h"

class QWidget;

// The window as the commands and dialogs see it: the pages, the strip's selection and
// captions, the layout and the status bar. Selections go through the window's own press and
// click handling, so that what the user typed is stored and the status bar follows.
class TabWindow : public TabPages
{
public:
    // What dialogs, menus and choosers belong to; its screen gives their scale.
    virtual QWidget &widget() = 0;

    // The strip's selected position − 1.
    virtual int selectedTab() const = 0;
    // Selects strip position `position` as a press on it does.
    virtual void selectTab(int position) = 0;
    // Brings tab `tab` to the front with its entry `entry` shown, as a press on the strip and
    // a choice in the title list do.
    virtual void showEntry(int tab, int entry) = 0;
    // The caption of strip tab `position` := TabTitle of record position − 1.
    virtual void refreshStripCaption(int position) = 0;

    // A strip tab and page, and a record whose first entry is title and content.
    virtual void AddTabPage(const QString &title, const QString &content) = 0;
    // Removes the last page and its strip tab (the record is the caller's business).
    virtual void removeLastTabPage() = 0;
    // Lays the pages out for the strip's present rows.
    virtual void ArrangeControls() = 0;
    // The status bar shows the selected tab's creation date and alarm.
    virtual void DispStatus() = 0;
};
