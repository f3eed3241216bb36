#include "TimeoutDots.h"

#include "ColorRef.h"

#include <QPainter>
#include <algorithm>

TimeoutDots::TimeoutDots(QWidget *parent) : TwipsWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TimeoutDots::setCount(int count)
{
    if (count != m_count) {
        m_count = std::max(0, count);
        update();
    }
}

void TimeoutDots::setRemaining(int left)
{
    if (left != m_left) {
        m_left = left;
        update();
    }
}

void TimeoutDots::setReviewLeft(bool left)
{
    if (left != m_reviewLeft) {
        m_reviewLeft = left;
        update();
    }
}

void TimeoutDots::setLitColor(std::int32_t bgr)
{
    if (bgr != m_lit) {
        m_lit = bgr;
        update();
    }
}

void TimeoutDots::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The timeouts, half a place apart from the review, along the longer
    // side from its start; each dot as wide as the shorter side allows. One
    // left is filled; one taken is only its ring, plain at a glance in any
    // colour against any background.
    const bool down = height() > width();
    const double along = down ? height() : width();
    const double across = down ? width() : height();
    const double step = std::min(along / (m_count + 1.5), across * 1.2);
    const double dot = std::min(across * 0.95, step * 0.8);
    const double ring = std::max(1.0, dot * 0.12);
    const QColor color = toQColor(m_lit);
    const auto draw = [&](double place, bool left) {
        const double a = place * step + (step - dot) / 2;
        const double c = (across - dot) / 2;
        QRectF r = down ? QRectF(c, a, dot, dot) : QRectF(a, c, dot, dot);
        if (left) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
        } else {
            r.adjust(ring / 2, ring / 2, -ring / 2, -ring / 2);
            painter.setPen(QPen(color, ring));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawEllipse(r);
    };
    for (int i = 0; i < m_count; ++i)
        draw(i, i < m_left);
    draw(m_count + 0.5, m_reviewLeft);
}
