#pragma once

#include <QString>
#include <memory>

class StoredEntry;

// What a tab record needs from the window: the tab count and the controls of tab page i. Each
// page has one title list and one content box; the box follows the window's scroll type itself.
class TabPages
{
public:
    virtual ~TabPages() = default;

    virtual int tabCount() const = 0;

    // cboTitle(i)
    virtual void appendTitleItem(int tab, const QString &text) = 0;
    virtual void setTitleItem(int tab, int pos, const QString &text) = 0;
    virtual void removeTitleItem(int tab, int pos) = 0;
    virtual int titleItemCount(int tab) const = 0;
    // Selects the item and runs the entry-chosen handling before it returns.
    virtual void selectTitleItem(int tab, int pos) = 0;

    // The content box of page i. Its text uses "\n" line breaks.
    virtual QString boxText(int tab) const = 0;
    virtual void setBoxText(int tab, const QString &text) = 0;
    // Shows the content of an entry still as read from its file: the box decodes it only when
    // the text is needed (shown, or asked for by boxText).
    virtual void setBoxEntry(int tab, std::shared_ptr<const StoredEntry> entry) = 0;
    // The entry of the last setBoxEntry while the box shows it unedited; null otherwise.
    virtual std::shared_ptr<const StoredEntry> boxEntry(int tab) const = 0;
    virtual void setBoxVisible(int tab, bool visible) = 0;
    virtual void setBoxFont(int tab, const QString &name, float size) = 0;
};
