// The board as a whole: resizing, digit style and pictures.
#include "BoardHarness.h"
#include "Digmar.h"
#include "Image.h"
#include "Label.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Shape.h"
#include "modStretch.h"

#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<LedDisplay *> displays(frmScoreboard &b)
{
    return {b.nledHomeScore,       b.tledPeriod,       b.nledVisitorScore,
            b.nledPeriod,          b.tledJam,          b.tledHomePenalty1,
            b.tledVisitorPenalty1, b.tledHomePenalty2, b.tledVisitorPenalty2};
}

} // namespace

class tst_ScoreboardLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resizingScalesAndHidesTheMark()
    {
        BoardHarness h;
        auto *b = h.board.get();
        QApplication::setActiveWindow(b);
        QTest::mouseClick(b->tledJam, Qt::LeftButton);
        QVERIFY(b->shpObjectSelected->isVisibleFlag());
        b->resize(1264, 906);
        QVERIFY(!b->shpObjectSelected->isVisibleFlag());
        QCOMPARE(b->tledJam->left(), 7200.0);
        QCOMPARE(b->tledJam->digitSize(), 140);
        QCOMPARE(b->lblTitle->fontSize(), 72.0);
        QTest::mouseClick(b->nledPeriod, Qt::LeftButton);
        QVERIFY(b->shpObjectSelected->isVisibleFlag());
        QCOMPARE(b->shpObjectSelected->left(), b->nledPeriod->left());
        // Back to the design size: the design again.
        b->resize(632, 453);
        QCOMPARE(b->tledJam->left(), 3600.0);
        QCOMPARE(b->tledJam->digitSize(), 70);
        QCOMPARE(b->Shape3->widthTwips(), 9255.0);
    }

    void optionsRoundTripRecordsTheLayoutAgain()
    {
        BoardHarness h;
        auto *b = h.board.get();
        b->resize(1896, 1359);
        h.key(113);
        QCOMPARE(modStretch::DesignWidth, 1896 * 15);
        b->resize(948, 679);
        QCOMPARE(b->tledJam->digitSize(), 105);
    }

    void digitStyleReachesEveryDisplay()
    {
        BoardHarness h;
        Settings.LEDType = 1;
        h.board->UpdateLabels();
        for (LedDisplay *d : displays(*h.board))
            QCOMPARE(d->ledType(), 1);
    }

    void picturesFitTheirFrames()
    {
        BoardHarness h;
        QImage wide(400, 200, QImage::Format_RGB32);
        wide.fill(Qt::blue);
        Settings.HomePic = h.dir.filePath(u"home.png"_s);
        wide.save(Settings.HomePic);
        QImage tall(100, 300, QImage::Format_RGB32);
        tall.fill(Qt::red);
        Settings.VisitorPic = h.dir.filePath(u"visitor.jpg"_s);
        tall.save(Settings.VisitorPic);
        Settings.BoardPic = h.dir.filePath(u"missing.png"_s);
        h.board->UpdateLabels();
        auto *b = h.board.get();
        // 2175 x 975 frame, 2:1 picture: height-bound.
        QCOMPARE(b->imgHomePic->heightTwips(), 975.0);
        QCOMPARE(b->imgHomePic->widthTwips(), 1950.0);
        QCOMPARE(b->imgHomePic->left(), 112.5);
        QCOMPARE(b->imgVisitorPic->heightTwips(), 975.0);
        QCOMPARE(b->imgVisitorPic->widthTwips(), 325.0);
        QVERIFY(b->imgHomePic->isVisibleFlag() && b->imgVisitorPic->isVisibleFlag());
        QVERIFY(!b->imgBoardPic->hasPicture());
        // After a resize the pictures are fitted again from their own size.
        b->resize(1264, 906);
        QCOMPARE(b->imgHomePic->heightTwips(), 1950.0);
        QCOMPARE(b->imgHomePic->widthTwips(), 3900.0);
    }
};

QTEST_MAIN(tst_ScoreboardLayout)
#include "tst_scoreboardlayout.moc"
