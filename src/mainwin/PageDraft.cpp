#include "mainwin/PageDraft.h"

#include "mainwin/ContentBox.h"
#include "mainwin/TabPage.h"
#include "persist/StoredEntry.h"
#include "store/LineBreaks.h"

#include <QComboBox>
#include <QSignalBlocker>

void PageDraft::appendTitle(const QString &text)
{
    m_titles.append(text);
    if (m_selected < 0)
        m_selected = 0;
}

void PageDraft::selectTitle(int pos)
{
    m_selected = pos >= 0 && pos < titleCount() ? pos : -1;
}

QString PageDraft::text() const
{
    return m_entry ? crLfToLf(m_entry->content()) : m_text;
}

void PageDraft::setText(const QString &text)
{
    m_entry.reset();
    m_text = text;
}

void PageDraft::setEntry(std::shared_ptr<const StoredEntry> entry)
{
    m_text.clear();
    m_entry = std::move(entry);
}

void PageDraft::setFont(const QString &name, float size)
{
    m_fontName = name;
    // As on a built box, a size of 0 keeps the one set before.
    if (size > 0)
        m_fontSize = size;
}

void PageDraft::applyTo(TabPage &page) const
{
    {
        const QSignalBlocker quiet(page.cboTitle());
        page.cboTitle()->addItems(m_titles);
        page.cboTitle()->setCurrentIndex(m_selected);
    }
    ContentBox *box = page.txtCont();
    const QSignalBlocker quiet(box);
    if (m_entry)
        box->setEntry(m_entry);
    else if (!m_text.isEmpty())
        box->setText(m_text);
    if (m_fontName)
        box->setTabFont(*m_fontName, m_fontSize);
    box->setHidden(!m_visible);
}
