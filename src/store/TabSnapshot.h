#pragma once

#include "persist/Entry.h"
#include "persist/StoredEntry.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

// The whole content of one tab record, as TabTemp keeps it while tab data moves between indexes.
struct TabSnapshot
{
    QString FontName;
    float FontSize = 0;
    QStringList titles;
    QList<EntryContent> contents;
    qint16 NoOfCont = 0;
    qint16 DispIndex = 0;
    QDateTime Crt;
    QDateTime Alarm;
    bool OnAlm = false;
    QString Omidasi;
    // How the files of entries read at start-up and edited since were written, where it is not
    // the default (an unedited entry's stored entry knows it); no longer than the entry lists,
    // missing ones are the default.
    QList<EntrySource> sources;
};

// TabTemp: one slot per possible tab. Slots outside 0..29 raise std::out_of_range.
using TabTemp = std::array<TabSnapshot, 30>;
