#include "commands/TabSetChanges.h"

#include "mainwin/frmMain.h"

TabSetChanges::TabSetChanges(QObject *parent)
    : QObject(parent)
{ }

TabSetChanges &TabSetChanges::of(frmMain &main)
{
    // Found rather than handed round, so the commands need not know each other or their order.
    if (auto *existing = main.findChild<TabSetChanges *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new TabSetChanges(&main);
}
