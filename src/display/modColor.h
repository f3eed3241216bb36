#pragma once

#include <QList>
#include <cstdint>

class QObject;

// Carries the colour settings onto the controls of a window.
namespace modColor {

// One LED display: background the LED background setting, lit segments
// litColor.
void ColorLedDisplay(QObject *target, std::int32_t litColor);
// Every display of a collection, in order.
void ColorLedDisplay(const QList<QObject *> &targets, std::int32_t litColor);

// Labels take the frame-line colour as text colour, picture boxes the LED
// background, shapes the frame-line colour as outline; controls named in
// `excluded` are left to the caller.
void ColorFormControls(const QObject *window, const QList<QObject *> &excluded);

} // namespace modColor
