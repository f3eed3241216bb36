#include "BoardHarness.h"
#include "Digmar.h"
#include "Label.h"
#include "Pinlux.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_ScoreboardKeys : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void jamStartStop()
    {
        BoardHarness h;
        h.key(74);
        QVERIFY(h.board->tkJam->running());
        QVERIFY(h.sound.played.isEmpty());
        h.key(74);
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
    }

    void jamReset()
    {
        BoardHarness h;
        h.key(74);
        h.clock.advanceMilliseconds(5000);
        h.key(82);
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.board->tkJam->time(), FixedTime::fromSeconds(120));
        QCOMPARE(h.sound.played.size(), 1);
        QCOMPARE(h.board->tledJam->cells().toText(), u"2:00"_s);
        h.soundEnds();
        h.key(82); // a stopped jam resets silently
        QCOMPARE(h.sound.played.size(), 1);
    }

    void periodCommandsCarryThePenaltyClocks()
    {
        BoardHarness h;
        Tarrow *keepers[] = {h.board->tkHomePenalty1, h.board->tkHomePenalty2,
                             h.board->tkVisitorPenalty1, h.board->tkVisitorPenalty2};
        keepers[1]->setTime(FixedTime::fromSeconds(45));
        h.key(83);
        QVERIFY(h.board->tkPeriod->running());
        for (Tarrow *k : keepers)
            QVERIFY(k->running()); // blank ones too
        h.clock.advanceMilliseconds(5000);
        h.key(83);
        for (Tarrow *k : keepers)
            QVERIFY(!k->running());
        QCOMPARE(keepers[1]->time(), FixedTime::fromSeconds(40));
        h.key(83);
        h.clock.advanceMilliseconds(5000);
        h.key(84);
        QVERIFY(!h.board->tkPeriod->running());
        QCOMPARE(h.board->tkPeriod->time(), FixedTime::fromSeconds(600));
        for (Tarrow *k : keepers)
            QVERIFY(!k->running());
        QCOMPARE(keepers[1]->time(), FixedTime::fromSeconds(35));
        QCOMPARE(h.board->tledPeriod->cells().toText(), u"10:00"_s);
        QVERIFY(h.sound.played.isEmpty());
    }

    void soundKeys()
    {
        BoardHarness h;
        h.key(66);
        QCOMPARE(h.sound.played, QStringList{h.buzzerFile()});
        h.soundEnds();
        h.key(80);
        QCOMPARE(h.sound.played, (QStringList{h.buzzerFile(), h.periodFile()}));
        h.soundEnds();
        h.board->SuppressedPeriodSound = true;
        h.key(80);
        QVERIFY(h.board->SuppressedPeriodSound); // a held sound stays held
    }

    void helpAndOptions()
    {
        BoardHarness h;
        h.key(112);
        QCOMPARE(h.helpShown, 1);
        QCOMPARE(h.optionsShown, 0);
        Settings.TitleText = u"Changed in Options"_s;
        h.key(113);
        QCOMPARE(h.optionsShown, 1);
        QCOMPARE(h.board->lblTitle->caption(), u"Changed in Options"_s);
    }

    void firstMatchingRowOnly()
    {
        BoardHarness h;
        Settings.BuzzerKey = 74;       // shares the jam key: the jam row wins
        Settings.ClockSwitchKey = 112; // shadows F1
        h.key(74);
        QVERIFY(h.board->tkJam->running());
        QVERIFY(h.sound.played.isEmpty());
        h.key(112);
        QVERIFY(h.board->ClockTime);
        QCOMPARE(h.helpShown, 0);
    }

    void unassignedKeyDoesNothing()
    {
        BoardHarness h;
        const bool before = h.board->tkJam->running();
        h.key(75);
        h.key(0);
        QCOMPARE(h.board->tkJam->running(), before);
        QVERIFY(h.sound.log.isEmpty());
    }

    void modifiersDoNotMatter_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::newRow("plain") << int(Qt::NoModifier);
        QTest::newRow("Shift") << int(Qt::ShiftModifier);
        QTest::newRow("Ctrl") << int(Qt::ControlModifier);
        QTest::newRow("Alt") << int(Qt::AltModifier);
    }
    void modifiersDoNotMatter()
    {
        QFETCH(int, modifiers);
        BoardHarness h;
        h.board->setFocus();
        QTest::keyClick(h.board.get(), Qt::Key_J, Qt::KeyboardModifiers(modifiers));
        QVERIFY(h.board->tkJam->running());
    }

    // Each press reaches the dispatcher once, from the window or from the
    // focused display: an even number of presses leaves the jam as it was.
    void everyPressDispatchedOnce_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("window") << QString();
        for (const char *name :
             {"nledHomeScore", "tledPeriod", "nledPeriod", "tledJam", "tledVisitorPenalty2"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void everyPressDispatchedOnce()
    {
        QFETCH(QString, focus);
        BoardHarness h;
        QWidget *target = focus.isEmpty() ? h.board.get() : h.board->findChild<QWidget *>(focus);
        QVERIFY(target);
        QApplication::setActiveWindow(h.board.get());
        target->setFocus();
        QTest::keyClick(target, Qt::Key_J);
        QVERIFY(h.board->tkJam->running());
        QTest::keyClick(target, Qt::Key_J);
        QVERIFY(!h.board->tkJam->running());
        QCOMPARE(h.sound.played.size(), 1);
    }

    void heldKeyRepeats()
    {
        BoardHarness h;
        h.board->setFocus();
        // The window system repeats a held key: every repeat toggles.
        QTest::keyPress(h.board.get(), Qt::Key_J);
        for (int i = 0; i < 4; ++i)
            QTest::sendKeyEvent(QTest::KeyAction::Press, h.board.get(), Qt::Key_J, u'j',
                                Qt::NoModifier);
        QTest::keyRelease(h.board.get(), Qt::Key_J);
        QVERIFY(h.board->tkJam->running()); // five toggles
    }

    void keyCodeToAsci_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("character");
        QTest::newRow("space") << 32 << 32;
        QTest::newRow("enter") << 13 << 13;
        QTest::newRow("clear key") << 46 << 0;
        QTest::newRow("= +") << 187 << int('+');
        QTest::newRow("keypad +") << 107 << int('+');
        QTest::newRow("- _") << 189 << int('-');
        QTest::newRow("keypad -") << 109 << int('-');
        QTest::newRow("keypad 0") << 96 << int('0');
        QTest::newRow("keypad 9") << 105 << int('9');
        QTest::newRow("digit 0") << 48 << int('0');
        QTest::newRow("digit 7") << 55 << int('7');
        QTest::newRow("keypad point") << 110 << int('.');
        QTest::newRow("full stop") << 190 << int('.');
        QTest::newRow("letter") << 74 << -1;
        QTest::newRow("comma") << 188 << -1;
        QTest::newRow("F1") << 112 << -1;
    }
    void keyCodeToAsci()
    {
        QFETCH(int, code);
        QFETCH(int, character);
        BoardHarness h;
        QCOMPARE(h.board->KeyCodeToAsci(code), character);
    }

    void clearKeyComesBeforeCharacters()
    {
        BoardHarness h;
        Settings.ClearKey = 48; // the 0 key
        QCOMPARE(h.board->KeyCodeToAsci(48), 0);
        Settings.ClearKey = 13; // Enter stays Enter
        QCOMPARE(h.board->KeyCodeToAsci(13), 13);
    }
};

QTEST_MAIN(tst_ScoreboardKeys)
#include "tst_scoreboardkeys.moc"
