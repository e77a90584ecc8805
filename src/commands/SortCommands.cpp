#include "commands/SortCommands.h"

#include "commands/TabSort.h"
#include "commands/frmSort.h"
#include "mainwin/MainMenus.h"
#include "mainwin/TabWindow.h"
#include "store/SortKey.h"
#include "store/TabSet.h"
#include "store/clsTabCont.h"

#include <QAction>

namespace {

SortKey byCaption(const clsTabCont &record, int index)
{
    return {record.Omidasi(), static_cast<qint16>(index)};
}

SortKey byCreation(const clsTabCont &record, int index)
{
    return {record.Crt(), static_cast<qint16>(index)};
}

} // namespace

SortCommands::SortCommands(
    TabSet &tabs, TabWindow &window, PlatformServices &platform, const MainMenus &menus)
    : QObject(&window.widget())
    , m_tabs(tabs)
    , m_window(window)
    , m_platform(platform)
{
    connect(menus.mnuTabSortManu, &QAction::triggered, this, &SortCommands::mnuTabSortManu_Click);
    connect(menus.mnuTabSortTtup, &QAction::triggered, this,
        [this] { sortBy(byCaption, Direction::Up); });
    connect(menus.mnuTabSortTtdn, &QAction::triggered, this,
        [this] { sortBy(byCaption, Direction::Down); });
    connect(menus.mnuTabSortCrup, &QAction::triggered, this,
        [this] { sortBy(byCreation, Direction::Up); });
    connect(menus.mnuTabSortCrdn, &QAction::triggered, this,
        [this] { sortBy(byCreation, Direction::Down); });
}

void SortCommands::mnuTabSortManu_Click()
{
    // An open dialog keeps the numbers typed so far; it only comes forward.
    if (!m_frmSort) {
        m_frmSort = new frmSort(m_tabs, m_window, m_platform);
        m_frmSort->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_frmSort, &frmSort::sorted, this, &SortCommands::tabSetChanged);
    }
    m_frmSort->show();
    m_frmSort->raise();
    m_frmSort->activateWindow();
}

void SortCommands::refreshDialog()
{
    if (m_frmSort)
        m_frmSort->Form_Load();
}

void SortCommands::sortBy(KeyOf keyOf, Direction direction)
{
    TabSet &tabs = m_tabs;
    std::vector<SortKey> keys;
    keys.reserve(static_cast<size_t>(tabs.count()));
    for (int i = 0; i < tabs.count(); ++i)
        keys.push_back(keyOf(tabs[i], i));
    tabs.SortKeys = std::move(keys);
    if (direction == Direction::Up)
        SortUp(m_tabs, m_window);
    else
        SortDown(m_tabs, m_window);
    emit tabSetChanged();
}
