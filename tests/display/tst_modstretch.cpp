#include "Digmar.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "MonotonicClock.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Shape.h"
#include "Tarrow.h"
#include "modStretch.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// 600 x 400 pixels: 9000 x 6000 twips.
class LayoutForm : public Form {
public:
    LayoutForm()
    {
        resize(600, 400);
        label = addControl(new Label(this), "lblTitle");
        label->setTwipsGeometry(1500, 900, 3000, 600);
        label->setFontSize(18);
        edge = addControl(new Label(this), "lblEdge");
        edge->setTwipsGeometry(0, 0, 1200, 300);
        edge->setFontSize(1);
        shape = addControl(new Shape(this), "Shape1");
        shape->setTwipsGeometry(300, 300, 6000, 3000);
        shape->setBorderWidth(2);
        frame = addControl(new PictureBox(this), "picFrame");
        frame->setTwipsGeometry(4500, 3000, 2000, 1000);
        image = addControl(new Image(frame), "imgPic");
        image->setTwipsGeometry(15, 15, 1200, 900);
        clock = addControl(new Pinlux(this), "tledJam");
        clock->setGroupLengths(u"1,2"_s);
        clock->setDigitSize(40);
        clock->setPaddingH(80);
        clock->setPaddingV(60);
        clock->setPaddingI(100);
        clock->setPaddingD(90);
        clock->setLeft(600);
        clock->setTop(3600);
        number = addControl(new Digmar(this), "nledScore");
        number->setDigitSize(30);
        number->setLeft(7000);
        number->setTop(1500);
        keeper = addControl(new Tarrow(&manual, this), "tkJam");
    }
    ManualClock manual;
    Label *label, *edge;
    Shape *shape;
    PictureBox *frame;
    Image *image;
    Pinlux *clock;
    Digmar *number;
    Tarrow *keeper;
};

} // namespace

class tst_ModStretch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void recordsOnlyKnownKinds()
    {
        LayoutForm form;
        modStretch::RecordLayout(&form);
        QCOMPARE(modStretch::DesignWidth, 9000);
        QCOMPARE(modStretch::DesignHeight, 6000);
        // One entry per control plus one; the time-keeper takes none.
        QCOMPARE(modStretch::LayoutTable.size(), 9);
        QVERIFY(!modStretch::LayoutTable[7].Control);
        const auto &clock = modStretch::LayoutTable[5];
        QCOMPARE(clock.Control.data(), form.clock);
        QCOMPARE(clock.Size, 40);
        QCOMPARE(clock.PaddingD, 90);
        QCOMPARE(clock.Width, 0);                         // follows from the digits
        QCOMPARE(modStretch::LayoutTable[6].PaddingD, 0); // Digmar has none
        QCOMPARE(modStretch::LayoutTable[0].FontSize, 18);
        QCOMPARE(modStretch::LayoutTable[2].BorderWidth, 2);
    }

    void doublingTheWidthOnly()
    {
        LayoutForm form;
        modStretch::RecordLayout(&form);
        form.resize(1200, 400);
        modStretch::ScaleLayout(&form);
        QCOMPARE(form.label->left(), 3000.0);
        QCOMPARE(form.label->widthTwips(), 6000.0);
        QCOMPARE(form.label->heightTwips(), 600.0);
        QCOMPARE(form.label->fontSize(), 18.0);
        QCOMPARE(form.shape->widthTwips(), 12000.0);
        QCOMPARE(form.shape->borderWidth(), 2.0);
        QCOMPARE(form.frame->widthTwips(), 4000.0);
        QCOMPARE(form.image->widthTwips(), 2400.0);
        QCOMPARE(form.image->left(), 30.0);
        QCOMPARE(form.clock->left(), 1200.0);
        QCOMPARE(form.clock->top(), 3600.0);
        QCOMPARE(form.clock->digitSize(), 40);
        QCOMPARE(form.clock->paddingH(), 80);
        QCOMPARE(form.edge->left(), 0.0); // 0 is never scaled
    }

    void halvingTheHeight()
    {
        LayoutForm form;
        modStretch::RecordLayout(&form);
        form.resize(600, 200);
        modStretch::ScaleLayout(&form);
        QCOMPARE(form.label->top(), 450.0);
        QCOMPARE(form.label->heightTwips(), 300.0);
        QCOMPARE(form.label->fontSize(), 9.0);
        QCOMPARE(form.label->widthTwips(), 3000.0);
        QCOMPARE(form.edge->fontSize(), 1.0); // a 1-point font stays 1 point
        QCOMPARE(form.shape->borderWidth(), 1.0);
        QCOMPARE(form.clock->digitSize(), 20);
        QCOMPARE(form.clock->paddingV(), 30);
        QCOMPARE(form.clock->paddingD(), 45);
        QCOMPARE(form.number->digitSize(), 15);
        QCOMPARE(form.number->left(), 7000.0);
    }

    void backToTheRecordedSizeRestoresIt()
    {
        LayoutForm form;
        modStretch::RecordLayout(&form);
        const double width = form.clock->widthTwips();
        for (QSize size : {QSize(317, 211), QSize(1999, 1234), QSize(33, 17), QSize(600, 400)}) {
            form.resize(size);
            modStretch::ScaleLayout(&form);
        }
        QCOMPARE(form.label->left(), 1500.0);
        QCOMPARE(form.label->fontSize(), 18.0);
        QCOMPARE(form.shape->heightTwips(), 3000.0);
        QCOMPARE(form.clock->widthTwips(), width);
        QCOMPARE(form.number->digitSize(), 30);
    }

    void aMinimisedWindowIsLeftAlone()
    {
        LayoutForm form;
        form.show();
        modStretch::RecordLayout(&form);
        form.setWindowState(Qt::WindowMinimized);
        QVERIFY(form.isMinimized());
        form.resize(100, 100);
        modStretch::ScaleLayout(&form);
        QCOMPARE(form.label->left(), 1500.0);
        QCOMPARE(form.clock->digitSize(), 40);
    }

    void recordingAgainTakesTheNewSize()
    {
        LayoutForm form;
        modStretch::RecordLayout(&form);
        form.resize(2400, 1600); // larger than 16 bits of twips allow
        modStretch::ScaleLayout(&form);
        modStretch::RecordLayout(&form);
        QCOMPARE(modStretch::DesignWidth, 36000);
        QCOMPARE(modStretch::DesignHeight, 24000);
        QCOMPARE(form.clock->digitSize(), 160);
        form.resize(1200, 800);
        modStretch::ScaleLayout(&form);
        QCOMPARE(form.clock->digitSize(), 80);
        QCOMPARE(form.label->left(), 3000.0);
    }

    void atLeastOne()
    {
        QCOMPARE(modStretch::AtLeastOne(0.2), 1.0);
        QCOMPARE(modStretch::AtLeastOne(-5), 1.0);
        QCOMPARE(modStretch::AtLeastOne(std::nan("")), 1.0);
        QCOMPARE(modStretch::AtLeastOne(1.5), 1.5);
    }

    void digitStyleReachesOnlyTheDisplays()
    {
        LayoutForm form;
        modStretch::SetLedType(&form, 1);
        QCOMPARE(form.clock->ledType(), 1);
        QCOMPARE(form.number->ledType(), 1);
        modStretch::SetLedType(&form, 0);
        QCOMPARE(form.clock->ledType(), 0);
        Form empty;
        modStretch::SetLedType(&empty, 1); // nothing to do, nothing breaks
    }
};

QTEST_MAIN(tst_ModStretch)
#include "tst_modstretch.moc"
