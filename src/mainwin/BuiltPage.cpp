#include "mainwin/BuiltPage.h"

#include "mainwin/ContentBox.h"
#include "mainwin/TabPage.h"
#include "mainwin/WindowOptions.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <utility>

BuiltPage::BuiltPage(TabPage &page, const WindowOptions &options)
    : m_page(page)
    , m_options(options)
{ }

void BuiltPage::appendTitle(const QString &text)
{
    m_page.cboTitle()->addItem(text);
}

int BuiltPage::titleCount() const
{
    return m_page.cboTitle()->count();
}

int BuiltPage::selectedTitle() const
{
    return m_page.cboTitle()->currentIndex();
}

void BuiltPage::selectTitle(int pos)
{
    const QSignalBlocker blocker(m_page.cboTitle());
    m_page.cboTitle()->setCurrentIndex(pos);
}

QString BuiltPage::text() const
{
    return m_page.txtCont()->text();
}

void BuiltPage::setText(const QString &text)
{
    ContentBox *box = m_page.txtCont();
    // Showing the same text again keeps the caret, the undo history and the scroll position.
    // A box that shows an entry from its file is not asked for its text: that would decode it.
    if (box->entry() || box->text() != text) {
        m_filling = true;
        box->setText(text);
        m_filling = false;
    }
}

void BuiltPage::setEntry(std::shared_ptr<const StoredEntry> entry)
{
    m_filling = true;
    m_page.txtCont()->setEntry(std::move(entry));
    m_filling = false;
}

std::shared_ptr<const StoredEntry> BuiltPage::entry() const
{
    return m_page.txtCont()->entry();
}

void BuiltPage::setVisible(bool visible)
{
    ContentBox *box = m_page.txtCont();
    if (visible)
        box->setScrollType(m_options.scrollType());
    box->setHidden(!visible);
}

void BuiltPage::setFont(const QString &name, float size)
{
    m_page.txtCont()->setTabFont(name, size);
}
