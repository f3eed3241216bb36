#pragma once

#include "TwipsWidget.h"

#include <cstdint>

// A rectangle drawn on the window surface: an outline, optionally filled.
// It never takes a click; whatever lies under it does.
class Shape : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Shape")
    Q_PROPERTY(std::int32_t BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(double BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(std::int32_t FillColor READ fillColor WRITE setFillColor)
    Q_PROPERTY(bool Filled READ isFilled WRITE setFilled)

public:
    explicit Shape(QWidget *parent = nullptr);

    std::int32_t borderColor() const { return m_borderColor; }
    void setBorderColor(std::int32_t bgr);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double pixels);
    std::int32_t fillColor() const { return m_fillColor; }
    void setFillColor(std::int32_t bgr);
    bool isFilled() const { return m_filled; }
    void setFilled(bool filled);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::int32_t m_borderColor = 0;
    double m_borderWidth = 1;
    std::int32_t m_fillColor = 0;
    bool m_filled = false;
};
