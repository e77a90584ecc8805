#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>
#include <cmath>

// Converts window lengths between twips (1/1440 inch) and pixels at the screen's logical DPI.
class Twips
{
public:
    Twips(double dpiX, double dpiY)
        : m_dpiX(dpiX)
        , m_dpiY(dpiY)
    { }

    // The scale of the screen the widget is on.
    static Twips of(const QWidget &widget)
    {
        const QScreen *screen = widget.screen();
        return Twips(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
    }

    int xToPixels(int twips) const
    {
        return static_cast<int>(std::lround(twips * m_dpiX / 1440.0));
    }
    int yToPixels(int twips) const
    {
        return static_cast<int>(std::lround(twips * m_dpiY / 1440.0));
    }
    int xFromPixels(int pixels) const
    {
        return static_cast<int>(std::lround(pixels * 1440.0 / m_dpiX));
    }
    int yFromPixels(int pixels) const
    {
        return static_cast<int>(std::lround(pixels * 1440.0 / m_dpiY));
    }
    QRect toPixels(const QRect &twips) const
    {
        return {xToPixels(twips.left()), yToPixels(twips.top()), xToPixels(twips.width()),
            yToPixels(twips.height())};
    }

private:
    double m_dpiX;
    double m_dpiY;
};
