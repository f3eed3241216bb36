#include "Shape.h"

#include "ColorRef.h"

#include <QPainter>
#include <cmath>

Shape::Shape(QWidget *parent) : TwipsWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void Shape::setBorderColor(std::int32_t bgr)
{
    m_borderColor = bgr;
    update();
}

void Shape::setBorderWidth(double pixels)
{
    m_borderWidth = pixels;
    update();
}

void Shape::setFillColor(std::int32_t bgr)
{
    m_fillColor = bgr;
    update();
}

void Shape::setFilled(bool filled)
{
    m_filled = filled;
    update();
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_filled)
        painter.fillRect(rect(), toQColor(m_fillColor));
    // The outline lies inside the shape's rectangle, like a drawn frame.
    const int line = qMax(1, int(std::lround(m_borderWidth)));
    const QColor color = toQColor(m_borderColor);
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), line), color);
    painter.fillRect(QRect(r.left(), r.bottom() - line + 1, r.width(), line), color);
    painter.fillRect(QRect(r.left(), r.top(), line, r.height()), color);
    painter.fillRect(QRect(r.right() - line + 1, r.top(), line, r.height()), color);
}
