#include "LedDisplay.h"

#include "ColorRef.h"
#include "Twips.h"
#include "VirtualKey.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <cmath>

namespace {

QColor dimmed(const QColor &lit, const QColor &back)
{
    constexpr double share = 0.13;
    return QColor::fromRgbF(float(back.redF() + (lit.redF() - back.redF()) * share),
                            float(back.greenF() + (lit.greenF() - back.greenF()) * share),
                            float(back.blueF() + (lit.blueF() - back.blueF()) * share));
}

} // namespace

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
    for (QPixmap &picture : m_cellPictures)
        picture = QPixmap();
}

const QPixmap &LedDisplay::cellPicture(Glyph glyph)
{
    QPixmap &picture = m_cellPictures[size_t(glyph)];
    if (!picture.isNull())
        return picture;
    const double px = 1.0 / Twips::PerPixel;
    const double digitWidth = digitWidthPixels();
    const double separatorWidth = separatorTwips() * px;
    m_glyphs.prepare(m_ledType, digitWidth, m_size, separatorWidth);
    const bool separator = isSeparator(glyph);
    const QSize size(int(std::ceil(separator ? separatorWidth : digitWidth)) + 1, m_size + 1);
    // Drawn at the screen's own resolution, then copied 1:1 to it.
    picture = QPixmap(size * m_cellPixelRatio);
    picture.setDevicePixelRatio(m_cellPixelRatio);
    const QColor back = toQColor(m_backColor);
    const QColor lit = toQColor(m_litColor);
    picture.fill(back);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(dimmed(lit, back));
    painter.drawPath(separator ? m_glyphs.unlitSeparator() : m_glyphs.unlitDigit());
    if (glyph != Glyph::Blank && glyph != Glyph::SeparatorOff) {
        painter.setBrush(lit);
        painter.drawPath(m_glyphs.lit(glyph));
    }
    return picture;
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
    const bool layoutChanged = cells.digitCount() != m_cells.digitCount() ||
                               cells.separatorCount() != m_cells.separatorCount();
    const LedCells before = m_cells;
    m_cells = cells;
    if (layoutChanged) {
        geometryChanged();
        return;
    }
    // Only the positions whose glyph changed: a running clock repaints (and
    // sends to the screen) one or two digits a second, not the whole display.
    ++m_repaintRequests;
    QRegion changed;
    forEachCell([&](int i, double x, double width) {
        if (before.glyphs[size_t(i)] != cells.glyphs[size_t(i)])
            changed += QRect(int(std::floor(x)) - 1, 0, int(std::ceil(width)) + 3, height());
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

void LedDisplay::paintEvent(QPaintEvent *)
{
    if (devicePixelRatioF() != m_cellPixelRatio) {
        forgetCellPictures();
        m_cellPixelRatio = devicePixelRatioF();
    }
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    if (hasBorder()) {
        painter.setPen(QPen(toQColor(frameColor()), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const int y = int(std::lround(m_paddingV / Twips::PerPixel));
    forEachCell([&](int i, double x, double) {
        painter.drawPixmap(int(std::lround(x)), y, cellPicture(m_cells.glyphs[size_t(i)]));
    });
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
