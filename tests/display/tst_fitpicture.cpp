#include "Image.h"
#include "PictureBox.h"
#include "PictureCache.h"
#include "modGrabKeys.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString picture(const QTemporaryDir &dir, const QString &name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    const QString path = dir.filePath(name);
    image.save(path);
    return path;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
    return b;
}

// A BMP header that claims 100000 x 100000 pixels and holds none.
QByteArray giantBmp()
{
    QByteArray b = "BM" + le32(54) + le32(0) + le32(54);
    b += le32(40) + le32(100000) + le32(100000);
    b += QByteArray("\x01\x00\x18\x00", 4) + le32(0) + le32(0) + le32(2835) + le32(2835) + le32(0) +
         le32(0);
    return b;
}

} // namespace

class tst_FitPicture : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void fitsWithoutDistortion_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QRectF>("fitted"); // in twips, in a 1000 x 1000 frame
        QTest::newRow("wide PNG") << u"wide.png"_s << QSize(400, 200) << QRectF(0, 250, 1000, 500);
        QTest::newRow("tall JPEG") << u"tall.jpg"_s << QSize(200, 400) << QRectF(250, 0, 500, 1000);
        QTest::newRow("square BMP fills")
            << u"square.bmp"_s << QSize(300, 300) << QRectF(0, 0, 1000, 1000);
        QTest::newRow("small is enlarged")
            << u"small.png"_s << QSize(10, 5) << QRectF(0, 250, 1000, 500);
        QTest::newRow("taller than 16 bits of twips")
            << u"photo.jpg"_s << QSize(300, 3000) << QRectF(450, 0, 100, 1000);
    }
    void fitsWithoutDistortion()
    {
        QFETCH(QString, file);
        QFETCH(QSize, natural);
        QFETCH(QRectF, fitted);
        PictureBox frame;
        frame.setTwipsGeometry(0, 0, 1000, 1000);
        auto *image = new Image(&frame);
        const QString path = picture(m_dir, file, natural);
        modGrabKeys::FitPicture(image, &frame, path);
        QCOMPARE(QRectF(image->left(), image->top(), image->widthTwips(), image->heightTwips()),
                 fitted);
        QVERIFY(image->stretch());
        QVERIFY(image->isVisibleFlag());
        QCOMPARE(image->naturalSize(), natural);
        QVERIFY(!image->shownPicture().isNull());
    }

    void gifPictures()
    {
        PictureBox frame;
        frame.setTwipsGeometry(0, 0, 2175, 975);
        auto *image = new Image(&frame);
        modGrabKeys::FitPicture(image, &frame,
                                QStringLiteral(QUELVANE_TEST_DATA "/wide-400x200.gif"));
        QCOMPARE(image->naturalSize(), QSize(400, 200));
        QCOMPARE(image->heightTwips(), 975.0);
        QCOMPARE(image->widthTwips(), 1950.0);
        QCOMPARE(image->left(), 112.5);
    }

    void refitsFromTheNaturalSizeEveryTime()
    {
        PictureBox frame;
        frame.setTwipsGeometry(0, 0, 1000, 1000);
        auto *image = new Image(&frame);
        const QString path = picture(m_dir, u"refit.png"_s, QSize(333, 111));
        for (int i = 0; i < 50; ++i) {
            frame.setTwipsGeometry(0, 0, 1000 + 37 * (i % 7), 1000 - 41 * (i % 5));
            modGrabKeys::FitPicture(image, &frame, path);
        }
        frame.setTwipsGeometry(0, 0, 1000, 1000);
        modGrabKeys::FitPicture(image, &frame, path);
        QCOMPARE(image->widthTwips(), 1000.0);
        QCOMPARE(image->heightTwips(), 1000.0 * 111 / 333);
    }

    void missingFileKeepsTheEarlierPicture()
    {
        PictureBox frame;
        frame.setTwipsGeometry(0, 0, 1000, 1000);
        auto *image = new Image(&frame);
        const QString path = picture(m_dir, u"kept.png"_s, QSize(400, 200));
        modGrabKeys::FitPicture(image, &frame, path);
        modGrabKeys::FitPicture(image, &frame, m_dir.filePath(u"gone.png"_s));
        QVERIFY(image->isVisibleFlag());
        QVERIFY(image->stretch());
        QCOMPARE(image->heightTwips(), 500.0);
        QVERIFY(image->hasPicture());
        // An empty path empties it.
        modGrabKeys::FitPicture(image, &frame, QString());
        QVERIFY(!image->hasPicture());
        QVERIFY(image->shownPicture().isNull());
    }

    void filesThatAreNoPicture_data()
    {
        QTest::addColumn<QByteArray>("content");
        QImage photo(640, 480, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        const QString jpeg = m_dir.filePath(u"whole.jpg"_s);
        photo.save(jpeg, "JPEG");
        QFile f(jpeg);
        f.open(QIODevice::ReadOnly);
        const QByteArray whole = f.readAll();
        QTest::newRow("truncated JPEG") << whole.left(whole.size() / 2);
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("text") << QByteArray("not a picture at all\n");
        QTest::newRow("declares 100000 x 100000") << giantBmp();
    }
    void filesThatAreNoPicture()
    {
        QFETCH(QByteArray, content);
        PictureBox frame;
        frame.setTwipsGeometry(0, 0, 1000, 1000);
        auto *image = new Image(&frame);
        modGrabKeys::FitPicture(image, &frame, picture(m_dir, u"before.png"_s, QSize(50, 50)));
        const QString path = m_dir.filePath(u"bad.jpg"_s);
        writeBytes(path, content);
        QElapsedTimer clock;
        clock.start();
        modGrabKeys::FitPicture(image, &frame, path);
        QVERIFY(clock.elapsed() < 100);
        QVERIFY(!image->isVisibleFlag());
        QVERIFY(!image->hasPicture());
    }

    void decodedOnceWhileTheFileIsUnchanged()
    {
        const QString path = picture(m_dir, u"cached.png"_s, QSize(800, 600));
        PictureCache &cache = PictureCache::instance();
        const QImage first = cache.imageFor(path, QSize(100, 75));
        QVERIFY(!first.isNull());
        QVERIFY(first.width() < 800); // decoded at the size shown, not the whole
        QCOMPARE(cache.imageFor(path, QSize(90, 60)).cacheKey(), first.cacheKey());
        const QImage larger = cache.imageFor(path, QSize(400, 300));
        QVERIFY(larger.width() >= 400);
        QTest::qWait(1100); // a new modification time
        picture(m_dir, u"cached.png"_s, QSize(80, 60));
        QCOMPARE(cache.naturalSize(path), QSize(80, 60));
    }
};

QTEST_MAIN(tst_FitPicture)
#include "tst_fitpicture.moc"
