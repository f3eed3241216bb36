#include "DigitGlyphs.h"

#include <QPolygonF>
#include <cmath>

namespace {

// Segments a..g of a seven-segment digit lit by each digit 0-9 and the minus.
constexpr std::array<std::uint8_t, 11> SegmentMasks = {
    0b0111111, // 0: a b c d e f
    0b0000110, // 1: b c
    0b1011011, // 2: a b d e g
    0b1001111, // 3: a b c d g
    0b1100110, // 4: b c f g
    0b1101101, // 5: a c d f g
    0b1111101, // 6: a c d e f g
    0b0000111, // 7: a b c
    0b1111111, // 8
    0b1101111, // 9: a b c d f g
    0b1000000, // minus: g
};

// 5 x 7 dot-matrix digits, one row a byte, bit 4 the leftmost dot.
constexpr std::array<std::array<std::uint8_t, 7>, 11> DotRows = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}, // minus
}};

QPolygonF horizontalSegment(double x1, double x2, double y, double t)
{
    const double h = t / 2;
    return QPolygonF({{x1, y},
                      {x1 + h, y - h},
                      {x2 - h, y - h},
                      {x2, y},
                      {x2 - h, y + h},
                      {x1 + h, y + h},
                      {x1, y}});
}

QPolygonF verticalSegment(double x, double y1, double y2, double t)
{
    const double h = t / 2;
    return QPolygonF({{x, y1},
                      {x + h, y1 + h},
                      {x + h, y2 - h},
                      {x, y2},
                      {x - h, y2 - h},
                      {x - h, y1 + h},
                      {x, y1}});
}

std::array<QPolygonF, 7> segments(double w, double h)
{
    const double t = std::max(1.0, std::min(w, h) * 0.16);
    const double gap = t * 0.18;
    const double left = t / 2, right = w - t / 2;
    const double top = t / 2, mid = h / 2, bottom = h - t / 2;
    return {
        horizontalSegment(left + gap, right - gap, top, t),    // a
        verticalSegment(right, top + gap, mid - gap, t),       // b
        verticalSegment(right, mid + gap, bottom - gap, t),    // c
        horizontalSegment(left + gap, right - gap, bottom, t), // d
        verticalSegment(left, mid + gap, bottom - gap, t),     // e
        verticalSegment(left, top + gap, mid - gap, t),        // f
        horizontalSegment(left + gap, right - gap, mid, t),    // g
    };
}

void addSquare(QPainterPath &path, QPointF centre, double size)
{
    path.addRect(QRectF(centre.x() - size / 2, centre.y() - size / 2, size, size));
}

void addDot(QPainterPath &path, QPointF centre, double diameter)
{
    path.addEllipse(centre, diameter / 2, diameter / 2);
}

} // namespace

void DigitGlyphs::prepare(int style, double digitWidth, double digitHeight, double separatorWidth)
{
    if (style == m_style && digitWidth == m_w && digitHeight == m_h && separatorWidth == m_sepW)
        return;
    m_style = style;
    m_w = digitWidth;
    m_h = digitHeight;
    m_sepW = separatorWidth;
    for (QPainterPath &p : m_lit)
        p = QPainterPath();
    m_allDigit = QPainterPath();
    m_allSeparator = QPainterPath();
    if (style == Dots)
        prepareDots(digitWidth, digitHeight, separatorWidth);
    else
        prepareLines(digitWidth, digitHeight, separatorWidth);
}

void DigitGlyphs::prepareLines(double w, double h, double sepW)
{
    const auto segs = segments(w, h);
    for (size_t g = 0; g < SegmentMasks.size(); ++g) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        for (int s = 0; s < 7; ++s) {
            if (SegmentMasks[g] & (1 << s))
                path.addPolygon(segs[size_t(s)]);
        }
        m_lit[g == 10 ? size_t(Glyph::Minus) : g] = path;
    }
    m_allDigit = m_lit[size_t(Glyph::D8)];
    const double t = std::max(1.0, std::min(w, h) * 0.16);
    const QPointF upper(sepW / 2, h * 0.32), lower(sepW / 2, h * 0.68);
    addSquare(m_lit[size_t(Glyph::Colon)], upper, t);
    addSquare(m_lit[size_t(Glyph::Colon)], lower, t);
    addSquare(m_lit[size_t(Glyph::Point)], QPointF(sepW / 2, h - t / 2), t);
    m_allSeparator = m_lit[size_t(Glyph::Colon)];
    m_allSeparator.addPath(m_lit[size_t(Glyph::Point)]);
}

void DigitGlyphs::prepareDots(double w, double h, double sepW)
{
    const double pitchX = w / 5, pitchY = h / 7;
    const double diameter = std::min(pitchX, pitchY) * 0.82;
    auto centre = [&](int col, int row) {
        return QPointF((col + 0.5) * pitchX, (row + 0.5) * pitchY);
    };
    for (size_t g = 0; g < DotRows.size(); ++g) {
        QPainterPath path;
        for (int row = 0; row < 7; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (DotRows[g][size_t(row)] & (0x10 >> col))
                    addDot(path, centre(col, row), diameter);
            }
        }
        m_lit[g == 10 ? size_t(Glyph::Minus) : g] = path;
    }
    for (int row = 0; row < 7; ++row) {
        for (int col = 0; col < 5; ++col)
            addDot(m_allDigit, centre(col, row), diameter);
    }
    addDot(m_lit[size_t(Glyph::Colon)], QPointF(sepW / 2, (2 + 0.5) * pitchY), diameter);
    addDot(m_lit[size_t(Glyph::Colon)], QPointF(sepW / 2, (4 + 0.5) * pitchY), diameter);
    addDot(m_lit[size_t(Glyph::Point)], QPointF(sepW / 2, (6 + 0.5) * pitchY), diameter);
    m_allSeparator = m_lit[size_t(Glyph::Colon)];
    m_allSeparator.addPath(m_lit[size_t(Glyph::Point)]);
}
