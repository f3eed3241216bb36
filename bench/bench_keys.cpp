// One key's handling on the board, from the key event to the board's
// answer, with the key layout kept (read again only when the server says it
// changed) against read afresh from the X server for every key, as it was
// once. Prints the median and the 99th percentile of each, and their ratio.
// Needs an X server:
//   tests/with-xvfb build/release/bench/bench_keys
#include "Digmar.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "X11KeyLayout.h"
#include "frmScoreboard.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Keys = 3000;
constexpr quint32 SemicolonKeycode = 47; // a symbol key the board gives no command

struct Figures {
    double medianUs;
    double p99Us;
};

Figures handleKeys(Digmar *display, bool readEveryKey)
{
    std::vector<double> us;
    us.reserve(Keys);
    for (int i = 0; i < Keys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Semicolon, Qt::NoModifier, SemicolonKeycode, 0, 0,
                        QStringLiteral(";"));
        if (readEveryKey)
            X11KeyLayout::forget();
        QElapsedTimer clock;
        clock.start();
        QApplication::sendEvent(display, &press);
        us.push_back(double(clock.nsecsElapsed()) / 1000);
    }
    std::sort(us.begin(), us.end());
    return {us[us.size() / 2], us[us.size() * 99 / 100]};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != u"xcb") {
        std::fprintf(stderr, "bench_keys needs an X server (tests/with-xvfb)\n");
        return 1;
    }
    Settings = SettingsStore::defaults(QStringLiteral("/nonexistent"));
    frmScoreboard board;
    board.show();
    QCoreApplication::processEvents();
    handleKeys(board.nledHomeScore, false); // warm up
    const Figures everyKey = handleKeys(board.nledHomeScore, true);
    const Figures kept = handleKeys(board.nledHomeScore, false);
    std::printf("key handling, %d keys   median      p99\n", Keys);
    std::printf("layout read every key   %6.1f us  %6.1f us\n", everyKey.medianUs, everyKey.p99Us);
    std::printf("layout kept             %6.1f us  %6.1f us\n", kept.medianUs, kept.p99Us);
    std::printf("ratio (read / kept)     %6.1fx    %6.1fx\n", everyKey.medianUs / kept.medianUs,
                everyKey.p99Us / kept.p99Us);
    return 0;
}
