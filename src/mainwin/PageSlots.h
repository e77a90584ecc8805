#pragma once

#include "persist/ScrollType.h"

#include <QObject>
#include <memory>
#include <vector>

class BuiltPage;
class ContentBox;
class PageContent;
class PageDraft;
class TabPage;
class TabStrip;
class WindowOptions;

// The tab pages in the strip's page stack, one per tab, each built or still a draft. Start-up
// leaves the pages behind the selected one as drafts; a draft is built when anything asks for
// its page, or once the window runs, one per pass of the event loop.
class PageSlots final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PageSlots)
public:
    // The pages take the window's scale, and their boxes the window's scroll type.
    PageSlots(TabStrip &strip, const WindowOptions &options, QWidget &window);
    ~PageSlots() override;

    // While drafting, a page added stays a draft until it is asked for.
    void setDrafting(bool drafting) { m_drafting = drafting; }
    void add();
    void removeLast();
    // Builds the page first where it is a draft.
    TabPage &page(int tab);
    // The title list and the box of a tab, built or not.
    PageContent &content(int tab) const;
    // One draft a pass of the event loop, from the next pass on.
    void buildDraftsWhenIdle();
    // Lays the stack and the built pages out in the strip's client area.
    void arrange();
    // A draft's box takes the window's type when its page is built.
    void setScrollType(ScrollType type);

signals:
    void titleChosen(int tab);
    void titleButtonClicked(int tab);
    // What the user typed changed a box; what the program put there did not.
    void typed();
    void contentRightPressed(ContentBox *box, const QPoint &globalPos);

private:
    // One of the two is set.
    struct Slot
    {
        std::unique_ptr<BuiltPage> built;
        std::unique_ptr<PageDraft> draft;
    };

    TabPage *makePage(int tab);
    void arrange(TabPage &page) const;
    void buildNextDraft();

    TabStrip &m_strip;
    const WindowOptions &m_options;
    QWidget &m_window;
    std::vector<Slot> m_slots;
    bool m_drafting = false;
};
