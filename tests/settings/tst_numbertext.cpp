#include "NumberText.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_NumberText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void strict_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << u"33023"_s << true << 33023;
        QTest::newRow("blanks around") << u"  255 \t"_s << true << 255;
        QTest::newRow("negative") << u"-7"_s << true << -7;
        QTest::newRow("plus sign") << u"+7"_s << true << 7;
        QTest::newRow("half to even down") << u"2.5"_s << true << 2;
        QTest::newRow("half to even up") << u"3.5"_s << true << 4;
        QTest::newRow("fraction") << u"7.6"_s << true << 8;
        QTest::newRow("negative half") << u"-2.5"_s << true << -2;
        QTest::newRow("exponent") << u"1e3"_s << true << 1000;
        QTest::newRow("leading point") << u".5"_s << true << 0;
        QTest::newRow("int32 max") << u"2147483647"_s << true << 2147483647;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("blank") << u"   "_s << false << 0;
        QTest::newRow("letters") << u"abc"_s << false << 0;
        QTest::newRow("trailing letters") << u"12abc"_s << false << 0;
        QTest::newRow("inner blank") << u"1 2"_s << false << 0;
        QTest::newRow("two points") << u"1.2.3"_s << false << 0;
        QTest::newRow("sign alone") << u"-"_s << false << 0;
        QTest::newRow("too large") << u"2147483648"_s << false << 0;
        QTest::newRow("huge") << u"1e400"_s << false << 0;
        QTest::newRow("hex") << u"0x1F"_s << false << 0;
    }
    void strict()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto result = NumberText::strictInt32(text);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(*result, value);
    }

    void strict16Range()
    {
        QCOMPARE(NumberText::strictInt16(u"32767"_s), std::optional<std::int16_t>(32767));
        QCOMPARE(NumberText::strictInt16(u"-32768"_s), std::optional<std::int16_t>(-32768));
        QVERIFY(!NumberText::strictInt16(u"32768"_s));
        QVERIFY(!NumberText::strictInt16(u"-32769"_s));
        QCOMPARE(NumberText::strictInt16(u"32767.4"_s), std::optional<std::int16_t>(32767));
    }

    void lenient_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("one") << u"1"_s << true << 1;
        QTest::newRow("one and blank") << u"1 "_s << true << 1;
        QTest::newRow("one and letters") << u"1abc"_s << true << 1;
        QTest::newRow("leading blanks") << u"   1x"_s << true << 1;
        QTest::newRow("letter first") << u"x1"_s << true << 0;
        QTest::newRow("empty") << QString() << true << 0;
        QTest::newRow("fraction rounds half even") << u"2.5 apples"_s << true << 2;
        QTest::newRow("negative") << u"-3;"_s << true << -3;
        QTest::newRow("too large for 16 bits") << u"40000"_s << false << 0;
    }
    void lenient()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const auto result = NumberText::lenientInt16(text);
        QCOMPARE(result.has_value(), valid);
        if (valid)
            QCOMPARE(int(*result), value);
    }

    void plainText()
    {
        QCOMPARE(NumberText::plain(33023), u"33023"_s);
        QCOMPARE(NumberText::plain(-1), u"-1"_s);
        QCOMPARE(NumberText::plain(0), u"0"_s);
    }
};

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
