#pragma once

#include "DigitGlyphs.h"
#include "LedCells.h"

#include <QPixmap>
#include <array>
#include <cstdint>
#include <memory>

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

    explicit CellPictures(const Look &look) : m_look(look) {}
    const QPixmap &picture(Glyph glyph);

private:
    Look m_look;
    bool m_prepared = false;
    DigitGlyphs m_glyphs;
    std::array<QPixmap, 15> m_pictures;
};
