#include "find/NoteSource.h"

#include "store/TabPages.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

NoteSource::NoteSource(const TabSet &tabs, std::function<int()> selectedTab)
    : m_tabs(tabs)
    , m_selectedTab(std::move(selectedTab))
{ }

int NoteSource::tabCount() const
{
    return m_tabs.count();
}

int NoteSource::entryCount(int tab) const
{
    return m_tabs[tab].NoOfCont();
}

QString NoteSource::caption(int tab) const
{
    return m_tabs[tab].TabTitle();
}

QString NoteSource::title(int tab, int entry) const
{
    return m_tabs[tab].Title(entry);
}

QString NoteSource::content(int tab, int entry) const
{
    const clsTabCont &record = m_tabs[tab];
    if (tab == m_selectedTab() && entry == record.DispIndex())
        return m_tabs.pages().boxText(tab);
    return record.Cont(entry);
}

qsizetype boxPosition(QStringView content, qsizetype position)
{
    qsizetype pairs = 0;
    for (qsizetype i = 1; i < position; ++i) {
        if (content[i] == u'\n' && content[i - 1] == u'\r')
            ++pairs;
    }
    return position - pairs;
}
