#include "LedCells.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_LedCells : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clock_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("lengths");
        QTest::addColumn<QString>("shown");
        QTest::newRow("125 as minutes and seconds") << 125.0f << u"60,1"_s << u"1,2"_s << u"2:05"_s;
        QTest::newRow("9.3 as seconds and tenths") << 9.3f << u"1,.1"_s << u"1,2"_s << u" 9.3"_s;
        QTest::newRow("blank") << -1.0f << u"60,1"_s << u"1,2"_s << u"    "_s;
        QTest::newRow("period 10:00") << 600.0f << u"60,1"_s << u"2,2"_s << u"10:00"_s;
        QTest::newRow("jam 2:00") << 120.0f << u"60,1"_s << u"1,2"_s << u"2:00"_s;
        QTest::newRow("zero") << 0.0f << u"60,1"_s << u"1,2"_s << u"0:00"_s;
        QTest::newRow("59.9 in tenths") << 59.9f << u"1,.1"_s << u"2,2"_s << u" 59.9"_s;
        QTest::newRow("0.7 is not 0.6") << 0.7f << u"1,.1"_s << u"2,2"_s << u"  0.7"_s;
        QTest::newRow("tenths truncate") << 12.3456f << u"1,.1"_s << u"2,2"_s << u" 12.3"_s;
        QTest::newRow("99:59") << 5999.0f << u"60,1"_s << u"2,2"_s << u"99:59"_s;
        QTest::newRow("first group leads without zero")
            << 65.0f << u"60,1"_s << u"2,2"_s << u" 1:05"_s;
        QTest::newRow("time of day 14:05") << 845.0f << u"60,1"_s << u"2,2"_s << u"14:05"_s;
        QTest::newRow("too large saturates") << 6000.0f << u"60,1"_s << u"1,2"_s << u"9:59"_s;
        QTest::newRow("negative shows zero") << -3.0f << u"60,1"_s << u"1,2"_s << u"0:00"_s;
        QTest::newRow("no lengths given") << 125.0f << u"60,1"_s << QString() << u" 2:05"_s;
        QTest::newRow("odd units") << 125.0f << u"x"_s << u"3"_s << u"125"_s;
    }
    void clock()
    {
        QFETCH(float, value);
        QFETCH(QString, units);
        QFETCH(QString, lengths);
        QFETCH(QString, shown);
        const LedCells cells =
            clockCells(value, GroupUnits::parse(units), parseGroupLengths(lengths));
        QCOMPARE(cells.toText(), shown);
    }

    void digitPositionsStayPutAcrossModes()
    {
        const QVector<int> lengths = parseGroupLengths(u"2,2"_s);
        const LedCells minutes = clockCells(600, GroupUnits::parse(u"60,1"_s), lengths);
        const LedCells tenths = clockCells(59.9f, GroupUnits::parse(u"1,.1"_s), lengths);
        QCOMPARE(minutes.digitCount(), 4);
        QCOMPARE(tenths.digitCount(), 4);
        QCOMPARE(minutes.separatorCount(), 1);
        QCOMPARE(tenths.separatorCount(), 1);
    }

    void number_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("shown");
        QTest::newRow("score") << u"125"_s << 3 << u"125"_s;
        QTest::newRow("right aligned") << u"7"_s << 3 << u"  7"_s;
        QTest::newRow("zero") << u"0"_s << 3 << u"  0"_s;
        QTest::newRow("blank") << u"-1"_s << 3 << u"   "_s;
        QTest::newRow("period number") << u"3"_s << 1 << u"3"_s;
        QTest::newRow("not a number") << u"x"_s << 1 << u" "_s;
        QTest::newRow("negative") << u"-5"_s << 3 << u" -5"_s;
        QTest::newRow("too large") << u"1234"_s << 3 << u"999"_s;
    }
    void number()
    {
        QFETCH(QString, caption);
        QFETCH(int, digits);
        QFETCH(QString, shown);
        QCOMPARE(numberCells(caption, digits).toText(), shown);
    }
};

QTEST_APPLESS_MAIN(tst_LedCells)
#include "tst_ledcells.moc"
