// Whole scenes of a bout on a real X server: every key goes through the X
// server as a keyboard's would; the clocks run on a hand-moved clock.
#include "BoardHarness.h"
#include "ChooseKeyShared.h"
#include "Digmar.h"
#include "Label.h"
#include "MemoryStore.h"
#include "PictureBox.h"
#include "Pinlux.h"
#include "frmChooseKey.h"
#include "frmOptions.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

// A key of the keyboard by where it sits (its X key code), with or without
// Shift, whatever the layout prints on it.
struct PhysicalKey {
    unsigned code = 0;
    bool shift = false;
};

Q_DECLARE_METATYPE(PhysicalKey)

namespace {

Display *xDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// Presses and releases keys through the X server; "KP_5", "j", "Return"...
void xKeys(const QStringList &keys)
{
    Display *d = xDisplay();
    for (const QString &name : keys) {
        const KeyCode code = XKeysymToKeycode(d, XStringToKeysym(name.toLatin1().constData()));
        XTestFakeKeyEvent(d, code, True, CurrentTime);
        XTestFakeKeyEvent(d, code, False, CurrentTime);
        XSync(d, False);
        // Let Qt take the events before the next key.
        QTest::qWait(15);
    }
    QCoreApplication::processEvents();
}

void xPress(std::initializer_list<PhysicalKey> keys)
{
    Display *d = xDisplay();
    const unsigned shift = XKeysymToKeycode(d, XK_Shift_L);
    for (const PhysicalKey &key : keys) {
        if (key.shift)
            XTestFakeKeyEvent(d, shift, True, CurrentTime);
        XTestFakeKeyEvent(d, key.code, True, CurrentTime);
        XTestFakeKeyEvent(d, key.code, False, CurrentTime);
        if (key.shift)
            XTestFakeKeyEvent(d, shift, False, CurrentTime);
        XSync(d, False);
        QTest::qWait(15);
    }
    QCoreApplication::processEvents();
}

void xClick(QWidget *widget)
{
    const QPoint at = widget->mapToGlobal(widget->rect().center());
    Display *d = xDisplay();
    XTestFakeMotionEvent(d, -1, at.x(), at.y(), CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, CurrentTime);
    XSync(d, False);
    QTRY_VERIFY(widget->hasFocus());
}

void showBoard(BoardHarness &h)
{
    h.board->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.board.get()));
}

} // namespace

class tst_ScenariosX11 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCOMPARE(QGuiApplication::platformName(), u"xcb"_s); }

    // The operator stops the running jam with its key: the buzzer sounds, the
    // next tick shows the stopped time, and the sound's end frees the buzzer.
    void theTypicalEvent()
    {
        BoardHarness h;
        showBoard(h);
        xKeys({u"j"_s});
        QVERIFY(h.board->tkJam->running());
        h.tick(12300);
        xKeys({u"j"_s});
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
        QVERIFY(h.board->BuzzerPlaying);
        h.tick(50);
        QCOMPARE(h.board->tledJam->cells().toText(), u"1:48"_s);
        h.soundEnds();
        QVERIFY(!h.board->BuzzerPlaying);
        QCOMPARE(h.sound.log.mid(h.sound.log.size() - 2), (QStringList{u"Stop"_s, u"Prev"_s}));
    }

    // The main block's plus, minus and full stop type on the operator's own
    // layout, switched while the program runs; the key-capture dialog takes
    // and refuses those keys by what they type.
    void symbolKeysOnEveryLayout_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<PhysicalKey>("plus");
        QTest::addColumn<PhysicalKey>("minus");
        QTest::addColumn<PhysicalKey>("fullStop");
        QTest::addColumn<PhysicalKey>("captured");
        QTest::addColumn<QString>("result");
        // X key codes of a PC keyboard: 20 and 21 right of the digit row, 35
        // left of Enter on the row above, 58 to 61 right of M's US place.
        QTest::newRow("us") << u"us"_s << PhysicalKey{21, true} << PhysicalKey{20}
                            << PhysicalKey{60} << PhysicalKey{59} << u"188"_s;
        QTest::newRow("gb") << u"gb"_s << PhysicalKey{21, true} << PhysicalKey{20}
                            << PhysicalKey{60} << PhysicalKey{60, true} << u"190"_s;
        // German: "+" has a key of its own (with no name, so refused), "-"
        // sits where US has "/", and the key where US has "-" types "ß" and
        // "?": no minus, but the "?" key.
        QTest::newRow("de") << u"de"_s << PhysicalKey{35} << PhysicalKey{61} << PhysicalKey{60}
                            << PhysicalKey{35} << u"0"_s;
        QTest::newRow("de, sharp s") << u"de"_s << PhysicalKey{35} << PhysicalKey{61}
                                     << PhysicalKey{60} << PhysicalKey{20} << u"191"_s;
        QTest::newRow("de, comma") << u"de"_s << PhysicalKey{35} << PhysicalKey{61}
                                   << PhysicalKey{60} << PhysicalKey{59, true} << u"188"_s;
        // French: "+" is Shift and "=", "." is Shift and ";"; the only minus
        // of the main block is on the digit row, which types digits here.
        QTest::newRow("fr") << u"fr"_s << PhysicalKey{21, true} << PhysicalKey{}
                            << PhysicalKey{59, true} << PhysicalKey{59} << u"190"_s;
        QTest::newRow("fr, comma") << u"fr"_s << PhysicalKey{21, true} << PhysicalKey{}
                                   << PhysicalKey{59, true} << PhysicalKey{58} << u"188"_s;
    }
    void symbolKeysOnEveryLayout()
    {
        QFETCH(QString, layout);
        QFETCH(PhysicalKey, plus);
        QFETCH(PhysicalKey, minus);
        QFETCH(PhysicalKey, fullStop);
        QFETCH(PhysicalKey, captured);
        QFETCH(QString, result);
        if (QStandardPaths::findExecutable(u"setxkbmap"_s).isEmpty())
            QSKIP("setxkbmap is not installed");
        QCOMPARE(QProcess::execute(u"setxkbmap"_s, {layout}), 0);
        const auto backToUs = qScopeGuard([] { QProcess::execute(u"setxkbmap"_s, {u"us"_s}); });
        constexpr PhysicalKey One{10}, Two{11}, Three{12}, Zero{19}, Enter{36};

        BoardHarness h;
        showBoard(h);
        xClick(h.board->nledHomeScore);
        xPress({Two, Zero, Enter});
        xPress({plus, Two});
        QCOMPARE(h.board->nledHomeScore->caption(), u"22"_s);
        if (minus.code != 0) {
            xPress({minus, Two});
            QCOMPARE(h.board->nledHomeScore->caption(), u"20"_s);
        }
        xClick(h.board->tledJam);
        xPress({One, fullStop, Three, Zero, Enter});
        QCOMPARE(h.board->tledJam->cells().toText(), u"1:30"_s);

        // The capture dialog: an accepted key comes back as its code, a
        // refused one leaves the dialog open.
        ChooseKeyAction = u"clear a number"_s;
        ChooseKeyCurrent = 46;
        frmChooseKey capture({74, 82, 83, 84, 67, 73, 46, 112, 113, 65});
        capture.show();
        capture.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&capture));
        xPress({captured});
        QCOMPARE(ChooseKeyResult, result);
        QCOMPARE(capture.isVisible(), result == u"0");
        if (result != u"0")
            QVERIFY(!frmOptions::KeyCodeToStr(result.toInt()).isEmpty());
    }

    void aTwoPeriodBout()
    {
        BoardHarness h;
        Settings.SuppressPeriodSound = 1;
        auto *b = h.board.get();
        showBoard(h);
        // Period 1, with a 3-minute period clock.
        xClick(b->nledPeriod);
        xKeys({u"1"_s});
        xClick(b->tledPeriod);
        xKeys({u"3"_s, u"Return"_s});
        xKeys({u"s"_s, u"j"_s});
        h.tick(40000);
        xClick(b->nledHomeScore);
        xKeys({u"plus"_s, u"4"_s});
        xClick(b->tledVisitorPenalty1);
        xKeys({u"a"_s, u"i"_s}); // 90 s, counting
        h.tick(30000);

        // An Options round trip while the jam runs: the clocks go on behind it.
        h.board->tmrClock1.start();
        bool ranBehindTheDialog = false;
        MemoryStore store;
        h.showOptionsWith = [&] {
            frmOptions options(store, h.board.get());
            QTimer::singleShot(0, [&] {
                const FixedTime before = b->tkJam->time();
                h.clock.advanceMilliseconds(5000);
                QTRY_VERIFY(b->tkJam->time() < before);
                QTRY_COMPARE(b->tledJam->cells().toText(), u"0:45"_s);
                ranBehindTheDialog = true;
                options.txtHomeText->setText(u"Wreckers"_s);
                options.cmdOk->click();
            });
            options.exec();
        };
        xKeys({u"F2"_s});
        h.board->tmrClock1.stop();
        QVERIFY(ranBehindTheDialog);
        QCOMPARE(b->lblHomeTeam->caption(), u"Wreckers"_s);

        // The jam runs out: the buzzer. A new jam, and the period runs out
        // while it runs: the period-end sound waits for the jam's stop.
        h.tick(45000);
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
        h.soundEnds();
        xClick(b->tledJam);
        xKeys({u"r"_s, u"j"_s});
        h.tick(60000);
        QVERIFY(!b->tkPeriod->running());
        QVERIFY(b->SuppressedPeriodSound);
        QCOMPARE(h.sound.played.size(), 1);
        xKeys({u"j"_s});
        QCOMPARE(h.sound.played, (QStringList{h.buzzerFile(), h.periodFile()}));
        h.soundEnds();
        QCOMPARE(b->tledPeriod->cells().toText(), u"  0.0"_s);
        QCOMPARE(b->tledVisitorPenalty1->cells().toText(), u"0:00"_s);

        // Period 2: the period number, the period reset to the typed 3:00.
        xClick(b->nledPeriod);
        xKeys({u"plus"_s, u"1"_s});
        xKeys({u"t"_s});
        QCOMPARE(b->tledPeriod->cells().toText(), u" 3:00"_s);
        xClick(b->nledVisitorScore);
        xKeys({u"1"_s, u"2"_s, u"Return"_s});
        xClick(b->tledJam);
        xKeys({u"r"_s, u"s"_s, u"j"_s});
        h.tick(180000);
        QVERIFY(!b->tkPeriod->running());
        // Jam and period end together: the buzzer wins, nothing is held.
        QCOMPARE(h.sound.played.size(), 3);
        QCOMPARE(h.sound.played.last(), h.buzzerFile());
        QVERIFY(!b->SuppressedPeriodSound);
        QCOMPARE(b->nledPeriod->caption(), u"2"_s);
        QCOMPARE(b->nledHomeScore->caption(), u"4"_s);
        QCOMPARE(b->nledVisitorScore->caption(), u"12"_s);
    }
};

QTEST_MAIN(tst_ScenariosX11)
#include "tst_scenarios_x11.moc"
