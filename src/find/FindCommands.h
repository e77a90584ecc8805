#pragma once

#include "find/NoteSource.h"

#include <QObject>
#include <functional>

class FindTarget;
class QAction;
class QWidget;
class TabSet;
class frmFind;
struct FindResult;

// Finding in every note: opens the find window (one at a time, made at the first use and kept,
// so it comes back as it was left), goes to the rows chosen in it, and F3 / Shift+F3 go to the
// next or previous row from the main window as well as from the find window.
class FindCommands final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FindCommands)
public:
    FindCommands(
        const TabSet &tabs, std::function<int()> selectedTab, FindTarget &target, QWidget &window);

    // The find window in front, its search box ready for a new word.
    void open();
    // F3 and Shift+F3. With nothing to find yet they open the find window.
    void findNext() { step(1); }
    void findPrevious() { step(-1); }
    // The tabs were added, deleted, renamed or moved: the rows are found again.
    void tabSetChanged();

    frmFind *findWindow() const { return m_find; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step(int delta);
    void goTo(const FindResult &result);
    frmFind &ensureWindow();

    NoteSource m_source;
    FindTarget &m_target;
    QWidget &m_window;
    QAction *m_next;
    QAction *m_previous;
    frmFind *m_find = nullptr;
};
