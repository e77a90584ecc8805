#include "mainwin/MainMenus.h"

namespace {

QAction *addItem(QMenu &menu, const char *name, const QString &caption)
{
    QAction *action = menu.addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void addSeparator(QMenu &menu, const char *name)
{
    menu.addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

MainMenus::MainMenus(QWidget *parent)
    : mnuTab(QStringLiteral("タブ"), parent)
    , mnuTabSort(QStringLiteral("ソート"), parent)
    , mnuAlm(QStringLiteral("アラーム"), parent)
{
    mnuTabAdd = addItem(mnuTab, "mnuTabAdd", QStringLiteral("タブ追加(&A)"));
    mnuTabCBAdd = addItem(mnuTab, "mnuTabCBAdd", QStringLiteral("クリップボート追加(&B)"));
    mnuTabFLAdd = addItem(mnuTab, "mnuTabFLAdd", QStringLiteral("ファイル追加(&O)"));
    addSeparator(mnuTab, "mnuTabSct1");
    mnuTabDel = addItem(mnuTab, "mnuTabDel", QStringLiteral("タブ削除(&D)"));
    mnuTabName = addItem(mnuTab, "mnuTabName", QStringLiteral("タブ名変更"));
    mnuTab.addMenu(&mnuTabSort)->setObjectName(QStringLiteral("mnuTabSort"));
    mnuTabSortManu = addItem(mnuTabSort, "mnuTabSortManu", QStringLiteral("手動"));
    mnuTabSortTtup = addItem(mnuTabSort, "mnuTabSortTtup", QStringLiteral("タイトル昇順"));
    mnuTabSortTtdn = addItem(mnuTabSort, "mnuTabSortTtdn", QStringLiteral("タイトル降順"));
    mnuTabSortCrup = addItem(mnuTabSort, "mnuTabSortCrup", QStringLiteral("作成日昇順"));
    mnuTabSortCrdn = addItem(mnuTabSort, "mnuTabSortCrdn", QStringLiteral("作成日降順"));
    addSeparator(mnuTab, "mnuTabSct2");
    mnuTabOpt = addItem(mnuTab, "mnuTabOpt", QStringLiteral("オプション"));
    mnuTabSave = addItem(mnuTab, "mnuTabSave", QStringLiteral("保存(&S)"));
    addSeparator(mnuTab, "mnuTabSct3");
    mnuTabQuit = addItem(mnuTab, "mnuTabQuit", QStringLiteral("Nokuriの終了(&X)"));

    mnuAlmSet = addItem(mnuAlm, "mnuAlmSet", QStringLiteral("設定"));
    mnuAlmOff = addItem(mnuAlm, "mnuAlmOff", QStringLiteral("解除"));

    // Shown in the menu; the window makes the keys work while the menu is closed.
    mnuTabAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuTabCBAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuTabFLAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
}
