#pragma once

#include <QString>
#include <memory>

class StoredEntry;

// What the tab records put into the title list and the content box of one page, and read back.
// A page that is built and one that is still a draft answer alike.
class PageContent
{
public:
    virtual ~PageContent() = default;

    // cboTitle: as a combo box, the first item added becomes the selected one.
    virtual void appendTitle(const QString &text) = 0;
    virtual int titleCount() const = 0;
    virtual int selectedTitle() const = 0;
    // Without the entry-chosen handling, which is the window's.
    virtual void selectTitle(int pos) = 0;

    // txtCont, with "\n" line breaks.
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual void setEntry(std::shared_ptr<const StoredEntry> entry) = 0;
    virtual std::shared_ptr<const StoredEntry> entry() const = 0;
    virtual void setVisible(bool visible) = 0;
    // A size of 0 keeps the one set before.
    virtual void setFont(const QString &name, float size) = 0;
};
