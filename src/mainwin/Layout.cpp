#include "mainwin/Layout.h"

QRect tabStripRect(int windowHeight, int windowWidth)
{
    // Room below the strip for the status bar and the window's caption and borders.
    const int height = windowHeight >= 610 ? windowHeight - 400 - 210 : windowHeight;
    const int width = windowWidth >= 100 ? windowWidth - 100 : windowWidth;
    return {0, 0, width, height};
}

QSize outerSizeForClient(int clientHeight, int clientWidth)
{
    return {clientWidth + 100, clientHeight + 400 + 210};
}

PageLayout pageLayout(int frameWidth, int frameHeight, int titleListHeight)
{
    const int boxTop = titleListHeight + 60;
    const int boxHeight = boxTop > frameHeight ? frameHeight : frameHeight - boxTop;
    return {QRect(0, 0, frameWidth - 250, titleListHeight), QPoint(frameWidth - 200, 0),
        QRect(0, boxTop, frameWidth, boxHeight)};
}
