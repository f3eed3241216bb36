#pragma once

#include "DigitGlyphs.h"
#include "LedCells.h"

#include <QPixmap>
#include <QRect>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

// The pictures of the LED positions of one look: every glyph drawn once with
// its background, unlit and lit parts, then only copied. Displays that look
// alike (the four penalty clocks, the audience board's copies) share one set;
// a set lives as long as a display uses it.
class CellPictures {
public:
    struct Look {
        int ledType = 0;
        int digitHeight = 0;
        double digitWidth = 0;
        double separatorWidth = 0;
        std::int32_t litColor = 0;
        std::int32_t backColor = 0;
        double pixelRatio = 1;
        bool operator==(const Look &) const = default;
    };

    static std::shared_ptr<CellPictures> forLook(const Look &look);
    // The size of a position's picture, in the display's own pixels: its
    // width rounded up, and a pixel more each way for anti-aliased edges.
    static QSize cellSize(double width, int digitHeight)
    {
        return QSize(int(std::ceil(width)) + 1, digitHeight + 1);
    }

    explicit CellPictures(const Look &look) : m_look(look) {}
    const QPixmap &picture(Glyph glyph);
    // The part of a position that differs between two glyphs of the same
    // kind (both digits or both separators), in the position's own pixels:
    // a clock going from 9 to 8 repaints the one segment that lights.
    QRect difference(Glyph from, Glyph to);

private:
    Look m_look;
    bool m_prepared = false;
    DigitGlyphs m_glyphs;
    std::array<QPixmap, 15> m_pictures;
    std::array<std::array<std::optional<QRect>, 15>, 15> m_differences;
};
