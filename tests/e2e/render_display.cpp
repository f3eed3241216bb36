// Draws one display of the board as it must look, for comparing with a
// screenshot of the running program:
//   render_display <display name> <value> <output.png>
// A clock display takes seconds ("120" shows 2:00; the period under a
// minute shows tenths, "50" shows 50.0), a number display its caption. Prints the display's rectangle in the board window: x y w h.
#include "Digmar.h"
#include "MonotonicClock.h"
#include "Pinlux.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "frmScoreboard.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: render_display <display> <value> <output.png>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Settings = SettingsStore::defaults(QStringLiteral("/nonexistent"));
    ManualClock clock;
    ScoreboardServices services;
    services.clock = &clock;
    services.sound = nullptr;
    frmScoreboard board(services);
    board.show();
    board.tmrClock1.stop();
    auto *display = board.findChild<LedDisplay *>(QString::fromLocal8Bit(argv[1]));
    if (!display) {
        std::fprintf(stderr, "no display named %s\n", argv[1]);
        return 1;
    }
    const QString value = QString::fromLocal8Bit(argv[2]);
    if (auto *pinlux = qobject_cast<Pinlux *>(display)) {
        // The period shows seconds and tenths in its last minute.
        const bool lastMinute = pinlux == board.tledPeriod && value.toFloat() < 60;
        pinlux->setGroupUnits(lastMinute ? QStringLiteral("1,.1") : QStringLiteral("60,1"));
        pinlux->setValue(value.toFloat());
    } else if (auto *digmar = qobject_cast<Digmar *>(display)) {
        digmar->setCaption(value);
    }
    if (!display->grab().save(QString::fromLocal8Bit(argv[3])))
        return 1;
    const QRect r = display->geometry();
    std::printf("%d %d %d %d\n", r.x(), r.y(), r.width(), r.height());
    return 0;
}
