#pragma once

#include "TwipsWidget.h"

#include <cstdint>

// A team's timeouts as a row (or, taller than wide, a column) of dots,
// filled for each one left and a ring for each one taken, and after a gap
// one more dot for its official review, filled while the team still has one.
class TimeoutDots : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "TimeoutDots")
    Q_PROPERTY(int Count READ count WRITE setCount)
    Q_PROPERTY(int Remaining READ remaining WRITE setRemaining)
    Q_PROPERTY(bool ReviewLeft READ reviewLeft WRITE setReviewLeft)
    Q_PROPERTY(std::int32_t LitColor READ litColor WRITE setLitColor)

public:
    explicit TimeoutDots(QWidget *parent = nullptr);

    int count() const { return m_count; }
    void setCount(int count);
    int remaining() const { return m_left; }
    void setRemaining(int remaining);
    bool reviewLeft() const { return m_reviewLeft; }
    void setReviewLeft(bool left);
    std::int32_t litColor() const { return m_lit; }
    void setLitColor(std::int32_t bgr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_count = 3;
    int m_left = 3;
    bool m_reviewLeft = true;
    std::int32_t m_lit = 0xFFFFFF;
};
