#pragma once

#include "TwipsWidget.h"

// A frame without a caption: an etched outline around the controls it holds.
class Frame : public TwipsWidget {
    Q_OBJECT
    Q_CLASSINFO("ControlClass", "Frame")

public:
    explicit Frame(QWidget *parent = nullptr);

Q_SIGNALS:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
