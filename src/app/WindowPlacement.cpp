#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void placeCentredOn(QWidget *window, const QWidget *opener)
{
    if (!opener)
        return;
    const QRect around = opener->frameGeometry();
    QScreen *screen = QGuiApplication::screenAt(around.center());
    if (!screen)
        screen = opener->screen();
    const QRect area = screen->availableGeometry();
    QRect placed(QPoint(), window->size());
    placed.moveCenter(around.center());
    // Too large for the screen: its top left corner stays on it.
    placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - placed.width())));
    placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - placed.height())));
    window->move(placed.topLeft());
}
