// The board's hot paths, side by side in one run:
//   build/release/bench/bench_board
// The refresh with every clock running; a full repaint at three screen sizes
// in both digit styles (drawn whole, and as the window repaints itself), next
// to the floor of writing every pixel once, against repainting only the jam
// clock; a key press to the repaint that shows it; and, after the timings,
// the resident memory after an hour of simulated play.
#include "Digmar.h"
#include "MonotonicClock.h"
#include "Pinlux.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Tarrow.h"
#include "frmScoreboard.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

namespace {

ManualClock *fakeClock = nullptr;

std::unique_ptr<frmScoreboard> makeBoard()
{
    Settings = SettingsStore::defaults(QStringLiteral("/nonexistent"));
    ScoreboardServices services;
    services.clock = fakeClock;
    services.timeOfDay = [] { return QTime(14, 5, 33); };
    auto board = std::make_unique<frmScoreboard>(services);
    board->show();
    board->tmrClock1.stop();
    return board;
}

void startEveryClock(frmScoreboard &board)
{
    for (Pinlux *p : {board.tledHomePenalty1, board.tledHomePenalty2, board.tledVisitorPenalty1,
                      board.tledVisitorPenalty2})
        p->setValue(90);
    for (Tarrow *t : {board.tkHomePenalty1, board.tkHomePenalty2, board.tkVisitorPenalty1,
                      board.tkVisitorPenalty2})
        t->setTime(FixedTime::fromSeconds(599));
    board.tkPeriod->setTime(FixedTime::fromSeconds(5999));
    board.AllKeyCode(Settings.StartStopPeriodClockKey);
    board.AllKeyCode(Settings.StartStopJamClockKey);
}

void BM_RefreshTimeAllClocksRunning(benchmark::State &state)
{
    auto board = makeBoard();
    startEveryClock(*board);
    for (auto _ : state) {
        fakeClock->advanceMilliseconds(50);
        board->RefreshTime();
    }
}
BENCHMARK(BM_RefreshTimeAllClocksRunning);

// What a tick adds for the journal and the feed: the bout read and compared
// with the last one seen, every clock running, nothing changed but time.
void BM_TickLooksForBoutChange(benchmark::State &state)
{
    auto board = makeBoard();
    startEveryClock(*board);
    const BoutState seen = board->boutState();
    for (auto _ : state) {
        fakeClock->advanceMilliseconds(50);
        const BoutState now = board->boutState();
        benchmark::DoNotOptimize(now.sameBout(seen));
    }
}
BENCHMARK(BM_TickLooksForBoutChange);

// Paints the whole board into an image, as the raster engine paints the window.
void BM_FullRepaint(benchmark::State &state)
{
    auto board = makeBoard();
    board->resize(int(state.range(0)), int(state.range(1)));
    Settings.LEDType = std::int16_t(state.range(2));
    board->UpdateLabels();
    // At the screen's own resolution (QT_SCALE_FACTOR=2 for a 4K laptop).
    const qreal ratio = board->devicePixelRatioF();
    QImage target(board->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        board->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.SetLabel(state.range(2) ? "Dots" : "Lines");
}
BENCHMARK(BM_FullRepaint)
    ->Args({632, 453, 0})
    ->Args({632, 453, 1})
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Args({3840, 2160, 0})
    ->Args({3840, 2160, 1})
    ->Unit(benchmark::kMillisecond);

// The whole window repainted as on the screen: into the window's backing
// store, where what opaque controls cover is not painted twice.
void BM_FullRepaintOfTheWindow(benchmark::State &state)
{
    auto board = makeBoard();
    board->resize(int(state.range(0)), int(state.range(1)));
    Settings.LEDType = std::int16_t(state.range(2));
    board->UpdateLabels();
    if (!QTest::qWaitForWindowExposed(board.get()))
        state.SkipWithError("the window was never shown");
    board->repaint();
    for (auto _ : state)
        board->repaint();
    state.SetLabel(state.range(2) ? "Dots" : "Lines");
}
BENCHMARK(BM_FullRepaintOfTheWindow)
    ->Args({1920, 1080, 0})
    ->Args({1920, 1080, 1})
    ->Unit(benchmark::kMillisecond);

// The floor of any full repaint: every pixel of the window written once.
void BM_EveryPixelWrittenOnce(benchmark::State &state)
{
    const qreal ratio = qApp->primaryScreen()->devicePixelRatio();
    QImage target(QSize(int(state.range(0)), int(state.range(1))) * ratio,
                  QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.fillRect(target.rect(), QColor(64, 64, 64));
    }
}
BENCHMARK(BM_EveryPixelWrittenOnce)->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// A tick in which only the jam's seconds change repaints only the jam clock.
void BM_TickRepaintingOnlyTheJam(benchmark::State &state)
{
    auto board = makeBoard();
    board->resize(1920, 1080);
    board->AllKeyCode(Settings.StartStopJamClockKey);
    QImage target(board->tledJam->size(), QImage::Format_ARGB32_Premultiplied);
    const QList<LedDisplay *> all = board->findChildren<LedDisplay *>();
    qint64 repainted = 0, ticks = 0;
    for (auto _ : state) {
        fakeClock->advanceMilliseconds(1000);
        std::vector<int> before;
        for (LedDisplay *d : all)
            before.push_back(d->repaintRequests());
        board->RefreshTime();
        for (size_t i = 0; i < size_t(all.size()); ++i) {
            if (all[qsizetype(i)]->repaintRequests() != before[i]) {
                all[qsizetype(i)]->render(&target);
                repainted += qint64(all[qsizetype(i)]->width()) * all[qsizetype(i)]->height();
            }
        }
        ++ticks;
        if (board->tkJam->time() < FixedTime::fromSeconds(2))
            board->tkJam->setTime(FixedTime::fromSeconds(599));
    }
    const double share = double(repainted) / double(ticks) / (1920.0 * 1080.0);
    state.counters["repainted_share_of_board"] = share;
}
BENCHMARK(BM_TickRepaintingOnlyTheJam)->Unit(benchmark::kMicrosecond);

// A key typed into a display to the repaint that shows it.
void BM_KeyToRepaint(benchmark::State &state)
{
    auto board = makeBoard();
    board->resize(1920, 1080);
    board->nledHomeScore->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(board->nledHomeScore, Qt::Key_Plus);
        QTest::keyClick(board->nledHomeScore, Qt::Key_1);
        board->nledHomeScore->repaint();
        if (board->nledHomeScore->caption().toInt() > 990) {
            state.PauseTiming();
            board->nledHomeScore->setCaption(QStringLiteral("0"));
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_KeyToRepaint)->Unit(benchmark::kMicrosecond);

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// An hour of play on the fake clock: 20 refreshes a second, keys now and then.
void reportMemoryAfterAnHour()
{
    auto board = makeBoard();
    board->resize(1920, 1080);
    startEveryClock(*board);
    const long before = residentKilobytes();
    const Qt::Key keys[] = {Qt::Key_J, Qt::Key_A, Qt::Key_Plus, Qt::Key_3, Qt::Key_R};
    for (int tick = 0; tick < 20 * 3600; ++tick) {
        fakeClock->advanceMilliseconds(50);
        board->RefreshTime();
        if (tick % 97 == 0)
            QTest::keyClick(board->tledHomePenalty1, keys[(tick / 97) % 5]);
        if (tick % 20 == 0)
            QCoreApplication::processEvents();
    }
    std::printf("resident memory: %ld kB at the start of the hour, %ld kB after it\n", before,
                residentKilobytes());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ManualClock clock;
    fakeClock = &clock;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    reportMemoryAfterAnHour();
    return 0;
}
