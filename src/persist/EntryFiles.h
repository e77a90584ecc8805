#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct Entry
{
    QString title;
    QString content;
};

// "Tab" + tab number + entry letter + ".tab": entryFileName(12, 2) == "Tab12C.tab".
QString entryFileName(int tabNumber, int entryIndex);

// Title, CR LF, content, CR LF, in the note encoding.
QByteArray entryFileBytes(const Entry &entry);

// Line 1 is the title; the other lines, joined by CR LF, the content.
Entry parseEntryFile(const QByteArray &bytes);

struct EntryScan
{
    // Tabs in increasing tab number, packed over missing numbers; entries in letter order.
    QList<QList<Entry>> tabs;
    // Files that exist but could not be read, each as "name: reason".
    QStringList unreadable;
};

// Reads Tab1A.tab to Tab30Z.tab from the directory, skipping the names that do not exist.
EntryScan readEntryFiles(const QString &dir);
