#pragma once

#include <QObject>
#include <QPointer>

class MainMenus;
class PlatformServices;
class TabSet;
class TabWindow;
class clsTabCont;
class frmSort;
struct SortKey;

// The sort submenu of the tab menu: by caption or creation date, ascending or descending, and
// the manual sort dialog, of which at most one is open. tabSetChanged follows every sort.
class SortCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SortCommands)
public:
    SortCommands(
        TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus);

    // The tabs changed elsewhere: an open manual sort dialog shows them anew, so that a number
    // never goes to the wrong tab.
    void refreshDialog();

signals:
    // The tabs were moved to other indexes.
    void tabSetChanged();

private:
    enum class Direction { Up, Down };
    using KeyOf = SortKey (*)(const clsTabCont &record, int index);

    void mnuTabSortManu_Click();
    // One key per tab, then the sort in the given direction.
    void sortBy(KeyOf keyOf, Direction direction);

    TabSet &m_tabs;
    TabWindow &m_window;
    PlatformServices &m_platform;
    QPointer<frmSort> m_frmSort;
};
