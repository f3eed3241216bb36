#pragma once

#include "TwipsWidget.h"

#include <cstdint>

// A frame with a solid background that holds other controls.
class PictureBox : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "PictureBox")
    Q_PROPERTY(std::int32_t BackColor READ backColor WRITE setBackColor)

public:
    explicit PictureBox(QWidget *parent = nullptr);

    std::int32_t backColor() const { return m_backColor; }
    void setBackColor(std::int32_t bgr);

Q_SIGNALS:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    std::int32_t m_backColor = 0xC0C0C0;
};
