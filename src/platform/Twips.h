#pragma once

#include <QRect>
#include <QWidget>
#include <cmath>

// Positions and sizes of windows and controls are kept in twips,
// 15 to a pixel.
namespace Twips {

constexpr double PerPixel = 15.0;

inline int toPixels(double twips)
{
    return int(std::lround(twips / PerPixel));
}

inline double fromPixels(int pixels)
{
    return pixels * PerPixel;
}

// The pixel rectangle covering a twips rectangle; edges round separately so
// that neighbouring controls meet without gaps.
inline QRect toPixelRect(double left, double top, double width, double height)
{
    const int x = toPixels(left);
    const int y = toPixels(top);
    return QRect(x, y, toPixels(left + width) - x, toPixels(top + height) - y);
}

inline void place(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(toPixelRect(left, top, width, height));
}

// A font size in points turned into pixels at the 96 dots per inch that
// 15 twips to a pixel stand for; fonts then scale exactly like the layout.
inline double pointsToPixels(double points)
{
    return points * 96.0 / 72.0;
}

} // namespace Twips
