#include "LedDisplay.h"

#include "ColorRef.h"
#include "Twips.h"
#include "VirtualKey.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <cmath>

LedDisplay::LedDisplay(QWidget *parent) : TwipsWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LedDisplay::setLitColor(std::int32_t bgr)
{
    m_litColor = bgr;
    requestRepaint();
}

void LedDisplay::setBackColor(std::int32_t bgr)
{
    m_backColor = bgr;
    requestRepaint();
}

void LedDisplay::setLedType(std::int32_t type)
{
    m_ledType = type;
    requestRepaint();
}

void LedDisplay::setDigitSize(qint16 size)
{
    m_size = qMax<qint16>(1, size);
    geometryChanged();
}

void LedDisplay::setPaddingH(qint16 twips)
{
    m_paddingH = twips;
    geometryChanged();
}

void LedDisplay::setPaddingV(qint16 twips)
{
    m_paddingV = twips;
    geometryChanged();
}

void LedDisplay::setPaddingI(qint16 twips)
{
    m_paddingI = twips;
    geometryChanged();
}

void LedDisplay::forgetCellPictures()
{
    m_cellPictures.reset();
}

const QPixmap &LedDisplay::cellPicture(Glyph glyph)
{
    if (!m_cellPictures) {
        const double px = 1.0 / Twips::PerPixel;
        m_cellPictures =
            CellPictures::forLook({m_ledType, m_size, digitWidthPixels(), separatorTwips() * px,
                                   m_litColor, m_backColor, m_cellPixelRatio});
    }
    return m_cellPictures->picture(glyph);
}

void LedDisplay::requestRepaint()
{
    // Anything that asks for a repaint may have changed how cells look,
    // except new content, which asks through contentChanged.
    forgetCellPictures();
    ++m_repaintRequests;
    update();
}

void LedDisplay::contentChanged()
{
    const LedCells cells = computeCells();
    if (cells == m_cells)
        return;
    const LedCells before = m_cells;
    m_cells = cells;
    if (cells.digitCount() != before.digitCount() ||
        cells.separatorCount() != before.separatorCount()) {
        geometryChanged();
        return;
    }
    ++m_repaintRequests;
    // A separator that moved (59.9 to 1:00 and back) moves every position
    // between its old and new places, padding included: all of it again.
    for (int i = 0; i < cells.count; ++i) {
        if (isSeparator(before.glyphs[size_t(i)]) != isSeparator(cells.glyphs[size_t(i)])) {
            update();
            return;
        }
    }
    // Only the pixels of the positions whose glyph changed: a running clock
    // repaints (and sends to the screen) a digit or two a second at most, not
    // the whole display. One rectangle round them keeps the paint's clip a
    // plain rectangle.
    QRect changed;
    forEachCell([&](int i, double x, double width) {
        const Glyph was = before.glyphs[size_t(i)];
        const Glyph now = cells.glyphs[size_t(i)];
        if (was == now)
            return;
        const QRect cell = cellRect(x, width);
        changed |=
            m_cellPictures ? m_cellPictures->difference(was, now).translated(cell.topLeft()) : cell;
    });
    update(changed);
}

void LedDisplay::geometryChanged()
{
    const int digits = m_cells.digitCount();
    const int separators = m_cells.separatorCount();
    const double digitWidth = Twips::fromPixels(1) * digitWidthPixels();
    const double width = 2.0 * m_paddingH + digits * digitWidth +
                         qMax(0, digits - 1) * double(m_paddingI) + separators * separatorTwips();
    const double height = 2.0 * m_paddingV + Twips::fromPixels(m_size);
    setSizeTwips(width, height);
    requestRepaint();
}

void LedDisplay::paintEvent(QPaintEvent *event)
{
    if (devicePixelRatioF() != m_cellPixelRatio) {
        forgetCellPictures();
        m_cellPixelRatio = devicePixelRatioF();
    }
    // Only what was asked for: a running clock asks for the digits that
    // changed, and filling or copying more would be thrown away by the clip.
    const QRect area = event->rect();
    // The cell pictures carry their own background, so only the rest of the
    // area is filled: no pixel is written twice.
    QRegion gaps(area);
    forEachCell([&](int, double x, double width) { gaps -= cellRect(x, width); });
    QPainter painter(this);
    const QColor back = toQColor(m_backColor);
    for (const QRect &gap : gaps)
        painter.fillRect(gap, back);
    // The frame's line is a pixel wide on the display, which at a display
    // scale like 1.25 or 2 reaches into the pixel inside it: an area that
    // comes that close draws it, or a full repaint would differ.
    if (hasBorder() && !rect().adjusted(2, 2, -2, -2).contains(area)) {
        painter.setPen(QPen(toQColor(frameColor()), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    forEachCell([&](int i, double x, double width) {
        const QRect cell = cellRect(x, width);
        if (area.intersects(cell))
            painter.drawPixmap(cell.topLeft(), cellPicture(m_cells.glyphs[size_t(i)]));
    });
}

QRect LedDisplay::cellRect(double x, double width) const
{
    return QRect(QPoint(int(std::lround(x)), int(std::lround(m_paddingV / Twips::PerPixel))),
                 CellPictures::cellSize(width, m_size));
}

template <typename F> void LedDisplay::forEachCell(F &&visit) const
{
    const double px = 1.0 / Twips::PerPixel;
    const double digitWidth = digitWidthPixels();
    const double separatorWidth = separatorTwips() * px;
    double x = m_paddingH * px;
    for (int i = 0; i < m_cells.count; ++i) {
        const bool separator = isSeparator(m_cells.glyphs[size_t(i)]);
        if (i > 0) {
            const bool nextToSeparator = separator || isSeparator(m_cells.glyphs[size_t(i - 1)]);
            x += m_paddingI * px * (nextToSeparator ? 0.5 : 1.0);
        }
        const double width = separator ? separatorWidth : digitWidth;
        visit(i, x, width);
        x += width;
    }
}

void LedDisplay::focusInEvent(QFocusEvent *event)
{
    TwipsWidget::focusInEvent(event);
    Q_EMIT GotFocus();
}

void LedDisplay::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT KeyDown(VirtualKey::fromEvent(*event), VirtualKey::shiftState(*event));
}

void LedDisplay::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat())
        return;
    Q_EMIT KeyUp(VirtualKey::fromEvent(*event), VirtualKey::shiftState(*event));
}
