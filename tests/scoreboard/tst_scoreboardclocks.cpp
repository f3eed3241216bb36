#include "BoardHarness.h"
#include "Pinlux.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

FixedTime seconds(double s)
{
    return FixedTime::fromDouble(s);
}

// With the period-end sound held back, runs period and jam until the period
// has ended.
void endThePeriodDuringAJam(BoardHarness &h, int periodSeconds)
{
    Settings.SuppressPeriodSound = 1;
    h.board->tkPeriod->setTime(FixedTime::fromSeconds(periodSeconds));
    h.key(Settings.StartStopPeriodClockKey);
    h.key(Settings.StartStopJamClockKey);
    h.tick(periodSeconds * 1000);
}

} // namespace

class tst_ScoreboardClocks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void displayRounding_data()
    {
        QTest::addColumn<double>("period");
        QTest::addColumn<double>("jam");
        QTest::addColumn<QString>("periodShown");
        QTest::addColumn<QString>("periodUnits");
        QTest::addColumn<QString>("jamShown");
        QTest::newRow("at load") << 600.0 << 120.0 << u"10:00"_s << u"60,1"_s << u"2:00"_s;
        QTest::newRow("119.9 and 119.0") << 119.9 << 119.0 << u" 2:00"_s << u"60,1"_s << u"1:59"_s;
        QTest::newRow("59.9 in tenths") << 59.9 << 59.9 << u" 59.9"_s << u"1,.1"_s << u"1:00"_s;
        QTest::newRow("59.9001 still minutes")
            << 59.9001 << 0.3 << u" 1:00"_s << u"60,1"_s << u"0:01"_s;
        QTest::newRow("last tenths") << 0.35 << 0.0 << u"  0.3"_s << u"1,.1"_s << u"0:00"_s;
        QTest::newRow("99:59") << 5999.0 << 599.0 << u"99:59"_s << u"60,1"_s << u"9:59"_s;
    }
    void displayRounding()
    {
        QFETCH(double, period);
        QFETCH(double, jam);
        QFETCH(QString, periodShown);
        QFETCH(QString, periodUnits);
        QFETCH(QString, jamShown);
        BoardHarness h;
        h.board->tkPeriod->setTime(seconds(period));
        h.board->tkJam->setTime(seconds(jam));
        h.board->RefreshTime();
        QCOMPARE(h.board->tledPeriod->cells().toText(), periodShown);
        QCOMPARE(h.board->tledPeriod->groupUnits(), periodUnits);
        QCOMPARE(h.board->tledJam->cells().toText(), jamShown);
        QCOMPARE(h.board->tledJam->groupUnits(), u"60,1"_s);
    }

    // The hour as the desktop's own time format writes it, whatever else the
    // format puts around it.
    void timeOfDay_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("shown");
        const QTime afternoon(14, 5, 33);
        const auto format = [](const char *locale) {
            return QLocale(QString::fromLatin1(locale)).timeFormat(QLocale::LongFormat);
        };
        QTest::newRow("24-hour") << afternoon << u"HH:mm:ss"_s << u"14:05"_s;
        QTest::newRow("12-hour") << afternoon << u"h:mm:ss AP"_s << u" 2:05"_s;
        QTest::newRow("AM/PM first") << afternoon << u"ap h:mm:ss"_s << u" 2:05"_s;
        QTest::newRow("quoted a is text") << afternoon << u"'at' H:mm"_s << u"14:05"_s;
        QTest::newRow("dots instead of colons") << afternoon << u"HH.mm.ss"_s << u"14:05"_s;
        QTest::newRow("midnight, 24-hour") << QTime(0, 0, 12) << u"H:mm:ss"_s << u" 0:00"_s;
        QTest::newRow("midnight, 12-hour") << QTime(0, 0, 12) << u"h:mm:ss AP"_s << u"12:00"_s;
        QTest::newRow("noon, 12-hour") << QTime(12, 30) << u"h:mm:ss AP"_s << u"12:30"_s;
        QTest::newRow("en_US") << afternoon << format("en_US") << u" 2:05"_s;
        QTest::newRow("de_DE") << afternoon << format("de_DE") << u"14:05"_s;
        QTest::newRow("zh_CN, zone first") << afternoon << format("zh_CN") << u"14:05"_s;
        QTest::newRow("zh_TW") << afternoon << format("zh_TW") << u"14:05"_s;
        QTest::newRow("ko_KR, AM/PM first") << afternoon << format("ko_KR") << u" 2:05"_s;
    }
    void timeOfDay()
    {
        QFETCH(QTime, time);
        QFETCH(QString, format);
        QFETCH(QString, shown);
        BoardHarness h(format);
        h.timeOfDay = time;
        h.key(Settings.ClockSwitchKey);
        // The switch shows at the next tick, not at once.
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"10:00"_s);
        h.tick(50);
        QCOMPARE(h.board->tledPeriod->cells().toText(), shown);
        QCOMPARE(h.board->tledPeriod->groupUnits(), u"60,1"_s);
    }

    void periodEndsUnderTheTimeOfDay()
    {
        BoardHarness h;
        h.key(Settings.ClockSwitchKey);
        h.board->tkPeriod->setTime(seconds(1));
        h.key(Settings.StartStopPeriodClockKey);
        h.tick(1000);
        QVERIFY(!h.board->tkPeriod->running());
        QCOMPARE(h.sound.played, QStringList{h.periodFile()});
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"14:05"_s);
    }

    void periodEndHeldUntilTheJamEnds()
    {
        BoardHarness h;
        endThePeriodDuringAJam(h, 2);
        QVERIFY(!h.board->tkPeriod->running());
        for (Tarrow *t : {h.board->tkHomePenalty1, h.board->tkHomePenalty2,
                          h.board->tkVisitorPenalty1, h.board->tkVisitorPenalty2})
            QVERIFY(!t->running());
        QVERIFY(h.board->SuppressedPeriodSound);
        QVERIFY(h.sound.played.isEmpty());
        h.tick(118000);
        QCOMPARE(h.sound.played, QStringList{h.periodFile()});
        QVERIFY(!h.board->SuppressedPeriodSound);
        h.soundEnds();
        h.tick(50);
        QCOMPARE(h.sound.played.size(), 1);
    }

    void heldSoundReleasedByTheJamKeys_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("stop key") << false;
        QTest::newRow("reset key") << true;
    }
    void heldSoundReleasedByTheJamKeys()
    {
        QFETCH(bool, reset);
        BoardHarness h;
        endThePeriodDuringAJam(h, 1);
        QVERIFY(h.board->SuppressedPeriodSound);
        h.key(reset ? Settings.ResetJamClockKey : Settings.StartStopJamClockKey);
        QCOMPARE(h.sound.played, QStringList{h.periodFile()});
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.board->tkJam->time(), reset ? seconds(120) : seconds(119));
        h.soundEnds();
        // Once: the next stop sounds the buzzer.
        h.key(Settings.StartStopJamClockKey);
        h.key(Settings.StartStopJamClockKey);
        QCOMPARE(h.sound.played, (QStringList{h.periodFile(), h.buzzerFile()}));
    }

    void periodResetDropsTheHeldSound()
    {
        BoardHarness h;
        endThePeriodDuringAJam(h, 1);
        h.key(Settings.ResetPeriodClockKey);
        QVERIFY(!h.board->SuppressedPeriodSound);
        QVERIFY(!h.board->EndSounded[1]);
        h.key(Settings.StartStopJamClockKey);
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
    }

    void withoutHoldingThePeriodSoundPlaysAtOnce()
    {
        BoardHarness h;
        h.board->tkPeriod->setTime(seconds(1));
        h.key(Settings.StartStopPeriodClockKey);
        h.key(Settings.StartStopJamClockKey);
        h.tick(1000);
        QCOMPARE(h.sound.played, QStringList{h.periodFile()});
        QVERIFY(h.board->tkJam->running());
        h.soundEnds();
        h.tick(119000);
        QCOMPARE(h.sound.played, (QStringList{h.periodFile(), h.buzzerFile()}));
        QVERIFY(!h.board->tkJam->running());
    }

    void bothClocksEndInTheSameRefresh()
    {
        BoardHarness h;
        Settings.SuppressPeriodSound = 1;
        h.board->tkPeriod->setTime(seconds(1));
        h.board->tkJam->setTime(seconds(1));
        h.key(Settings.StartStopPeriodClockKey);
        h.key(Settings.StartStopJamClockKey);
        h.tick(1500);
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
        QVERIFY(!h.board->tkJam->running());
        QVERIFY(!h.board->tkPeriod->running());
        QVERIFY(!h.board->SuppressedPeriodSound);
        QVERIFY(h.board->EndSounded[0] && h.board->EndSounded[1]);
    }

    void periodRestartedAfterItsEnd()
    {
        BoardHarness h;
        h.board->tkPeriod->setTime(seconds(1));
        h.key(Settings.StartStopPeriodClockKey);
        h.tick(1000);
        h.soundEnds();
        QCOMPARE(h.sound.played.size(), 1);
        h.key(Settings.StartStopPeriodClockKey);
        QVERIFY(!h.board->tkPeriod->running());
        QCOMPARE(h.sound.played.size(), 1);

        // Time set to 0 some other way leaves the latch clear: it sounds.
        BoardHarness typed;
        typed.board->tkPeriod->setTime(FixedTime());
        typed.key(Settings.StartStopPeriodClockKey);
        QVERIFY(!typed.board->tkPeriod->running());
        QCOMPARE(typed.sound.played, QStringList{typed.periodFile()});
    }

    void jamRestartedWithoutTimeStopsSilently()
    {
        BoardHarness h;
        h.board->tkJam->setTime(seconds(1));
        h.key(Settings.StartStopJamClockKey);
        h.tick(1000);
        h.soundEnds();
        h.key(Settings.StartStopJamClockKey);
        h.tick(50);
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.sound.played.size(), 1);
    }

    void penaltyDisplays()
    {
        BoardHarness h;
        h.board->tkHomePenalty1->setTime(seconds(90));
        h.board->tledHomePenalty1->setValue(90);
        h.board->tkVisitorPenalty2->setTime(seconds(30));
        h.key(Settings.StartStopPeriodClockKey);
        h.tick(10500);
        QCOMPARE(h.board->tledHomePenalty1->cells().toText(), u"1:20"_s);
        QCOMPARE(h.board->tledVisitorPenalty2->value(), -1.0f);
        h.tick(100000);
        QCOMPARE(h.board->tledHomePenalty1->cells().toText(), u"0:00"_s);
        QCOMPARE(h.sound.played.size(), 0);
    }

    // The system clock set back or forward while the clocks run moves only
    // the time-of-day display: the keepers count on the monotonic clock.
    void wallClockChangesMoveOnlyTheTimeOfDay()
    {
        BoardHarness h;
        h.key(Settings.StartStopPeriodClockKey);
        h.key(Settings.StartStopJamClockKey);
        h.tick(10000);
        h.key(Settings.ClockSwitchKey);
        for (const QTime wall : {QTime(3, 0), QTime(23, 59, 59), QTime(14, 5, 43)}) {
            h.timeOfDay = wall;
            h.tick(1000);
            QCOMPARE(h.board->tledPeriod->cells().toText(),
                     wall.toString(u"hh:mm"_s).replace(u"03"_s, u" 3"_s));
        }
        QCOMPARE(h.board->tkPeriod->time(), seconds(587));
        QCOMPARE(h.board->tkJam->time(), seconds(107));
        h.key(Settings.ClockSwitchKey);
        h.tick(50);
        QCOMPARE(h.board->tledPeriod->cells().toText(), u" 9:47"_s);
    }

    void tenMinutePeriodEndsOnTime()
    {
        BoardHarness h;
        h.key(Settings.StartStopPeriodClockKey);
        // Ticks as a busy machine delivers them: 50 ms give or take.
        const int steps[] = {50, 47, 63, 50, 38, 91, 50, 52, 49, 58};
        qint64 elapsed = 0;
        int i = 0;
        while (h.board->tkPeriod->running() && elapsed < 700000) {
            const int step = steps[i++ % 10];
            h.tick(step);
            elapsed += step;
        }
        QVERIFY(!h.board->tkPeriod->running());
        QVERIFY2(elapsed >= 600000 && elapsed < 600000 + 91, qPrintable(QString::number(elapsed)));
        QCOMPARE(h.sound.played, QStringList{h.periodFile()});
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"  0.0"_s);
    }

    void aPeriodKeyThatRunsAnotherCommandCannotRecurse()
    {
        BoardHarness h;
        h.board->tkPeriod->setTime(seconds(1));
        h.key(Settings.StartStopPeriodClockKey);
        // A hand-edited store gives the period's key to the jam reset.
        Settings.StartStopPeriodClockKey = Settings.ResetJamClockKey;
        h.tick(1000);
        QCOMPARE(h.board->tkJam->time(), seconds(120));
    }

    void aBoutIsReadAtOneInstant()
    {
        // A clock that now and then jumps 20 ms between two readings, as when
        // a busy machine puts the program aside: with period and jam running
        // (and the penalty keepers running at zero), no reading of the bout
        // may look like a change.
        struct StutteringClock : MonotonicClock {
            mutable std::int64_t now = 1000000000;
            mutable int readings = 0;
            std::int64_t nowNanoseconds() const override
            {
                now += ++readings % 4 == 0 ? 20000000 : 1000;
                return now;
            }
        } clock;
        BoardHarness h;
        ScoreboardServices services;
        services.clock = &clock;
        frmScoreboard board(services);
        board.tmrClock1.stop();
        board.tkPeriod->setTime(seconds(600));
        board.tkJam->setTime(seconds(120));
        board.AllKeyCode(Settings.StartStopPeriodClockKey);
        board.AllKeyCode(Settings.StartStopJamClockKey);
        BoutState seen = board.boutState();
        for (int i = 0; i < 12; ++i) {
            const BoutState now = board.boutState();
            QVERIFY2(now.sameBout(seen), qPrintable(QString::number(i)));
            seen = now;
        }
    }
};

QTEST_MAIN(tst_ScoreboardClocks)
#include "tst_scoreboardclocks.moc"
