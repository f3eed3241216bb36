#include "FixedTime.h"

#include <QTest>

class tst_FixedTime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void displaySeconds_data()
    {
        QTest::addColumn<qint64>("ticks");
        QTest::addColumn<qint64>("shown");
        QTest::newRow("119.2 shows 2:00") << qint64(1192000) << qint64(120);
        QTest::newRow("119.0 shows 1:59") << qint64(1190000) << qint64(119);
        QTest::newRow("119.9") << qint64(1199000) << qint64(120);
        QTest::newRow("0.3") << qint64(3000) << qint64(1);
        QTest::newRow("zero") << qint64(0) << qint64(0);
        QTest::newRow("one tick above even rounds down") << qint64(20001) << qint64(2);
        QTest::newRow("one tick above odd rounds up") << qint64(30001) << qint64(4);
        QTest::newRow("two ticks above even") << qint64(20002) << qint64(3);
        QTest::newRow("one tick above zero is even too") << qint64(1) << qint64(0);
        QTest::newRow("negative") << qint64(-5000) << qint64(0);
        QTest::newRow("far past a day") << qint64(864000001234) << qint64(86400001);
    }
    void displaySeconds()
    {
        QFETCH(qint64, ticks);
        QFETCH(qint64, shown);
        QCOMPARE(FixedTime::fromTicks(ticks).displaySeconds(), shown);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<qint64>("ticks");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("2.5 to 2") << qint64(25000) << qint64(2);
        QTest::newRow("3.5 to 4") << qint64(35000) << qint64(4);
        QTest::newRow("150.5 to 150") << qint64(1505000) << qint64(150);
        QTest::newRow("2.5001 to 3") << qint64(25001) << qint64(3);
        QTest::newRow("-0.5 to 0") << qint64(-5000) << qint64(0);
        QTest::newRow("-1.5 to -2") << qint64(-15000) << qint64(-2);
    }
    void roundHalfEven()
    {
        QFETCH(qint64, ticks);
        QFETCH(qint64, rounded);
        QCOMPARE(FixedTime::fromTicks(ticks).roundHalfEven(), rounded);
    }

    void fromDoubleIsExactToTheTick()
    {
        QCOMPARE(FixedTime::fromDouble(59.9).ticks(), 599000);
        QCOMPARE(FixedTime::fromDouble(0.7).ticks(), 7000);
        QCOMPARE(FixedTime::fromDouble(2.3059).ticks(), 23059);
        QCOMPARE(FixedTime::fromSeconds(600) - FixedTime::fromTicks(1),
                 FixedTime::fromTicks(5999999));
    }
};

QTEST_APPLESS_MAIN(tst_FixedTime)
#include "tst_fixedtime.moc"
