#pragma once

#include <QString>

class QScreen;
class QWidget;

// Which screen a window goes to, and putting it there full-screen.
namespace ScreenChoice {

// A screen by its number (1 is the first, in the window system's order) or
// its name (as xrandr shows it); without one, the first screen apart from
// `avoid`. Null when there is no such screen, or it is not apart.
QScreen *find(const QString &wanted, const QScreen *avoid);

// Whether a screen shows nothing of another: not the same screen, nor one
// that overlaps it (a projector mirroring the laptop's screen).
bool apart(const QScreen *screen, const QScreen *other);

// Covers the screen with the window, borderless, full-screen; `activate`
// gives it the keyboard, as the operator's board wants and the audience
// board must not.
void fillScreen(QWidget *window, QScreen *screen, bool activate);

} // namespace ScreenChoice
