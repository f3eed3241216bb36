#include "MonotonicClock.h"
#include "Tarrow.h"

#include <QTest>

namespace {

FixedTime seconds(double s)
{
    return FixedTime::fromDouble(s);
}

} // namespace

class tst_Tarrow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countsDownOnlyWhileRunning()
    {
        ManualClock clock;
        Tarrow keeper(&clock);
        keeper.setTime(seconds(120));
        clock.advanceMilliseconds(5000);
        QCOMPARE(keeper.time(), seconds(120));

        keeper.setRunning(true);
        clock.advanceMilliseconds(1500);
        QCOMPARE(keeper.time(), seconds(118.5));
        clock.advanceNanoseconds(123456789);
        QCOMPARE(keeper.time(), FixedTime::fromTicks(1183766)); // 1.6234567 s gone, to the tick

        keeper.setRunning(false);
        const FixedTime frozen = keeper.time();
        clock.advanceMilliseconds(60000);
        QCOMPARE(keeper.time(), frozen);

        keeper.setRunning(true);
        clock.advanceMilliseconds(100);
        QCOMPARE(keeper.time(), frozen - seconds(0.1));
    }

    void writingTheTimeWhileRunningRestartsFromIt()
    {
        ManualClock clock;
        Tarrow keeper(&clock);
        keeper.setTime(seconds(600));
        keeper.setRunning(true);
        clock.advanceMilliseconds(10000);
        keeper.setTime(seconds(45));
        QVERIFY(keeper.running());
        QCOMPARE(keeper.time(), seconds(45));
        clock.advanceMilliseconds(2000);
        QCOMPARE(keeper.time(), seconds(43));
    }

    void stopsAtZeroButStaysRunning()
    {
        ManualClock clock;
        Tarrow keeper(&clock);
        keeper.setTime(seconds(1));
        keeper.setRunning(true);
        clock.advanceMilliseconds(1000);
        QCOMPARE(keeper.time(), FixedTime());
        clock.advanceMilliseconds(3600 * 1000);
        QCOMPARE(keeper.time(), FixedTime());
        QVERIFY(keeper.running());
        // Added time on an expired keeper counts from the moment it is added.
        keeper.setTime(keeper.time() + seconds(90));
        clock.advanceMilliseconds(1000);
        QCOMPARE(keeper.time(), seconds(89));
    }

    void noDriftOverAWholeBout()
    {
        // 20 reads a second for an hour lose nothing: the time is computed,
        // not counted.
        ManualClock clock;
        Tarrow keeper(&clock);
        keeper.setTime(seconds(5999));
        keeper.setRunning(true);
        for (int i = 0; i < 20 * 3600; ++i) {
            clock.advanceMilliseconds(50);
            (void)keeper.time();
        }
        QCOMPARE(keeper.time(), seconds(5999 - 3600));
    }

    void runsOnTheRealClockByDefault()
    {
        Tarrow keeper(nullptr);
        keeper.setTime(seconds(10));
        keeper.setRunning(true);
        QTRY_VERIFY_WITH_TIMEOUT(keeper.time() < seconds(9.95), 2000);
        QVERIFY(keeper.time() > seconds(8));
    }

    void genericPropertiesByName()
    {
        ManualClock clock;
        Tarrow keeper(&clock);
        QVERIFY(keeper.setProperty("Time", QVariant::fromValue(seconds(30))));
        QVERIFY(keeper.setProperty("Running", true));
        clock.advanceMilliseconds(500);
        QCOMPARE(keeper.property("Time").value<FixedTime>(), seconds(29.5));
        QCOMPARE(keeper.property("Running").toBool(), true);
    }
};

QTEST_GUILESS_MAIN(tst_Tarrow)
#include "tst_tarrow.moc"
