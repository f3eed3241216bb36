// LED digits on a screen with a display scale (2, or QUELVANE_TEST_SCALE):
// drawn at the screen's resolution (anti-aliased edges one physical pixel
// wide), not drawn at the logical size and enlarged into blocks; and a
// running clock, which repaints only the pixels that change, ends up as a
// full repaint would draw it.
#include "Digmar.h"
#include "Image.h"
#include "Pinlux.h"
#include "Shape.h"

#include <QApplication>
#include <QBackingStore>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtMath>
#include <functional>

namespace {

double testScale()
{
    return qEnvironmentVariable("QUELVANE_TEST_SCALE", QStringLiteral("2")).toDouble();
}

// A clock display in a window on the screen.
struct ShownClock {
    QWidget window;
    Pinlux *clock = new Pinlux(&window);
    ShownClock(int ledType, int size, float value)
    {
        clock->setLedType(ledType);
        clock->setDigitSize(qint16(size));
        clock->setLitColor(0x0080FF);
        clock->setValue(value);
        window.resize(400, 200);
        window.show();
    }
};

// Keeps the region of every paint event the display gets.
class PaintRegions : public QObject {
public:
    QList<QRegion> regions;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions << static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

// What the screen holds: the window's backing store, as the partial
// repaints since it was shown left it.
QImage onScreen(QWidget &window)
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QPaintDevice *device = window.backingStore()->paintDevice();
    if (device->devType() != QInternal::Image)
        return {};
    return static_cast<QImage *>(device)->convertToFormat(QImage::Format_RGB32);
}

// The window painted whole, afresh.
QImage paintedWhole(QWidget &window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class tst_HiDpi : public QObject {
    Q_OBJECT

private:
    static void bothStyles()
    {
        QTest::addColumn<int>("ledType");
        QTest::newRow("Lines") << 0;
        QTest::newRow("Dots") << 1;
    }

private Q_SLOTS:
    void digitsAreSharpAtScaleTwo_data() { bothStyles(); }
    void digitsAreSharpAtScaleTwo()
    {
        QFETCH(int, ledType);
        ShownClock shown(ledType, 60, 98);
        Pinlux *clock = shown.clock;
        clock->setGroupLengths(QStringLiteral("1,2"));
        QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
        QCOMPARE(clock->devicePixelRatioF(), testScale());
        const QImage shot = clock->grab().toImage();
        QCOMPARE(shot.width(), qRound(clock->width() * testScale()));
        // Enlarged from the logical size, every run of one colour is at least
        // two pixels long; drawn sharp, edge pixels stand alone between two
        // others.
        int alone = 0;
        QSet<QRgb> shades;
        for (int y = 1; y + 1 < shot.height(); ++y) {
            for (int x = 1; x + 1 < shot.width(); ++x) {
                const QRgb p = shot.pixel(x, y);
                shades << p;
                if ((p != shot.pixel(x - 1, y) && p != shot.pixel(x + 1, y)) ||
                    (p != shot.pixel(x, y - 1) && p != shot.pixel(x, y + 1)))
                    ++alone;
            }
        }
        QVERIFY2(alone > 40, qPrintable(QString::number(alone)));
        QVERIFY(shades.size() > 4); // lit, unlit, back and edge shades between
    }

    void countingRepaintsWhatAFullPaintWould_data() { bothStyles(); }
    void countingRepaintsWhatAFullPaintWould()
    {
        QFETCH(int, ledType);
        ShownClock shown(ledType, 60, 131);
        Pinlux *clock = shown.clock;
        QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
        PaintRegions painted;
        clock->installEventFilter(&painted);
        QImage screen = clock->grab().toImage();
        // Every change of the last digit, and of the tens and minutes.
        for (float value = 130; value >= 98; --value) {
            painted.regions.clear();
            clock->setValue(value);
            QTRY_VERIFY(!painted.regions.isEmpty());
            const QList<QRegion> regions = painted.regions;
            for (const QRegion &region : regions)
                clock->render(&screen, region.boundingRect().topLeft(), region);
            QCOMPARE(screen, clock->grab().toImage());
        }
    }

    // Whatever a display is told, in any order, the screen ends up as a
    // full repaint would draw it: no stale segment, point or frame is left.
    void partialRepaintsEqualAFullRepaint()
    {
        const quint32 seed = qEnvironmentVariableIsSet("QUELVANE_TEST_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("QUELVANE_TEST_SEED"))
                                 : QRandomGenerator::system()->generate();
        QRandomGenerator random(seed);
        const auto pick = [&random](const auto &choices) {
            return choices[random.bounded(int(std::size(choices)))];
        };
        const std::int32_t colors[] = {0x0000FF, 0x00C000, 0x0080FF, 0x202020, 0xFFFFFF, 0};
        QWidget window;
        window.setFixedSize(420, 220);
        auto *selection = new Shape(&window);
        selection->setFilled(true);
        auto *clock = new Pinlux(&window);
        auto *number = new Digmar(&window);
        number->setMax(999);
        clock->setLeft(300);
        clock->setTop(300);
        number->setLeft(300);
        number->setTop(1800);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const std::function<void()> steps[] = {
            [&] {
                // Either side of the last minute, in either form, or blank.
                const float tenths = float(random.bounded(-10, 1300)) / 10;
                clock->setValue(tenths < 0 ? -1 : tenths);
            },
            [&] {
                clock->setGroupUnits(pick(std::array{u"60,1"_qs, u"1,.1"_qs}));
            },
            [&] {
                clock->setGroupLengths(pick(std::array{u"1,2"_qs, u"2,2"_qs}));
            },
            [&] { number->setCaption(QString::number(random.bounded(-1, 1000))); },
            [&] {
                LedDisplay *selected =
                    random.bounded(2) ? static_cast<LedDisplay *>(clock) : number;
                selection->setGeometry(selected->geometry().adjusted(-4, -4, 4, 4));
                selection->setVisible(random.bounded(3) != 0);
            },
            [&] { selection->setFillColor(pick(colors)); },
            [&] { clock->setLitColor(pick(colors)); },
            [&] { number->setBackColor(pick(colors)); },
            [&] { clock->setBorderColor(pick(colors)); },
            [&] {
                const int style = random.bounded(2);
                clock->setLedType(style);
                number->setLedType(style);
            },
            [&] {
                clock->setDigitSize(qint16(random.bounded(20, 60)));
                number->setDigitSize(qint16(random.bounded(20, 60)));
            },
            [&] {
                LedDisplay *display = random.bounded(2) ? static_cast<LedDisplay *>(clock) : number;
                display->setPaddingI(qint16(random.bounded(0, 240)));
                display->setPaddingH(qint16(random.bounded(0, 120)));
                display->setPaddingV(qint16(random.bounded(0, 120)));
                clock->setPaddingD(qint16(random.bounded(40, 160)));
            },
        };
        for (int step = 0; step < 3000; ++step) {
            pick(steps)();
            const QImage screen = onScreen(window);
            if (screen != paintedWhole(window)) {
                QFAIL(qPrintable(QStringLiteral("seed %1 (QUELVANE_TEST_SEED), step %2: the "
                                                "screen differs from a full repaint")
                                     .arg(seed)
                                     .arg(step)));
            }
        }
    }

    void everyPixelIsPainted_data()
    {
        QTest::addColumn<int>("ledType");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("paddingTwips");
        for (int ledType : {0, 1}) {
            const char *style = ledType ? "Dots" : "Lines";
            QTest::addRow("%s, size 40, padding 75", style) << ledType << 40 << 75;
            QTest::addRow("%s, size 37, padding 61", style) << ledType << 37 << 61;
            QTest::addRow("%s, size 60, padding 60", style) << ledType << 60 << 60;
        }
    }
    void everyPixelIsPainted()
    {
        // A display paints all of itself (nothing is drawn under it), so no
        // pixel may be left between a cell's picture and the padding round
        // it, whatever the sizes and the display scale.
        QFETCH(int, ledType);
        QFETCH(int, size);
        QFETCH(int, paddingTwips);
        ShownClock shown(ledType, size, 98);
        Pinlux *clock = shown.clock;
        clock->setPaddingH(qint16(paddingTwips));
        clock->setPaddingV(qint16(paddingTwips));
        clock->setPaddingI(qint16(paddingTwips));
        QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
        const qreal ratio = clock->devicePixelRatioF();
        QImage shot(qCeil(clock->width() * ratio), qCeil(clock->height() * ratio),
                    QImage::Format_ARGB32_Premultiplied);
        shot.setDevicePixelRatio(ratio);
        const QRgb unpainted = qRgb(255, 0, 255);
        shot.fill(unpainted);
        clock->render(&shot, QPoint(), QRegion(), QWidget::RenderFlags());
        int left = 0;
        for (int y = 0; y < qFloor(clock->height() * ratio); ++y)
            for (int x = 0; x < qFloor(clock->width() * ratio); ++x)
                left += shot.pixel(x, y) == unpainted;
        QCOMPARE(left, 0);
    }

    // A picture is decoded for the screen's pixels, not enlarged from the
    // logical size: fine stripes stay stripes.
    void picturesAreDecodedForTheScreen()
    {
        QTemporaryDir dir;
        // One stripe per physical pixel of a 100 x 100 picture box.
        const int physical = qRound(100 * testScale());
        QImage stripes(physical, physical, QImage::Format_RGB32);
        for (int x = 0; x < physical; ++x) {
            for (int y = 0; y < physical; ++y)
                stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
        const QString file = dir.filePath(QStringLiteral("stripes.png"));
        QVERIFY(stripes.save(file));
        QWidget window;
        auto *image = new Image(&window);
        image->setStretch(true);
        image->resize(100, 100);
        QVERIFY(image->loadPictureFile(file));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(image->decodeForDisplay());
        QCOMPARE(image->shownPicture().size(), QSize(physical, physical));
        const QImage shot = image->grab().toImage();
        int changes = 0;
        for (int x = 1; x < shot.width(); ++x)
            changes += shot.pixel(x, shot.height() / 2) != shot.pixel(x - 1, shot.height() / 2);
        QVERIFY2(changes > physical * 3 / 4, qPrintable(QString::number(changes)));
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", QByteArray::number(testScale()));
    QApplication app(argc, argv);
    tst_HiDpi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_hidpi.moc"
