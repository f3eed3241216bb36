#include "RichText.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

QByteArray fixture(const QString &name)
{
    QFile f(QStringLiteral(QUELVANE_TEST_DATA "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList paragraphs(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QString text = b.text().trimmed();
        if (!text.isEmpty())
            out << text;
    }
    return out;
}

QTextBlock blockWith(const QTextDocument &doc, const QString &text)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text().contains(text))
            return b;
    }
    return {};
}

// The character format at the middle of the first occurrence of text.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &text)
{
    const QTextBlock block = blockWith(doc, text);
    const int at = block.position() + int(block.text().indexOf(text)) + int(text.size()) / 2;
    QTextCursor cursor(const_cast<QTextDocument *>(&doc));
    cursor.setPosition(at);
    cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
    return cursor.charFormat();
}

} // namespace

class tst_RichText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The same document as written by three word processors.
    void wordProcessorFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("LibreOffice") << u"libreoffice.rtf"_s;
        QTest::newRow("WordPad") << u"wordpad.rtf"_s;
        QTest::newRow("Word") << u"word.rtf"_s;
    }
    void wordProcessorFiles()
    {
        QFETCH(QString, file);
        const QByteArray data = fixture(file);
        QVERIFY(!data.isEmpty());
        QTextDocument doc;
        RichText::load(data, doc);
        const QStringList expected = {
            u"Bout Rules"_s,
            u"Plain text, bold text, italic text, underlined and struck."_s,
            u"Big right"_s,
            u"Red centred"_s,
            u"Justified paragraph with an accent: café, and a euro sign €, and Ørebro."_s,
            u"•\tFirst bullet"_s,
            u"•\tSecond bullet"_s,
            u"1.\tFirst step"_s,
            u"2.\tSecond step"_s};
        QCOMPARE(paragraphs(doc), expected);

        QVERIFY(formatOf(doc, u"Bout"_s).fontWeight() == QFont::Bold);
        QCOMPARE(blockWith(doc, u"Bout Rules"_s).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QVERIFY(formatOf(doc, u"bold text"_s).fontWeight() == QFont::Bold);
        QVERIFY(formatOf(doc, u"Plain"_s).fontWeight() != QFont::Bold);
        QVERIFY(formatOf(doc, u"italic text"_s).fontItalic());
        QVERIFY(!formatOf(doc, u"bold text"_s).fontItalic());
        QVERIFY(formatOf(doc, u"underlined"_s).fontUnderline());
        QVERIFY(formatOf(doc, u"struck"_s).fontStrikeOut());
        QCOMPARE(formatOf(doc, u"Big right"_s).fontPointSize(), 20.0);
        QCOMPARE(blockWith(doc, u"Big right"_s).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(formatOf(doc, u"Red centred"_s).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(blockWith(doc, u"Red centred"_s).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(blockWith(doc, u"Justified"_s).blockFormat().alignment() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignJustify);
        // The list items hang from their indent.
        const QTextBlockFormat bullet = blockWith(doc, u"First bullet"_s).blockFormat();
        QVERIFY(bullet.leftMargin() > 20);
        QVERIFY(bullet.textIndent() < 0);
    }

    void codePagesAndUnicode()
    {
        QTextDocument doc;
        RichText::load("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 "
                       "\\u1046?\\uc2\\u1046xx\\uc0\\u1046 end}",
                       doc);
        QCOMPARE(doc.toPlainText(), u"Привет ЖЖЖend"_s); // the blank ends the control word
        RichText::load("{\\rtf1\\ansi \\'93quoted\\'94 \\emdash\\~x\\bullet}", doc);
        QCOMPARE(doc.toRawText(), u"“quoted” —\u00A0x•"_s);
    }

    void picturesAndIgnorableGroupsAreSkipped()
    {
        QTextDocument doc;
        RichText::load("{\\rtf1 before{\\*\\unknown hidden {nested}}"
                       "{\\pict\\pngblip 89504e470d0a}{\\*\\shppict{\\pict\\bin4 \x01\x02}\\}}}"
                       " after\\par second}",
                       doc);
        QCOMPARE(paragraphs(doc), (QStringList{u"before after"_s, u"second"_s}));
    }

    void tabsLinesAndIndents()
    {
        QTextDocument doc;
        RichText::load("{\\rtf1\\pard\\li720\\ri360\\fi-360\\sb120\\sa240\\tx1440 a\\tab b\\line c"
                       "\\par\\pard d\\par}",
                       doc);
        const QTextBlock first = doc.begin();
        QCOMPARE(first.text(), u"a\tb\u2028c"_s);
        QCOMPARE(first.blockFormat().leftMargin(), 48.0);
        QCOMPARE(first.blockFormat().rightMargin(), 24.0);
        QCOMPARE(first.blockFormat().textIndent(), -24.0);
        QCOMPARE(first.blockFormat().topMargin(), 8.0);
        QCOMPARE(first.blockFormat().bottomMargin(), 16.0);
        QCOMPARE(first.blockFormat().tabPositions().size(), 1);
        QCOMPARE(first.next().blockFormat().leftMargin(), 0.0);
    }

    void badInputNeverHangsOrCrashes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("shows"); // a text the document must hold, if any
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("unbalanced closing") << QByteArray("{\\rtf1 a}}}}} b}") << u"a"_s;
        QTest::newRow("unbalanced opening") << QByteArray("{\\rtf1 {{{{ a") << u"a"_s;
        QTest::newRow("truncated") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Ari") << QString();
        QTest::newRow("cut in a hex byte") << QByteArray("{\\rtf1 x\\'") << u"x"_s;
        QTest::newRow("cut after a backslash") << QByteArray("{\\rtf1 x\\") << u"x"_s;
        QTest::newRow("ten-megabyte control word")
            << QByteArray("{\\rtf1 \\") + QByteArray(10 * 1024 * 1024, 'a') + " tail}" << u"tail"_s;
        QTest::newRow("ten-megabyte number")
            << QByteArray("{\\rtf1 \\fs") + QByteArray(10 * 1024 * 1024, '9') + " tail}"
            << u"tail"_s;
        QTest::newRow("100000 deep") << QByteArray("{\\rtf1 ") + QByteArray(100000, '{') + "deep" +
                                            QByteArray(100000, '}') + "}"
                                     << u"deep"_s;
        QTest::newRow("huge bin") << QByteArray("{\\rtf1 a\\bin999999999999 xyz}") << u"a"_s;
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << u"xyz"_s;
        QByteArray binary("{\\rtf1 ");
        for (int i = 0; i < 100000; ++i)
            binary.append(char((i * 7 + 13) & 0xFF));
        QTest::newRow("binary") << binary << QString();
        QTest::newRow("huge colour index")
            << QByteArray("{\\rtf1 \\cf99999999 x\\highlight-4 y}") << u"xy"_s;
        QTest::newRow("huge font size")
            << QByteArray("{\\rtf1 \\fs2147483647 x\\fs-20 y}") << u"xy"_s;
        QTest::newRow("plain text")
            << QByteArray("Just some notes.\nSecond line.\n") << u"Second line."_s;
        QTest::newRow("UTF-8 text") << QByteArray("Zürich\n") << u"Zürich"_s;
    }
    void badInputNeverHangsOrCrashes()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, shows);
        QTextDocument doc;
        QElapsedTimer clock;
        clock.start();
        RichText::load(data, doc);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        if (!shows.isEmpty())
            QVERIFY2(doc.toPlainText().contains(shows), qPrintable(doc.toPlainText().left(200)));
    }
};

QTEST_MAIN(tst_RichText)
#include "tst_richtext.moc"
