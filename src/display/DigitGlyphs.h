#pragma once

#include "LedCells.h"

#include <QPainterPath>
#include <array>

// The lit and unlit shapes of every glyph for one digit size and style,
// computed once and reused for every paint at that size.
class DigitGlyphs {
public:
    enum Style { Lines = 0, Dots = 1 };

    // Digit positions are `digitWidth` wide; separators `separatorWidth`.
    void prepare(int style, double digitWidth, double digitHeight, double separatorWidth);

    // The shape lit for a glyph, and the shape of everything that position
    // could light (drawn dimmed, as on a real LED board).
    const QPainterPath &lit(Glyph g) const { return m_lit[size_t(g)]; }
    const QPainterPath &unlitDigit() const { return m_allDigit; }
    const QPainterPath &unlitSeparator() const { return m_allSeparator; }

private:
    void prepareLines(double w, double h, double sepW);
    void prepareDots(double w, double h, double sepW);

    int m_style = -1;
    double m_w = 0, m_h = 0, m_sepW = 0;
    std::array<QPainterPath, 15> m_lit;
    QPainterPath m_allDigit;
    QPainterPath m_allSeparator;
};
