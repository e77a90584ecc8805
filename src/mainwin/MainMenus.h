#pragma once

#include <QMenu>

// The pop-up menus of the main window and their items, named as the handlers know them.
// mnuTab pops up on the tab strip, mnuAlm on the alarm panel of the status bar.
class MainMenus final
{
public:
    explicit MainMenus(QWidget *parent);
    Q_DISABLE_COPY_MOVE(MainMenus)

    QMenu mnuTab;
    QAction *mnuTabAdd = nullptr;
    QAction *mnuTabCBAdd = nullptr;
    QAction *mnuTabFLAdd = nullptr;
    QAction *mnuTabDel = nullptr;
    QAction *mnuTabName = nullptr;
    QMenu mnuTabSort;
    QAction *mnuTabSortManu = nullptr;
    QAction *mnuTabSortTtup = nullptr;
    QAction *mnuTabSortTtdn = nullptr;
    QAction *mnuTabSortCrup = nullptr;
    QAction *mnuTabSortCrdn = nullptr;
    QAction *mnuTabFind = nullptr;
    QAction *mnuTabOpt = nullptr;
    QAction *mnuTabSave = nullptr;
    QAction *mnuTabQuit = nullptr;

    QMenu mnuAlm;
    QAction *mnuAlmSet = nullptr;
    QAction *mnuAlmOff = nullptr;
};
