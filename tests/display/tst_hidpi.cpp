// LED digits on a screen with a display scale of 2: drawn at the screen's
// resolution (anti-aliased edges one physical pixel wide), not drawn at the
// logical size and enlarged into 2 x 2 blocks.
#include "Digmar.h"
#include "Image.h"
#include "Pinlux.h"

#include <QApplication>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_HiDpi : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void digitsAreSharpAtScaleTwo_data()
    {
        QTest::addColumn<int>("ledType");
        QTest::newRow("Lines") << 0;
        QTest::newRow("Dots") << 1;
    }
    void digitsAreSharpAtScaleTwo()
    {
        QFETCH(int, ledType);
        QWidget window;
        auto *clock = new Pinlux(&window);
        clock->setDigitSize(60);
        clock->setGroupLengths(QStringLiteral("1,2"));
        clock->setValue(98);
        clock->setLedType(ledType);
        clock->setLitColor(0x0080FF);
        window.resize(400, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(clock->devicePixelRatioF(), 2.0);
        const QImage shot = clock->grab().toImage();
        QCOMPARE(shot.width(), clock->width() * 2);
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

    // A picture is decoded for the screen's pixels, not enlarged from the
    // logical size: fine stripes stay stripes.
    void picturesAreDecodedForTheScreen()
    {
        QTemporaryDir dir;
        QImage stripes(200, 200, QImage::Format_RGB32);
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 200; ++y)
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
        QCOMPARE(image->shownPicture().size(), QSize(200, 200));
        const QImage shot = image->grab().toImage();
        int changes = 0;
        for (int x = 1; x < shot.width(); ++x)
            changes += shot.pixel(x, 100) != shot.pixel(x - 1, 100);
        QVERIFY2(changes > 150, qPrintable(QString::number(changes)));
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    tst_HiDpi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_hidpi.moc"
