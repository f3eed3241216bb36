// One resize step of the board (scale, refit the pictures, repaint), with
// three 12-megapixel photos on it against none. Run:
//   build/release/bench/bench_resize
#include "PictureCache.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "frmScoreboard.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *photos = nullptr;

QString photo(const QString &name, QColor a, QColor b)
{
    const QString path = photos->filePath(name);
    if (QFile::exists(path))
        return path;
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 4000, 3000);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    p.fillRect(image.rect(), g);
    for (int i = 0; i < 200; ++i)
        p.fillRect(QRect((i * 997) % 4000, (i * 613) % 3000, 120, 80),
                   QColor::fromHsv(i, 200, 200));
    p.end();
    image.save(path, "JPEG", 90);
    return path;
}

void resizeStep(benchmark::State &state, bool withPictures)
{
    Settings = SettingsStore::defaults(QStringLiteral("/nonexistent"));
    if (withPictures) {
        Settings.HomePic = photo(QStringLiteral("home.jpg"), Qt::blue, Qt::white);
        Settings.VisitorPic = photo(QStringLiteral("visitor.jpg"), Qt::red, Qt::yellow);
        Settings.BoardPic = photo(QStringLiteral("board.jpg"), Qt::darkGreen, Qt::black);
    }
    frmScoreboard board;
    board.show();
    board.resize(1280, 720);
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        // A window being dragged: a few pixels at a time.
        board.resize(1280 + (i % 20) * 4, 720 + (i % 20) * 3);
        board.repaint();
        ++i;
    }
}

void BM_ResizeStepNoPictures(benchmark::State &state)
{
    resizeStep(state, false);
}
void BM_ResizeStepThree12MPPhotos(benchmark::State &state)
{
    resizeStep(state, true);
}

// The first showing of three new photos: header, scaled decode, fit.
void BM_FirstFitThree12MPPhotos(benchmark::State &state)
{
    Settings = SettingsStore::defaults(QStringLiteral("/nonexistent"));
    Settings.HomePic = photo(QStringLiteral("home.jpg"), Qt::blue, Qt::white);
    Settings.VisitorPic = photo(QStringLiteral("visitor.jpg"), Qt::red, Qt::yellow);
    Settings.BoardPic = photo(QStringLiteral("board.jpg"), Qt::darkGreen, Qt::black);
    frmScoreboard board;
    board.show();
    board.resize(1280, 720);
    for (auto _ : state) {
        PictureCache::instance().clear();
        board.UpdateLabels();
        board.repaint();
    }
}

BENCHMARK(BM_FirstFitThree12MPPhotos)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ResizeStepNoPictures)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ResizeStepThree12MPPhotos)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    photos = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
