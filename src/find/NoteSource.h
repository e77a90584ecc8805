#pragma once

#include <QString>
#include <functional>

class TabSet;

// Where the search reads the notes: the records of the tab set, except the displayed entry of
// the selected tab, which is read from its box because that holds what is typed and not yet
// stored. Every read of a content goes through content(), so that a change in how records keep
// their contents is met here alone.
class NoteSource final
{
public:
    NoteSource(const TabSet &tabs, std::function<int()> selectedTab);

    int tabCount() const;
    int entryCount(int tab) const;
    QString caption(int tab) const;
    QString title(int tab, int entry) const;
    // Line breaks are CR LF where read from a record and "\n" where read from the box.
    QString content(int tab, int entry) const;

private:
    const TabSet &m_tabs;
    std::function<int()> m_selectedTab;
};

// The box position of `position` in `content`: the box shows each CR LF as one "\n".
qsizetype boxPosition(QStringView content, qsizetype position);
