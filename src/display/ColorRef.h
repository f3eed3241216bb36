#pragma once

#include <QColor>
#include <cstdint>

// Colours travel as 0x00BBGGRR integers, red in the low byte; they become a
// QColor only when painted.
inline QColor toQColor(std::int32_t bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline std::int32_t fromQColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
