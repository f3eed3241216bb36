#include "Digmar.h"
#include "modCount.h"
#include "modShowDigits.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Types a line of characters; "E" stands for Enter, "C" for the Clear key.
FixedTime typeTime(QObject *display, const QString &keys, int maxSeconds)
{
    FixedTime result = modCount::NoTime;
    for (QChar c : keys)
        result = modCount::TimeEntryKey(display, c == u'E' ? 13 : c.unicode(), maxSeconds);
    return result;
}

void typeNumber(QObject *display, const QString &keys, std::int16_t maxValue)
{
    for (QChar c : keys) {
        const int ch = c == u'E' ? 13 : c == u'C' ? 0 : c.unicode();
        modShowDigits::NumberEntryKey(display, ch, -1, maxValue);
    }
}

} // namespace

class tst_TypedEntry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        modCount::TypedTime.clear();
        modCount::TypedTimeOwner.clear();
        modShowDigits::TypedNumber.clear();
        modShowDigits::TypedNumberOwner.clear();
    }

    void parseTypedTime_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("seconds");
        QTest::newRow("minutes") << u"5"_s << 300.0;
        QTest::newRow("minutes and seconds") << u"2.30"_s << 150.0;
        QTest::newRow("with tenths") << u"2.305"_s << 150.5;
        QTest::newRow("further digits ignored") << u"2.3059"_s << 150.5;
        QTest::newRow("one seconds digit") << u"1.5"_s << 65.0;
        QTest::newRow("seconds up to 99") << u"1.75"_s << 135.0;
        QTest::newRow("seconds only") << u"0.45"_s << 45.0;
        QTest::newRow("point alone") << u"."_s << 0.0;
        QTest::newRow("nothing") << QString() << 0.0;
        QTest::newRow("leading point") << u".5"_s << 5.0;
        QTest::newRow("99:99") << u"99.99"_s << 6039.0;
        QTest::newRow("too many minutes") << u"100"_s << -1.0;
        QTest::newRow("two points") << u"1.2.3"_s << -1.0;
        QTest::newRow("nine characters") << u"1.2345678"_s << -1.0;
        QTest::newRow("eight characters") << u"01.23456"_s << 83.4;
        QTest::newRow("letter") << u"1a"_s << -1.0;
        QTest::newRow("non-ASCII digit") << u"١"_s << -1.0;
    }
    void parseTypedTime()
    {
        QFETCH(QString, text);
        QFETCH(double, seconds);
        QCOMPARE(modCount::ParseTypedTime(text), FixedTime::fromDouble(seconds));
    }

    void timeEntry_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("limit");
        QTest::addColumn<double>("seconds");
        QTest::newRow("5 Enter") << u"5E"_s << 599 << 300.0;
        QTest::newRow("Enter alone") << u"E"_s << 599 << 0.0;
        QTest::newRow("9.59 on the jam") << u"9.59E"_s << 599 << 599.0;
        QTest::newRow("10.00 on the jam") << u"10.00E"_s << 599 << -1.0;
        QTest::newRow("10.00 on the period") << u"10.00E"_s << 5999 << 600.0;
        QTest::newRow("space starts afresh") << u"1 2E"_s << 599 << 120.0;
        QTest::newRow("no Enter yet") << u"12"_s << 599 << -1.0;
        QTest::newRow("other characters ignored") << u"1+-2E"_s << 5999 << 720.0;
    }
    void timeEntry()
    {
        QFETCH(QString, keys);
        QFETCH(int, limit);
        QFETCH(double, seconds);
        QObject jam;
        jam.setObjectName(u"tledJam"_s);
        QCOMPARE(typeTime(&jam, keys, limit), FixedTime::fromDouble(seconds));
        QVERIFY(modCount::TypedTime.isEmpty() || !keys.endsWith(u'E'));
    }

    void timeEntrySwitchesOwner()
    {
        QObject jam, penalty;
        jam.setObjectName(u"tledJam"_s);
        penalty.setObjectName(u"tledHomePenalty1"_s);
        typeTime(&jam, u"1"_s, 599);
        QCOMPARE(typeTime(&penalty, u"2E"_s, 599), FixedTime::fromSeconds(120));
        // Losing the focus alone keeps the buffer.
        typeTime(&penalty, u"3"_s, 599);
        QCOMPARE(typeTime(&penalty, u".05E"_s, 599), FixedTime::fromSeconds(185));
    }

    void numberEntry_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plus 3 on 7") << u"7"_s << u"+3"_s << 999 << u"10"_s;
        QTest::newRow("minus 2 on 7") << u"7"_s << u"-2"_s << 999 << u"5"_s;
        QTest::newRow("125 Enter") << u"0"_s << u"125E"_s << 999 << u"125"_s;
        QTest::newRow("1000 refused") << u"4"_s << u"1000E"_s << 999 << u"4"_s;
        QTest::newRow("plus 1 then 2 Enter") << u"5"_s << u"+12E"_s << 999 << u"2"_s;
        QTest::newRow("minus 1 from 0 blanks") << u"0"_s << u"-1"_s << 999 << u"-1"_s;
        QTest::newRow("minus 2 from 0 refused") << u"0"_s << u"-2"_s << 999 << u"0"_s;
        QTest::newRow("plus 4 on blank") << u"-1"_s << u"+4"_s << 999 << u"4"_s;
        QTest::newRow("period digit at once") << u"1"_s << u"3"_s << 9 << u"3"_s;
        QTest::newRow("period plus 1") << u"3"_s << u"+1"_s << 9 << u"4"_s;
        QTest::newRow("period 10 refused") << u"9"_s << u"+1"_s << 9 << u"9"_s;
        QTest::newRow("clear") << u"12"_s << u"C"_s << 999 << u"-1"_s;
        QTest::newRow("clear the period") << u"2"_s << u"C"_s << 9 << u"-1"_s;
        QTest::newRow("Enter alone") << u"12"_s << u"E"_s << 999 << u"12"_s;
        QTest::newRow("space clears") << u"12"_s << u"5 6E"_s << 999 << u"6"_s;
        QTest::newRow("huge number") << u"12"_s << u"99999999999999999999E"_s << 999 << u"12"_s;
    }
    void numberEntry()
    {
        QFETCH(QString, start);
        QFETCH(QString, keys);
        QFETCH(int, maxValue);
        QFETCH(QString, shown);
        Digmar display;
        display.setObjectName(u"nledHomeScore"_s);
        display.setMax(qint16(maxValue));
        display.setCaption(start);
        typeNumber(&display, keys, qint16(maxValue));
        QCOMPARE(display.caption(), shown);
    }

    void numberEntrySwitchesOwner()
    {
        Digmar home, visitor;
        home.setObjectName(u"nledHomeScore"_s);
        visitor.setObjectName(u"nledVisitorScore"_s);
        home.setMax(999);
        visitor.setMax(999);
        typeNumber(&home, u"1"_s, 999);
        typeNumber(&visitor, u"2E"_s, 999);
        QCOMPARE(visitor.caption(), u"2"_s);
        QCOMPARE(home.caption(), u"0"_s);
    }
};

QTEST_MAIN(tst_TypedEntry)
#include "tst_typedentry.moc"
