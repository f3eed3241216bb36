#include "BoardHarness.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_ScoreboardSound : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stateTable()
    {
        BoardHarness h;
        h.board->Buzzer(h.buzzerFile());
        QCOMPARE(h.sound.log, (QStringList{u"Close"_s, u"Open "_s + h.buzzerFile(), u"Play"_s}));
        QVERIFY(h.board->BuzzerPlaying);

        // A request while playing is dropped.
        h.board->Buzzer(h.periodFile());
        QCOMPARE(h.sound.log.size(), 3);

        h.soundEnds();
        QVERIFY(!h.board->BuzzerPlaying);
        QCOMPARE(h.sound.log.mid(3), (QStringList{u"Stop"_s, u"Prev"_s}));

        // The same file again opens nothing.
        h.sound.log.clear();
        h.board->Buzzer(h.buzzerFile());
        QCOMPARE(h.sound.log, QStringList{u"Play"_s});
        h.soundEnds();

        // Another file closes and reopens.
        h.sound.log.clear();
        h.board->Buzzer(h.periodFile());
        QCOMPARE(h.sound.log, (QStringList{u"Close"_s, u"Open "_s + h.periodFile(), u"Play"_s}));
        h.soundEnds();
        h.sound.log.clear();
        h.board->Buzzer(h.buzzerFile());
        QCOMPARE(h.sound.log.at(1), u"Open "_s + h.buzzerFile());
    }

    void nothingPlaysWithoutAFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty") << QString();
        QTest::newRow("missing") << u"/no/such/buzzer.wav"_s;
        QTest::newRow("folder") << u"/tmp"_s;
        QTest::newRow("unreachable drive") << u"Z:\\sounds\\buzzer.wav"_s;
    }
    void nothingPlaysWithoutAFile()
    {
        QFETCH(QString, path);
        BoardHarness h;
        Settings.BuzzerFile = path;
        h.key(Settings.BuzzerKey);
        h.key(Settings.StartStopJamClockKey);
        h.key(Settings.StartStopJamClockKey);
        QVERIFY(h.sound.log.isEmpty());
        QVERIFY(!h.board->BuzzerPlaying);
        QVERIFY(!h.board->tkJam->running());
    }

    void fileDeletedAfterItWasChosen()
    {
        BoardHarness h;
        QFile::remove(h.buzzerFile());
        h.key(Settings.BuzzerKey);
        QVERIFY(h.sound.log.isEmpty());
    }

    void closingSendsCloseOnlyWhenAFileWasOpened()
    {
        {
            BoardHarness h;
            h.board->close();
            QVERIFY(h.sound.log.isEmpty());
        }
        BoardHarness h;
        h.key(Settings.BuzzerKey);
        h.sound.log.clear();
        h.board->close();
        QCOMPARE(h.sound.log, QStringList{u"Close"_s});
    }
};

QTEST_MAIN(tst_ScoreboardSound)
#include "tst_scoreboardsound.moc"
