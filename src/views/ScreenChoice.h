#pragma once

#include <QString>

class QScreen;
class QWidget;

// Which screen a window goes to, and putting it there full-screen.
namespace ScreenChoice {

// A screen by its number (1 is the first, in the window system's order) or
// its name (as xrandr shows it); without one, the first screen other than
// `avoid`. Null when there is no such screen (or no other one).
QScreen *find(const QString &wanted, const QScreen *avoid);

// Covers the screen with the window, borderless, full-screen; `activate`
// gives it the keyboard, as the operator's board wants and the audience
// board must not.
void fillScreen(QWidget *window, QScreen *screen, bool activate);

} // namespace ScreenChoice
