#pragma once

#include <QRect>

// The window layout, in twips. QRect carries left, top, width and height.

// The tab strip's rectangle for a main window of outer height H and width W.
QRect tabStripRect(int windowHeight, int windowWidth);

// The outer size for which tabStripRect gives a strip exactly as large as the client area
// above the status bar. The strip's formula keeps a fixed allowance for the caption, the
// borders and the status bar; the window manager and the style decide their real size, so
// the window works from its client area and this size instead of its frame.
QSize outerSizeForClient(int clientHeight, int clientWidth);

// Where a tab page's controls go inside its frame, given the title list's current height.
struct PageLayout
{
    QRect titleList; // its height is left as it is
    QPoint titleButton; // its size stays 132 x 252
    QRect contentBox;
};
PageLayout pageLayout(int frameWidth, int frameHeight, int titleListHeight);
