#pragma once

#include "store/SortKey.h"
#include "store/TabSnapshot.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Clock;
class TabPages;
class clsTabCont;

// The program-wide tab data: the records in tab order, the snapshot store, the default font
// for new tabs and the sort keys. The window owns one and attaches itself as the pages.
class TabSet
{
public:
    static constexpr int MaxTabs = 30;
    static constexpr int MaxEntries = 26;

    explicit TabSet(const Clock &clock);
    ~TabSet();
    TabSet(const TabSet &) = delete;
    TabSet &operator=(const TabSet &) = delete;

    void attachPages(TabPages *pages) { m_pages = pages; }
    TabPages &pages() const { return *m_pages; }
    const Clock &clock() const { return m_clock; }

    int count() const { return static_cast<int>(m_records.size()); }
    clsTabCont &operator[](int index) const { return *m_records.at(static_cast<size_t>(index)); }
    // Appends a new record with the current default font; the tab count grows by one.
    clsTabCont &append();
    // Keeps the first `count` records.
    void truncate(int count);

    // Every change of what a save writes reports itself here: records added and removed, and
    // each record's data (not the displayed entry, which is where the user looks, nor the text
    // being typed, which the content box reports).
    void addChangeListener(std::function<void()> listener)
    {
        m_changeListeners.push_back(std::move(listener));
    }
    void noteChange() const;
    // The default font as the user sets it; a change is reported.
    void setDefaultFont(const QString &name, qint16 size);

    TabTemp temp;
    QString DefFontName;
    qint16 DefFontSize;
    std::vector<SortKey> SortKeys;

private:
    const Clock &m_clock;
    TabPages *m_pages = nullptr;
    std::vector<std::function<void()>> m_changeListeners;
    std::vector<std::unique_ptr<clsTabCont>> m_records;
};
