// Jam number, timeouts and official reviews: what each key does to the
// board, and nothing while they are off.
#include "BoardHarness.h"
#include "BoutRules.h"
#include "Digmar.h"
#include "Label.h"
#include "TimeoutDots.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The keys to the board, with no display selected: letters as keys, a digit
// typed into the period number, "+" the home score typed as 1, "~" the period clock run
// out, "^" the jam clock, "_" two seconds pass, "!" H held down.
void press(BoardHarness &h, const QString &keys)
{
    for (const QChar c : keys) {
        if (c == u'!') {
            // H held down, as X sends it: each repeat a release and a
            // press at one moment, flagged as a repeat or (when the press
            // was late) not; a press with no release between; let go.
            const auto send = [&h](QEvent::Type type, quint64 at, bool flagged) {
                QKeyEvent e(type, Qt::Key_H, Qt::NoModifier, u"h"_s, flagged);
                e.setTimestamp(at);
                QApplication::sendEvent(h.board.get(), &e);
            };
            send(QEvent::KeyPress, 1000, false);
            for (quint64 at : {1500, 1533, 1566}) {
                send(QEvent::KeyRelease, at, at == 1533);
                send(QEvent::KeyPress, at, at == 1533);
            }
            send(QEvent::KeyPress, 1600, false);
            send(QEvent::KeyRelease, 1700, false);
        } else if (c == u'~') { // the period clock runs out, seen by a timer tick
            h.clock.advanceMilliseconds(h.board->tkPeriod->time().ticks() / 10);
            QMetaObject::invokeMethod(&h.board->tmrClock1, "timeout");
        } else if (c == u'^') { // the jam clock's last second runs out
            h.board->tkJam->setTime(FixedTime::fromSeconds(1));
            h.clock.advanceMilliseconds(1000);
            QMetaObject::invokeMethod(&h.board->tmrClock1, "timeout");
        } else if (c == u'_') { // two seconds pass
            h.tick(2000);
        } else if (c == u'+') { // the home team's score typed: 1
            h.board->nledHomeScore->setFocus();
            QTest::keyClick(h.board->nledHomeScore, Qt::Key_1);
            QTest::keyClick(h.board->nledHomeScore, Qt::Key_Return);
            h.board->setFocus();
        } else if (c.isDigit()) {
            h.board->nledPeriod->setFocus();
            QTest::keyClick(h.board->nledPeriod, Qt::Key(c.unicode()));
            QTest::keyClick(h.board->nledPeriod, Qt::Key_Return);
            h.board->setFocus();
        } else {
            QTest::keyClick(h.board.get(), Qt::Key(c.toUpper().unicode()));
        }
        h.tick(50);
    }
}

} // namespace

class tst_BoutRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A row's keys go to the board with no display selected (a digit is
    // typed into the period number); the board then holds the rules state
    // given, the period clock runs or not, and the journal's last words.
    void keys_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected"); // jam, timeouts taken h/v, reviews h/v, status
        QTest::addColumn<bool>("periodRuns");
        QTest::addColumn<QString>("lastWords");
        QTest::newRow("new jams counted")
            << true << u"jjrj"_s << u"2 0 0 0 0 -"_s << false << u"Jam clock started"_s;
        QTest::newRow("a restart is no new jam")
            << true << u"jjj"_s << u"1 0 0 0 0 -"_s << false << u"Jam clock started"_s;
        QTest::newRow("a timeout stops the period")
            << true << u"sh"_s << u"0 1 0 0 0 home timeout"_s << false
            << u"Period clock stopped, Home team timeout"_s;
        QTest::newRow("none while the jam runs")
            << true << u"sjhqo"_s << u"1 0 0 0 0 -"_s << true << u"Jam clock started"_s;
        QTest::newRow("a key held: one timeout")
            << true << u"!"_s << u"0 1 0 0 0 home timeout"_s << false << u"Home team timeout"_s;
        QTest::newRow("none left") << true << u"vvvv"_s << u"0 0 3 0 0 visitor timeout"_s << false
                                   << u"Visitor team timeout"_s;
        QTest::newRow("official timeout") << true << u"so"_s << u"0 0 0 0 0 official"_s << false
                                          << u"Period clock stopped, Official timeout"_s;
        QTest::newRow("review, then retained")
            << true << u"qe"_s << u"0 0 0 0 0 home review"_s << false << u"Home review retained"_s;
        QTest::newRow("one review a period") << true << u"ww"_s << u"0 0 0 0 1 visitor review"_s
                                             << false << u"Visitor official review"_s;
        QTest::newRow("a jam clears the caption")
            << true << u"hj"_s << u"1 1 0 0 0 -"_s << false << u"Jam clock started"_s;
        QTest::newRow("a new period: reviews back, jam 0, caption gone")
            << true << u"1jjrqw2"_s << u"0 0 0 0 0 -"_s << false << u"Period 2, Jam 0"_s;
        QTest::newRow("1 typed over 0 after jams: a correction")
            << true << u"jjrjjrjjrq1"_s << u"3 0 0 1 0 -"_s << false << u"Period 1"_s;
        QTest::newRow("two up: a correction")
            << true << u"1jjrq3"_s << u"1 0 0 1 0 -"_s << false << u"Period 3"_s;
        QTest::newRow("down: a correction, the caption stays")
            << true << u"2jjrq1"_s << u"1 0 0 1 0 home review"_s << false << u"Period 1"_s;
        QTest::newRow("up from a period with no jams: a correction")
            << true << u"1q2"_s << u"0 0 0 1 0 -"_s << false << u"Period 2"_s;
        QTest::newRow("retained once a period") << true << u"qejjqe"_s << u"1 0 0 1 0 home review"_s
                                                << false << u"Home official review"_s;
        QTest::newRow("retained again in the next period")
            << true << u"1qejj2qe"_s << u"0 0 0 0 0 home review"_s << false
            << u"Home review retained"_s;
        QTest::newRow("a review after the last jam stays through the break")
            << true << u"1sj~jq"_s << u"1 0 0 1 0 home review"_s << false
            << u"Home official review"_s;
        QTest::newRow("the period run out between jams ends the caption")
            << true << u"1hs~"_s << u"0 1 0 0 0 -"_s << false << u"Period clock started"_s;
        QTest::newRow("not run by the clock: its keys do nothing")
            << true << u"lkfjl"_s << u"1 0 0 0 0 -"_s << false << u"Jam clock started"_s;
        QTest::newRow("off: no key acts, nothing counts")
            << false << u"shjrjqo"_s << u"0 0 0 0 0 -"_s << true << u"Jam clock started"_s;
    }
    void keys()
    {
        QFETCH(bool, shown);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QFETCH(bool, periodRuns);
        QFETCH(QString, lastWords);
        BoutRules = BoutRulesRecord{};
        BoutRules.Show = shown ? 1 : 0;
        const auto restored = qScopeGuard([] { BoutRules = BoutRulesRecord{}; });
        BoardHarness h;
        // A league's long name, as the caption must show it whole.
        Settings.HomeText = u"Victorian Roller Derby League"_s;
        Settings.VisitorText = u"Rose City Rollers"_s;
        h.board->UpdateFormColors();
        h.board->tkPeriod->setTime(FixedTime::fromSeconds(60)); // shorter than a jam
        QCOMPARE(h.board->nledJamNumber != nullptr, shown);     // made only when shown
        QString said;
        connect(h.board.get(), &frmScoreboard::operatorActed, this,
                [&said](const OperatorAction &a) {
                    said = a.description();
                    QVERIFY(a.kind != OperatorAction::BoutRule || a.undoable());
                });
        press(h, keys);
        const BoutState::Rules r = h.board->boutState().rules;
        const char *statuses[] = {"-",        "home timeout", "visitor timeout",
                                  "official", "home review",  "visitor review"};
        QCOMPARE(u"%1 %2 %3 %4 %5 %6"_s.arg(r.jamNumber)
                     .arg(r.timeoutsTaken[0])
                     .arg(r.timeoutsTaken[1])
                     .arg(r.reviewsTaken[0])
                     .arg(r.reviewsTaken[1])
                     .arg(QLatin1String(statuses[r.status])),
                 expected);
        QCOMPARE(h.board->tkPeriod->running(), periodRuns);
        QCOMPARE(said, lastWords);
        // Nothing of the bout run by the clock unless it is turned on.
        QCOMPARE(r.phase, PhaseState{});
        QVERIFY(!h.board->lblHomeLead);
        if (!shown)
            return;
        // What the board shows of it.
        QCOMPARE(h.board->nledJamNumber->number(), r.jamNumber);
        QCOMPARE(h.board->dotsVisitorTimeouts->remaining(), 3 - r.timeoutsTaken[1]);
        QCOMPARE(h.board->dotsHomeTimeouts->reviewLeft(), r.reviewsTaken[0] == 0);
        QCOMPARE(h.board->lblBoutStatus->isVisibleFlag(), r.status != BoutState::NoStatus);
        const Label *caption = h.board->lblBoutStatus;
        QVERIFY2(QFontMetrics(caption->font()).horizontalAdvance(caption->caption()) <=
                     caption->width(),
                 qPrintable(caption->caption()));
        QCOMPARE(h.board->lblCreatedBy->isVisibleFlag(), r.status == BoutState::NoStatus);
        // And the bout state keeps all of it.
        const BoutState state = h.board->boutState();
        QCOMPARE(BoutState::fromJson(state.toJson())->rules, state.rules);
    }

    // The bout run by the clock, driven by the same keys: the phase, the
    // jam and period numbers, and whether the period and jam clocks run.
    void runByClock_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("J opens the period with the first jam") << u"j"_s << u"jam 1 1 run run"_s;
        QTest::newRow("J ends it into a lineup") << u"jj"_s << u"lineup 1 1 run -"_s;
        QTest::newRow("the next jam restarts the period after a timeout")
            << u"jjh_j"_s << u"jam 2 1 run run"_s;
        QTest::newRow("J just after the jam ran out ends nothing more")
            << u"j^j"_s << u"lineup 1 1 run -"_s;
        QTest::newRow("then the next jam") << u"j^_j"_s << u"jam 2 1 run run"_s;
        QTest::newRow("its own key ends a timeout") << u"jjhh"_s << u"lineup 1 1 - -"_s;
        QTest::newRow("run out in a lineup: halftime") << u"jj~"_s << u"halftime 1 1 - -"_s;
        QTest::newRow("run out in a jam: halftime at its end") << u"j~j"_s << u"halftime 1 1 - -"_s;
        QTest::newRow("J twice at the last jam's end: halftime stays")
            << u"j~jj"_s << u"halftime 1 1 - -"_s;
        QTest::newRow("J at halftime opens the next period") << u"j~j_j"_s << u"jam 1 2 run run"_s;
        QTest::newRow("the period typed at halftime: the next is still 2")
            << u"j~j2_j"_s << u"jam 1 2 run run"_s;
        QTest::newRow("no timeout at halftime") << u"j~jh"_s << u"halftime 1 1 - -"_s;
        QTest::newRow("tied: an overtime jam, the period clock stays")
            << u"2j~j_j"_s << u"jam 2 2 - run"_s;
        QTest::newRow("ahead: unofficial, then final; J starts nothing")
            << u"2j+~jfj"_s << u"final 1 2 - -"_s;
        QTest::newRow("tied, then a score put right: no overtime")
            << u"2j~j+"_s << u"unofficial 1 2 - -"_s;
    }
    void runByClock()
    {
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        BoutRules = BoutRulesRecord{};
        BoutRules.Show = 1;
        BoutRules.RunByClock = 1;
        const auto restored = qScopeGuard([] { BoutRules = BoutRulesRecord{}; });
        BoardHarness h;
        h.board->tkPeriod->setTime(FixedTime::fromSeconds(60)); // shorter than a jam
        press(h, keys);
        const char *phases[] = {"off",    "lineup",   "jam",        "timeout", "official",
                                "review", "halftime", "unofficial", "final",   "overtime"};
        const BoutState s = h.board->boutState();
        QCOMPARE(u"%1 %2 %3 %4 %5"_s.arg(QLatin1String(phases[s.rules.phase.phase]))
                     .arg(s.rules.jamNumber)
                     .arg(s.numbers[BoutState::PeriodNumber])
                     .arg(QLatin1String(s.keepers[BoutState::Period].running ? "run" : "-"))
                     .arg(QLatin1String(s.keepers[BoutState::Jam].running ? "run" : "-")),
                 expected);
    }
};

QTEST_MAIN(tst_BoutRules)
#include "tst_boutrules.moc"
