#pragma once

#include <QAction>
#include <QMenu>

// Menu items carry the names the handlers and the tests know them by.
inline QAction *addMenuItem(QMenu &menu, const QString &name, const QString &caption)
{
    QAction *item = menu.addAction(caption);
    item->setObjectName(name);
    return item;
}

inline void addMenuSeparator(QMenu &menu, const QString &name)
{
    menu.addSeparator()->setObjectName(name);
}
