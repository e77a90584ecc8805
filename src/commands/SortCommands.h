#pragma once

#include <QObject>
#include <QPointer>

class clsTabCont;
class frmMain;
class frmSort;
struct SortKey;

// The sort submenu of the tab menu: by caption or creation date, ascending or descending, and
// the manual sort dialog, of which at most one is open.
class SortCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SortCommands)
public:
    explicit SortCommands(frmMain &main);

private:
    enum class Direction { Up, Down };
    using KeyOf = SortKey (*)(const clsTabCont &record, int index);

    void mnuTabSortManu_Click();
    // One key per tab, then the sort in the given direction.
    void sortBy(KeyOf keyOf, Direction direction);

    frmMain &m_main;
    QPointer<frmSort> m_frmSort;
};
