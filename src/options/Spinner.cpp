#include "Spinner.h"

Spinner::Spinner(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    // The handle at the top means the largest value.
    setInvertedAppearance(true);
    // Up and the wheel away from the operator add, as on any slider.
    setInvertedControls(false);
    // Its menu speaks of scrolling up and down a page; there is none.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(this, &QAbstractSlider::actionTriggered, this, &Spinner::reverseArrowStep);
}

void Spinner::mousePressEvent(QMouseEvent *event)
{
    m_stepFromMouse = true;
    QScrollBar::mousePressEvent(event);
    m_stepFromMouse = false;
}

void Spinner::timerEvent(QTimerEvent *event)
{
    // A held arrow repeats its step from the slider's timer.
    m_stepFromMouse = true;
    QScrollBar::timerEvent(event);
    m_stepFromMouse = false;
}

void Spinner::reverseArrowStep(int action)
{
    // The bar's upper arrow and the groove above the handle step down; here
    // they step up, and the lower ones down. The value is still the one
    // before the step, so the step is taken again the other way.
    if (!m_stepFromMouse)
        return;
    const bool add = action == SliderSingleStepAdd || action == SliderPageStepAdd;
    const bool sub = action == SliderSingleStepSub || action == SliderPageStepSub;
    if (!add && !sub)
        return;
    const bool single = action == SliderSingleStepAdd || action == SliderSingleStepSub;
    const int step = single ? singleStep() : pageStep();
    setSliderPosition(value() + (add ? -step : step));
}
