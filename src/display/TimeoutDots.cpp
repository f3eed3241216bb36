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

void TimeoutDots::setUnlitColor(std::int32_t bgr)
{
    if (bgr != m_unlit) {
        m_unlit = bgr;
        update();
    }
}

void TimeoutDots::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // The timeouts, a gap of one dot, the review: every dot in a cell of
    // its own, as large as the height and the width allow.
    const int cells = m_count + 2;
    const double cell = std::min(double(width()) / cells, double(height()));
    const double dot = cell * 0.7;
    const double y = (height() - dot) / 2;
    const double x0 = (width() - cell * cells) / 2 + (cell - dot) / 2;
    const auto draw = [&](int place, bool lit) {
        painter.setBrush(toQColor(lit ? m_lit : m_unlit));
        painter.drawEllipse(QRectF(x0 + place * cell, y, dot, dot));
    };
    for (int i = 0; i < m_count; ++i)
        draw(i, i < m_left);
    draw(m_count + 1, m_reviewLeft);
}
