#include "ScreenChoice.h"

#include "ScreenWatch.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenChoice {

namespace {

// The server's word first: Qt may not have heard of a new resolution.
QRect areaOf(const QScreen *screen)
{
    return ScreenWatch::geometryOf(screen->name()).value_or(screen->geometry());
}

QScreen *byNumberOrName(const QString &wanted)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= screens.size() ? screens[number - 1] : nullptr;
    for (QScreen *s : screens) {
        if (s->name() == wanted)
            return s;
    }
    return nullptr;
}

} // namespace

bool apart(const QScreen *screen, const QScreen *other)
{
    return !other || (screen != other && !areaOf(screen).intersects(areaOf(other)));
}

QScreen *find(const QString &wanted, const QScreen *avoid)
{
    if (!wanted.isEmpty()) {
        QScreen *s = byNumberOrName(wanted);
        return s && apart(s, avoid) ? s : nullptr;
    }
    for (QScreen *s : QGuiApplication::screens()) {
        if (apart(s, avoid))
            return s;
    }
    return nullptr;
}

void fillScreen(QWidget *window, QScreen *screen, bool activate)
{
    if (!window->testAttribute(Qt::WA_WState_Created) ||
        !window->windowFlags().testFlag(Qt::FramelessWindowHint))
        window->setWindowFlag(Qt::FramelessWindowHint, true);
    const QRect area = areaOf(screen);
    window->setGeometry(area);
    if (window->isVisible() && window->windowState().testFlag(Qt::WindowFullScreen))
        return;
    window->setWindowState((window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) |
                           Qt::WindowFullScreen);
    window->show();
    if (activate)
        window->activateWindow();
    // Without a window manager the full-screen state asks nothing of
    // anyone; the geometry alone covers the screen.
    window->setGeometry(area);
}

} // namespace ScreenChoice
