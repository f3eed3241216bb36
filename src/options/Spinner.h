#pragma once

#include <QScrollBar>

// A small vertical spinner that counts up the way its arrows point: the
// upper arrow, the Up key and the wheel turned away from the operator all
// increase the value, and the handle rises as the value grows. A plain
// vertical scroll bar does the opposite, since it scrolls a page whose top
// is its lowest value.
class Spinner : public QScrollBar {
    Q_OBJECT

public:
    explicit Spinner(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void reverseArrowStep(int action);

    // True while a click on the bar (or its held repeat) steps the value.
    bool m_stepFromMouse = false;
};
