#include "ControlAccess.h"
#include "Digmar.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "MonotonicClock.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "Shape.h"
#include "Tarrow.h"
#include "Veskel.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A window holding one control of every kind, created in a known order.
class TestForm : public Form {
public:
    TestForm() : clock()
    {
        clockDisplay = addControl(new Pinlux(this), "tledJam");
        number = addControl(new Digmar(this), "nledHomeScore");
        label = addControl(new Label(this), "lblTitle");
        frame = addControl(new PictureBox(this), "picFrame");
        image = addControl(new Image(frame), "imgPic");
        shape = addControl(new Shape(this), "Shape1");
        keeper = addControl(new Tarrow(&clock, this), "tkJam");
    }
    ManualClock clock;
    Pinlux *clockDisplay;
    Digmar *number;
    Label *label;
    PictureBox *frame;
    Image *image;
    Shape *shape;
    Tarrow *keeper;
};

} // namespace

class tst_LedDisplays : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void genericAccessCoversEveryKind()
    {
        TestForm form;
        QStringList classes, names;
        for (QObject *control : ControlAccess::controls(&form)) {
            classes << ControlAccess::className(control);
            names << ControlAccess::name(control);
        }
        QCOMPARE(classes, (QStringList{u"Pinlux"_s, u"Digmar"_s, u"Label"_s, u"PictureBox"_s,
                                       u"Image"_s, u"Shape"_s, u"Tarrow"_s}));
        QCOMPARE(names.first(), u"tledJam"_s);
        QCOMPARE(names.at(4), u"imgPic"_s);
        QVERIFY(ControlAccess::controls(form.label).isEmpty());
        QObject plain;
        QVERIFY(ControlAccess::className(&plain).isEmpty());

        QVERIFY(ControlAccess::write(form.label, "Left", 300));
        QVERIFY(ControlAccess::write(form.label, "FontSize", 18.0));
        QVERIFY(ControlAccess::write(form.shape, "BorderWidth", 3.0));
        QVERIFY(ControlAccess::write(form.number, "Size", 40));
        QVERIFY(ControlAccess::write(form.clockDisplay, "PaddingD", 90));
        QVERIFY(ControlAccess::write(form.clockDisplay, "LitColor", 0x00FF00));
        QCOMPARE(ControlAccess::read(form.label, "Left").toDouble(), 300.0);
        QCOMPARE(form.label->x(), 20);
        QCOMPARE(ControlAccess::read(form.number, "Size").toInt(), 40);
        QCOMPARE(ControlAccess::read(form.clockDisplay, "LitColor").toInt(), 0x00FF00);
        // Unknown properties and the displays' own size are refused.
        QVERIFY(!ControlAccess::write(form.label, "NoSuchThing", 1));
        QVERIFY(!ControlAccess::write(form.clockDisplay, "Width", 100.0));
        QVERIFY(!ControlAccess::read(form.shape, "Caption").isValid());
    }

    // Sized from digit size and paddings, each display's design rectangle is
    // within 10% of the place the scoreboard's layout gives it.
    void designSizes_data()
    {
        QTest::addColumn<bool>("clock");
        QTest::addColumn<QList<int>>("spacing"); // Size, H, V, I, D
        QTest::addColumn<QString>("lengthsOrMax");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::newRow("tledPeriod")
            << true << QList<int>{65, 80, 65, 175, 125} << u"2,2"_s << 3090.0 << 1110.0;
        QTest::newRow("tledJam") << true << QList<int>{70, 80, 70, 160, 125} << u"1,2"_s << 2385.0
                                 << 1170.0;
        QTest::newRow("penalty") << true << QList<int>{55, 100, 70, 160, 95} << u"1,2"_s << 2085.0
                                 << 960.0;
        QTest::newRow("score") << false << QList<int>{68, 100, 80, 175, 0} << u"999"_s << 2265.0
                               << 1200.0;
        QTest::newRow("nledPeriod")
            << false << QList<int>{55, 80, 50, 60, 0} << u"9"_s << 630.0 << 930.0;
    }
    void designSizes()
    {
        QFETCH(bool, clock);
        QFETCH(QList<int>, spacing);
        QFETCH(QString, lengthsOrMax);
        QFETCH(double, width);
        QFETCH(double, height);
        Pinlux pinlux;
        Digmar digmar;
        LedDisplay *display = clock ? static_cast<LedDisplay *>(&pinlux) : &digmar;
        if (clock) {
            pinlux.setGroupLengths(lengthsOrMax);
            pinlux.setPaddingD(qint16(spacing[4]));
        } else {
            digmar.setMax(qint16(lengthsOrMax.toInt()));
        }
        display->setDigitSize(qint16(spacing[0]));
        display->setPaddingH(qint16(spacing[1]));
        display->setPaddingV(qint16(spacing[2]));
        display->setPaddingI(qint16(spacing[3]));
        QVERIFY2(qAbs(display->widthTwips() - width) <= width * 0.1,
                 qPrintable(QString::number(display->widthTwips())));
        QVERIFY2(qAbs(display->heightTwips() - height) <= height * 0.1,
                 qPrintable(QString::number(display->heightTwips())));
        QCOMPARE(display->width(), qRound(display->widthTwips() / 15));
    }

    void sizeFollowsSizeAndPaddings()
    {
        Pinlux display;
        display.setGroupLengths(u"1,2"_s);
        display.setDigitSize(70);
        const double width = display.widthTwips();
        const double height = display.heightTwips();
        display.setDigitSize(140);
        QVERIFY(display.heightTwips() > height * 1.8);
        QVERIFY(display.widthTwips() > width * 1.5);
        display.setDigitSize(70);
        QCOMPARE(display.widthTwips(), width);
        display.setPaddingV(0);
        QCOMPARE(display.heightTwips(), 70 * 15.0);
    }

    void repaintsOnlyWhenWhatItShowsChanges()
    {
        Pinlux display;
        display.setGroupLengths(u"1,2"_s);
        display.setValue(120);
        const int before = display.repaintRequests();
        for (int i = 0; i < 20; ++i) {
            display.setGroupUnits(u"60,1"_s);
            display.setValue(120);
        }
        QCOMPARE(display.repaintRequests(), before);
        display.setValue(119);
        QCOMPARE(display.repaintRequests(), before + 1);
        QCOMPARE(display.cells().toText(), u"1:59"_s);
        display.setValue(119.2f); // shows the same digits
        QCOMPARE(display.repaintRequests(), before + 1);
        display.setLedType(1);
        QCOMPARE(display.repaintRequests(), before + 2);

        Digmar number;
        number.setMax(999);
        number.setCaption(u"7"_s);
        const int numberBefore = number.repaintRequests();
        number.setCaption(u"7"_s);
        QCOMPARE(number.repaintRequests(), numberBefore);
        number.setCaption(u"-1"_s);
        QCOMPARE(number.cells().toText(), u"   "_s);
        QCOMPARE(number.caption(), u"-1"_s);
        QCOMPARE(number.repaintRequests(), numberBefore + 1);
    }

    void blankReadsBackAsMinusOne()
    {
        Pinlux display;
        display.setValue(-1);
        QCOMPARE(display.value(), -1.0f);
        QCOMPARE(display.property("Value").toFloat(), -1.0f);
    }

    void paintsBothStyles()
    {
        // The lit segments of "8" in the display's lit colour are really drawn,
        // and the dot style draws something different from the line style.
        Digmar display;
        display.setMax(9);
        display.setCaption(u"8"_s);
        display.setBackColor(0x000000);
        display.setLitColor(0x0000FF);
        const QImage lines = display.grab().toImage();
        display.setLedType(1);
        const QImage dots = display.grab().toImage();
        auto redPixels = [](const QImage &img) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    n += qRed(img.pixel(x, y)) > 200 && qGreen(img.pixel(x, y)) < 60 ? 1 : 0;
            return n;
        };
        QVERIFY(redPixels(lines) > 100);
        QVERIFY(redPixels(dots) > 100);
        QVERIFY(lines != dots);
        display.setCaption(u"-1"_s);
        QCOMPARE(redPixels(display.grab().toImage()), 0);
    }

    void alikeDisplaysShareTheirLookOnly()
    {
        // Two scores that look alike draw from one set of pictures; a new
        // colour for one leaves the other as it was.
        Digmar home, visitor;
        for (Digmar *score : {&home, &visitor}) {
            score->setMax(99);
            score->setCaption(u"88"_s);
        }
        const QImage before = visitor.grab().toImage();
        QCOMPARE(home.grab().toImage(), before);
        home.setLitColor(0x00FF00);
        QVERIFY(home.grab().toImage() != before);
        QCOMPARE(visitor.grab().toImage(), before);
        visitor.setLitColor(0x00FF00);
        QCOMPARE(visitor.grab().toImage(), home.grab().toImage());
    }

    void largeCaptionsFollowEveryChange_data()
    {
        QTest::addColumn<double>("points");
        QTest::newRow("small, drawn directly") << 20.0;
        QTest::newRow("large, drawn from a picture") << 72.0;
    }
    void largeCaptionsFollowEveryChange()
    {
        // Whatever way a caption is drawn, the label shows what a painter
        // draws for its text, colour and alignment, after each change.
        QFETCH(double, points);
        QWidget window;
        window.setStyleSheet(u"background: #404040"_s);
        window.setAutoFillBackground(true);
        window.resize(500, 140);
        auto *label = new Label(&window);
        label->setGeometry(0, 0, 500, 140);
        label->setFontSize(points);
        auto expected = [&] {
            QImage image = window.grab().toImage();
            image.fill(QColor(0x40, 0x40, 0x40));
            QPainter painter(&image);
            painter.setPen(QColor(label->foreColor() & 0xFF, (label->foreColor() >> 8) & 0xFF,
                                  (label->foreColor() >> 16) & 0xFF));
            painter.setFont(label->font());
            const int align =
                label->alignment() == Label::Align::Right ? Qt::AlignRight : Qt::AlignLeft;
            painter.drawText(label->rect(), Qt::AlignTop | Qt::TextWordWrap | align,
                             label->caption());
            return image;
        };
        auto near = [](const QImage &a, const QImage &b) {
            if (a.size() != b.size())
                return false;
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    if (qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 2)
                        return false;
            return true;
        };
        label->setCaption(u"Home"_s);
        label->setForeColor(0xFFFFFF);
        QVERIFY(near(window.grab().toImage(), expected()));
        label->setCaption(u"Visitor"_s);
        QVERIFY(near(window.grab().toImage(), expected()));
        label->setForeColor(0x00FFFF);
        QVERIFY(near(window.grab().toImage(), expected()));
        label->setAlignment(Label::Align::Right);
        QVERIFY(near(window.grab().toImage(), expected()));
        label->setFontSize(points / 2);
        QVERIFY(near(window.grab().toImage(), expected()));
    }

    void focusAndKeysRaiseEvents()
    {
        Form window;
        auto *first = new Pinlux(&window);
        auto *second = new Digmar(&window);
        second->setLeft(3000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy gotFocus(second, &LedDisplay::GotFocus);
        QSignalSpy keyDown(second, &LedDisplay::KeyDown);
        QSignalSpy keyUp(second, &LedDisplay::KeyUp);
        QTest::mouseClick(second, Qt::LeftButton);
        QCOMPARE(gotFocus.count(), 1);
        QVERIFY(second->hasFocus());
        // Shift is a key of its own (16); J held with it is still 74.
        QTest::keyClick(second, Qt::Key_J, Qt::ShiftModifier);
        QCOMPARE(keyDown.count(), 2);
        QCOMPARE(keyDown.at(0).at(0).toInt(), 16);
        QCOMPARE(keyDown.at(1).at(0).toInt(), 74);
        QCOMPARE(keyDown.at(1).at(1).toInt(), 1);
        QCOMPARE(keyUp.last().at(0).toInt(), 16);
        QTest::keyClick(second, Qt::Key_5, Qt::KeypadModifier);
        QCOMPARE(keyDown.last().at(0).toInt(), 101);
        first->setFocus();
        QVERIFY(first->hasFocus());
        QTest::keyClick(&window, Qt::Key_Tab);
        QVERIFY(second->hasFocus());
        QCOMPARE(gotFocus.count(), 2);
    }

    void previewDigit()
    {
        Veskel preview;
        QCOMPARE(preview.caption(), 8);
        QCOMPARE(preview.cells().toText(), u"8"_s);
        QCOMPARE(preview.focusPolicy(), Qt::NoFocus);
        QCOMPARE(ControlAccess::className(&preview), u"Veskel"_s);
        QVERIFY(ControlAccess::write(&preview, "LedType", 1));
        QCOMPARE(preview.ledType(), 1);
    }
};

QTEST_MAIN(tst_LedDisplays)
#include "tst_leddisplays.moc"
