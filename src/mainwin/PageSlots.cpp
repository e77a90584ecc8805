#include "mainwin/PageSlots.h"

#include "mainwin/BuiltPage.h"
#include "mainwin/ContentBox.h"
#include "mainwin/Layout.h"
#include "mainwin/PageDraft.h"
#include "mainwin/TabPage.h"
#include "mainwin/TabStrip.h"
#include "mainwin/Twips.h"
#include "mainwin/WindowOptions.h"

#include <QComboBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <algorithm>

PageSlots::PageSlots(TabStrip &strip, const WindowOptions &options, QWidget &window)
    : QObject(&window)
    , m_strip(strip)
    , m_options(options)
    , m_window(window)
{ }

PageSlots::~PageSlots() = default;

void PageSlots::add()
{
    const int tab = static_cast<int>(m_slots.size());
    m_slots.emplace_back();
    if (m_drafting) {
        // The stack keeps one widget per tab; a plain one stands in until the page is built.
        m_slots.back().draft = std::make_unique<PageDraft>();
        m_strip.pageStack()->addWidget(new QWidget);
        return;
    }
    m_strip.pageStack()->addWidget(makePage(tab));
}

void PageSlots::removeLast()
{
    QStackedWidget *stack = m_strip.pageStack();
    QWidget *last = stack->widget(stack->count() - 1);
    stack->removeWidget(last);
    delete last;
    m_slots.pop_back();
}

TabPage &PageSlots::page(int tab)
{
    Slot &slot = m_slots.at(static_cast<size_t>(tab));
    if (slot.built)
        return slot.built->page();
    QStackedWidget *stack = m_strip.pageStack();
    QWidget *standIn = stack->widget(tab);
    TabPage *built = makePage(tab);
    stack->insertWidget(tab, built);
    stack->removeWidget(standIn);
    delete standIn;
    slot.draft->applyTo(*built);
    slot.draft.reset();
    arrange(*built);
    return *built;
}

void PageSlots::buildDraftsWhenIdle()
{
    QTimer::singleShot(0, this, &PageSlots::buildNextDraft);
}

void PageSlots::buildNextDraft()
{
    const auto next = std::find_if(
        m_slots.begin(), m_slots.end(), [](const Slot &slot) { return slot.draft != nullptr; });
    if (next == m_slots.end())
        return;
    page(static_cast<int>(next - m_slots.begin()));
    buildDraftsWhenIdle();
}

TabPage *PageSlots::makePage(int tab)
{
    auto *created = new TabPage;
    auto &built = m_slots.at(static_cast<size_t>(tab)).built;
    built = std::make_unique<BuiltPage>(*created, m_options);

    const Twips scale = Twips::of(m_window);
    created->cmdTitle()->setFixedSize(scale.xToPixels(132), scale.yToPixels(252));
    created->cboTitle()->resize(
        created->cboTitle()->width(), created->cboTitle()->sizeHint().height());
    created->txtCont()->setScrollType(m_options.scrollType());

    connect(
        created->cboTitle(), &QComboBox::activated, this, [this, tab] { emit titleChosen(tab); });
    connect(created->cmdTitle(), &QPushButton::clicked, this,
        [this, tab] { emit titleButtonClicked(tab); });
    connect(created->txtCont(), &QPlainTextEdit::textChanged, this, [this, filled = built.get()] {
        if (!filled->filling())
            emit typed();
    });
    connect(created->txtCont(), &ContentBox::rightPressed, this,
        [this, created](
            const QPoint &globalPos) { emit contentRightPressed(created->txtCont(), globalPos); });
    return created;
}

void PageSlots::arrange()
{
    m_strip.pageStack()->setGeometry(m_strip.clientArea());
    for (const Slot &slot : m_slots) {
        if (slot.built)
            arrange(slot.built->page());
    }
}

void PageSlots::arrange(TabPage &page) const
{
    const Twips scale = Twips::of(m_window);
    const QRect client = m_strip.clientArea();
    page.setGeometry(0, 0, client.width(), client.height());
    QComboBox *titles = page.cboTitle();
    const PageLayout layout = pageLayout(scale.xFromPixels(client.width()),
        scale.yFromPixels(client.height()), scale.yFromPixels(titles->height()));
    titles->setGeometry(0, 0, scale.xToPixels(layout.titleList.width()), titles->height());
    page.cmdTitle()->move(scale.xToPixels(layout.titleButton.x()), 0);
    page.txtCont()->setGeometry(scale.toPixels(layout.contentBox));
}

void PageSlots::setScrollType(ScrollType type)
{
    for (const Slot &slot : m_slots) {
        if (slot.built)
            slot.built->page().txtCont()->setScrollType(type);
    }
}

PageContent &PageSlots::content(int tab) const
{
    const Slot &slot = m_slots.at(static_cast<size_t>(tab));
    if (slot.draft)
        return *slot.draft;
    return *slot.built;
}
