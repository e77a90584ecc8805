#include "mainwin/MainMenus.h"

#include "mainwin/MenuItems.h"

MainMenus::MainMenus(QWidget *parent)
    : mnuTab(QStringLiteral("タブ"), parent)
    , mnuTabSort(QStringLiteral("ソート"), parent)
    , mnuAlm(QStringLiteral("アラーム"), parent)
{
    mnuTabAdd = addMenuItem(mnuTab, QStringLiteral("mnuTabAdd"), QStringLiteral("タブ追加(&A)"));
    mnuTabCBAdd = addMenuItem(
        mnuTab, QStringLiteral("mnuTabCBAdd"), QStringLiteral("クリップボート追加(&B)"));
    mnuTabFLAdd
        = addMenuItem(mnuTab, QStringLiteral("mnuTabFLAdd"), QStringLiteral("ファイル追加(&O)"));
    addMenuSeparator(mnuTab, QStringLiteral("mnuTabSct1"));
    mnuTabDel = addMenuItem(mnuTab, QStringLiteral("mnuTabDel"), QStringLiteral("タブ削除(&D)"));
    mnuTabName = addMenuItem(mnuTab, QStringLiteral("mnuTabName"), QStringLiteral("タブ名変更"));
    mnuTab.addMenu(&mnuTabSort)->setObjectName(QStringLiteral("mnuTabSort"));
    mnuTabSortManu
        = addMenuItem(mnuTabSort, QStringLiteral("mnuTabSortManu"), QStringLiteral("手動"));
    mnuTabSortTtup
        = addMenuItem(mnuTabSort, QStringLiteral("mnuTabSortTtup"), QStringLiteral("タイトル昇順"));
    mnuTabSortTtdn
        = addMenuItem(mnuTabSort, QStringLiteral("mnuTabSortTtdn"), QStringLiteral("タイトル降順"));
    mnuTabSortCrup
        = addMenuItem(mnuTabSort, QStringLiteral("mnuTabSortCrup"), QStringLiteral("作成日昇順"));
    mnuTabSortCrdn
        = addMenuItem(mnuTabSort, QStringLiteral("mnuTabSortCrdn"), QStringLiteral("作成日降順"));
    mnuTabFind = addMenuItem(mnuTab, QStringLiteral("mnuTabFind"), QStringLiteral("検索(&F)..."));
    addMenuSeparator(mnuTab, QStringLiteral("mnuTabSct2"));
    mnuTabOpt = addMenuItem(mnuTab, QStringLiteral("mnuTabOpt"), QStringLiteral("オプション"));
    mnuTabSave = addMenuItem(mnuTab, QStringLiteral("mnuTabSave"), QStringLiteral("保存(&S)"));
    addMenuSeparator(mnuTab, QStringLiteral("mnuTabSct3"));
    mnuTabQuit
        = addMenuItem(mnuTab, QStringLiteral("mnuTabQuit"), QStringLiteral("Nokuriの終了(&X)"));

    mnuAlmSet = addMenuItem(mnuAlm, QStringLiteral("mnuAlmSet"), QStringLiteral("設定"));
    mnuAlmOff = addMenuItem(mnuAlm, QStringLiteral("mnuAlmOff"), QStringLiteral("解除"));

    // Shown in the menu; the window makes the keys work while the menu is closed.
    mnuTabAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuTabCBAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuTabFLAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuTabFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
}
