// Selecting displays and typing into them, through real key and mouse events.
#include "BoardHarness.h"
#include "Digmar.h"
#include "KeyTyping.h"
#include "Pinlux.h"
#include "Shape.h"
#include "modCount.h"
#include "modShowDigits.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void select(BoardHarness &h, QWidget *display)
{
    QApplication::setActiveWindow(h.board.get());
    QTest::mouseClick(display, Qt::LeftButton);
    QVERIFY(display->hasFocus());
}

} // namespace

class tst_ScoreboardEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        modCount::TypedTimeOwner.clear();
        modShowDigits::TypedNumberOwner.clear();
    }

    void penaltyIncrements_data()
    {
        QTest::addColumn<int>("increment");
        QTest::addColumn<QStringList>("shown"); // after each press
        QTest::newRow("90") << 90 << QStringList{u"1:30"_s, u"3:00"_s, u"4:30"_s, u"6:00"_s,
                                                 u"7:30"_s, u"9:00"_s, u"9:00"_s};
        QTest::newRow("60") << 60
                            << QStringList{u"1:00"_s, u"2:00"_s, u"3:00"_s, u"4:00"_s, u"5:00"_s,
                                           u"6:00"_s, u"7:00"_s, u"8:00"_s, u"9:00"_s, u"9:00"_s};
        QTest::newRow("599") << 599 << QStringList{u"9:59"_s, u"9:59"_s};
        QTest::newRow("0") << 0 << QStringList{u"0:00"_s, u"0:00"_s};
    }
    void penaltyIncrements()
    {
        QFETCH(int, increment);
        QFETCH(QStringList, shown);
        BoardHarness h;
        Settings.PenaltyIncrementSec = qint16(increment);
        select(h, h.board->tledVisitorPenalty1);
        QCOMPARE(h.board->tledVisitorPenalty1->value(), -1.0f);
        for (const QString &text : shown) {
            typeKeys(h.board->tledVisitorPenalty1, u"A"_s);
            QCOMPARE(h.board->tledVisitorPenalty1->cells().toText(), text);
            QVERIFY(!h.board->tkVisitorPenalty1->running());
        }
        QVERIFY(h.sound.played.isEmpty());
    }

    void incrementStopsACountingPenalty()
    {
        BoardHarness h;
        select(h, h.board->tledHomePenalty1);
        typeKeys(h.board->tledHomePenalty1, u"AI"_s);
        QVERIFY(h.board->tkHomePenalty1->running());
        h.tick(10000);
        QCOMPARE(h.board->tledHomePenalty1->cells().toText(), u"1:20"_s);
        typeKeys(h.board->tledHomePenalty1, u"A"_s);
        QVERIFY(!h.board->tkHomePenalty1->running());
        QCOMPARE(h.board->tledHomePenalty1->cells().toText(), u"2:50"_s);
    }

    void separateTimeAgainstThePeriod()
    {
        BoardHarness h;
        select(h, h.board->tledHomePenalty2);
        typeKeys(h.board->tledHomePenalty2, u"AI"_s);
        QVERIFY(h.board->tkHomePenalty2->running());
        QVERIFY(!h.board->tkHomePenalty1->running());
        QVERIFY(!h.board->tkPeriod->running());
        typeKeys(h.board->tledHomePenalty2, u"S"_s); // period start: all four run
        for (Tarrow *t : {h.board->tkHomePenalty1, h.board->tkHomePenalty2,
                          h.board->tkVisitorPenalty1, h.board->tkVisitorPenalty2})
            QVERIFY(t->running());
        QCOMPARE(h.board->tledHomePenalty1->value(), -1.0f); // blank stays blank
        typeKeys(h.board->tledHomePenalty2, u"I"_s);         // this one alone stops
        QVERIFY(!h.board->tkHomePenalty2->running());
        QVERIFY(h.board->tkVisitorPenalty1->running());
        typeKeys(h.board->tledHomePenalty2, u"S"_s); // period stop: all four stop
        for (Tarrow *t : {h.board->tkHomePenalty1, h.board->tkHomePenalty2,
                          h.board->tkVisitorPenalty1, h.board->tkVisitorPenalty2})
            QVERIFY(!t->running());
    }

    void clearAndTypedPenaltyTimes()
    {
        BoardHarness h;
        QWidget *d = h.board->tledVisitorPenalty2;
        select(h, d);
        typeKeys(d, u"1.30E"_s);
        QCOMPARE(h.board->tledVisitorPenalty2->cells().toText(), u"1:30"_s);
        typeKeys(d, u"I"_s);
        h.tick(5000);
        typeKeys(d, u"C"_s);
        QCOMPARE(h.board->tledVisitorPenalty2->value(), -1.0f);
        QVERIFY(!h.board->tkVisitorPenalty2->running());
        QCOMPARE(h.board->tkVisitorPenalty2->time(), FixedTime());
        typeKeys(d, u"2.305E"_s); // 150.5 s, halves to even
        QCOMPARE(h.board->tkVisitorPenalty2->time(), FixedTime::fromSeconds(150));
        typeKeys(d, u"10.00E"_s); // above 599 s: refused
        QCOMPARE(h.board->tkVisitorPenalty2->time(), FixedTime::fromSeconds(150));
    }

    void typedJamTime()
    {
        BoardHarness h;
        select(h, h.board->tledJam);
        typeKeys(h.board->tledJam, u"J"_s);
        QVERIFY(h.board->tkJam->running());
        typeKeys(h.board->tledJam, u"2E"_s);
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.board->tledJam->cells().toText(), u"2:00"_s);
        QCOMPARE(JamResetTime, FixedTime::fromSeconds(120));
        typeKeys(h.board->tledJam, u"1.3E"_s);
        QCOMPARE(h.board->tledJam->cells().toText(), u"1:03"_s);
        typeKeys(h.board->tledJam, u"JR"_s);
        QCOMPARE(h.board->tledJam->cells().toText(), u"1:03"_s);
        typeKeys(h.board->tledJam, u"10.00E"_s);
        QCOMPARE(h.board->tledJam->cells().toText(), u"1:03"_s);
        h.soundEnds();
        h.sound.played.clear();
        typeKeys(h.board->tledJam, u"E"_s); // Enter alone: no time left, no sound
        QCOMPARE(h.board->tledJam->cells().toText(), u"0:00"_s);
        QCOMPARE(JamResetTime, FixedTime());
        h.tick(50);
        QVERIFY(h.sound.played.isEmpty());
    }

    void typedPeriodTime()
    {
        BoardHarness h;
        select(h, h.board->tledPeriod);
        typeKeys(h.board->tledPeriod, u"S"_s);
        QVERIFY(h.board->tkHomePenalty1->running());
        typeKeys(h.board->tledPeriod, u"45E"_s);
        QVERIFY(!h.board->tkPeriod->running());
        QVERIFY(!h.board->tkHomePenalty1->running());
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"45:00"_s);
        typeKeys(h.board->tledPeriod, u"ST"_s);
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"45:00"_s);
        typeKeys(h.board->tledPeriod, u"0.30.5E"_s); // two points: refused
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"45:00"_s);
        typeKeys(h.board->tledPeriod, u"0.305E"_s);
        QCOMPARE(h.board->tledPeriod->cells().toText(), u" 30.5"_s);
    }

    void typedNumbers()
    {
        BoardHarness h;
        select(h, h.board->nledHomeScore);
        typeKeys(h.board->nledHomeScore, u"7E+3"_s);
        QCOMPARE(h.board->nledHomeScore->caption(), u"10"_s);
        typeKeys(h.board->nledHomeScore, u"1000E"_s);
        QCOMPARE(h.board->nledHomeScore->caption(), u"10"_s);
        typeKeys(h.board->nledHomeScore, u"0E-1"_s);
        QCOMPARE(h.board->nledHomeScore->caption(), u"-1"_s);
        QCOMPARE(h.board->nledHomeScore->cells().toText(), u"   "_s);
        // Keypad keys type too.
        QTest::keyClick(h.board->nledHomeScore, Qt::Key_4, Qt::KeypadModifier);
        QTest::keyClick(h.board->nledHomeScore, Qt::Key_2, Qt::KeypadModifier);
        QTest::keyClick(h.board->nledHomeScore, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.board->nledHomeScore->caption(), u"42"_s);
        select(h, h.board->nledPeriod);
        typeKeys(h.board->nledPeriod, u"2"_s);
        QCOMPARE(h.board->nledPeriod->caption(), u"2"_s);
        typeKeys(h.board->nledPeriod, u"C"_s);
        QCOMPARE(h.board->nledPeriod->caption(), u"-1"_s);
    }

    void selectionMark_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("margin 0") << 0;
        QTest::newRow("margin 3") << 3;
    }
    void selectionMark()
    {
        QFETCH(int, width);
        BoardHarness h;
        Settings.LEDSelectedWidth = qint16(width);
        const int b = width * 15;
        for (LedDisplay *d : {static_cast<LedDisplay *>(h.board->tledJam),
                              static_cast<LedDisplay *>(h.board->nledVisitorScore)}) {
            select(h, d);
            Shape *mark = h.board->shpObjectSelected;
            QVERIFY(mark->isVisibleFlag());
            QCOMPARE(mark->left(), d->left() - b);
            QCOMPARE(mark->top(), d->top() - b);
            QCOMPARE(mark->widthTwips(), d->widthTwips() + 2 * b + 15);
            QCOMPARE(mark->heightTwips(), d->heightTwips() + 2 * b + 15);
            // Beneath the display: only the margin shows.
            QCOMPARE(h.board->childAt(d->geometry().center()), d);
        }
        h.board->ObjectSelected(nullptr);
        QVERIFY(!h.board->shpObjectSelected->isVisibleFlag());
    }

    void tabMovesTheSelection()
    {
        BoardHarness h;
        select(h, h.board->nledHomeScore);
        QTest::keyClick(h.board->nledHomeScore, Qt::Key_Tab);
        QVERIFY(h.board->tledPeriod->hasFocus());
        QCOMPARE(h.board->shpObjectSelected->left(), h.board->tledPeriod->left());
        // A time typed into the jam after another display starts afresh.
        typeKeys(h.board->tledPeriod, u"1"_s);
        select(h, h.board->tledJam);
        typeKeys(h.board->tledJam, u"2E"_s);
        QCOMPARE(h.board->tkJam->time(), FixedTime::fromSeconds(120));
    }

    // A short bout typed in as an operator does it, checked display by display.
    void aShortBout()
    {
        BoardHarness h;
        auto *b = h.board.get();
        select(h, b->tledPeriod);
        typeKeys(b->tledPeriod, u"30E"_s); // a 30-minute period
        select(h, b->tledJam);
        typeKeys(b->tledJam, u"2E"_s);
        select(h, b->nledPeriod);
        typeKeys(b->nledPeriod, u"1"_s);
        typeKeys(b->nledPeriod, u"SJ"_s); // period and jam start
        h.tick(30000);
        select(h, b->nledHomeScore);
        typeKeys(b->nledHomeScore, u"+4"_s);
        select(h, b->tledVisitorPenalty1);
        typeKeys(b->tledVisitorPenalty1, u"A"_s); // a penalty, held
        typeKeys(b->tledVisitorPenalty1, u"I"_s); // and counting
        h.tick(45000);
        select(h, b->nledVisitorScore);
        typeKeys(b->nledVisitorScore, u"+3+2"_s);
        h.tick(45000); // the jam runs out: buzzer
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
        h.soundEnds();
        typeKeys(b->nledVisitorScore, u"R"_s); // jam reset
        select(h, b->tledHomePenalty2);
        typeKeys(b->tledHomePenalty2, u"1.00EI"_s); // set, then counting
        typeKeys(b->tledHomePenalty2, u"J"_s);
        h.tick(20000);
        typeKeys(b->tledHomePenalty2, u"J"_s); // stopped by key: buzzer
        h.tick(50);

        QCOMPARE(b->tledPeriod->cells().toText(), u"27:40"_s);
        QCOMPARE(b->tledJam->cells().toText(), u"1:40"_s);
        QCOMPARE(b->nledPeriod->caption(), u"1"_s);
        QCOMPARE(b->nledHomeScore->caption(), u"4"_s);
        QCOMPARE(b->nledVisitorScore->caption(), u"5"_s);
        QCOMPARE(b->tledVisitorPenalty1->cells().toText(), u"0:00"_s);
        QCOMPARE(b->tledHomePenalty2->cells().toText(), u"0:40"_s);
        QCOMPARE(b->tledHomePenalty1->value(), -1.0f);
        QCOMPARE(b->tledVisitorPenalty2->value(), -1.0f);
        QCOMPARE(h.sound.played, (QStringList{h.buzzerFile(), h.buzzerFile()}));
    }
};

QTEST_MAIN(tst_ScoreboardEntry)
#include "tst_scoreboardentry.moc"
