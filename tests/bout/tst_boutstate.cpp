// The bout as a value: its JSON form, how it runs on with nobody at the
// keyboard, how its changes read, and what undo puts back.
#include "BoutChange.h"
#include "BoutClocks.h"
#include "BoutRecord.h"
#include "BoutState.h"
#include "UndoHistory.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 S = BoutState::TicksPerSecond;

// Period, jam and the home penalty 1: ticks and running, in that order.
BoutState bout(std::int64_t period, bool periodRuns, std::int64_t jam, bool jamRuns,
               std::int64_t penalty = -1, bool penaltyRuns = false)
{
    BoutState s;
    s.keepers[BoutState::Period] = {period, periodRuns};
    s.keepers[BoutState::Jam] = {jam, jamRuns};
    if (penalty >= 0) {
        s.keepers[BoutState::HomePenalty1] = {penalty, penaltyRuns};
        s.penaltyBlank[0] = false;
    }
    return s;
}

// The same state a moment later, as the board would read it.
BoutState later(BoutState s, std::int64_t ticks)
{
    s = advanced(s, ticks, false);
    return s;
}

} // namespace

class tst_BoutState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void jsonRoundTripAndBadInput()
    {
        BoutState s = bout(59 * S + 4000, true, 12 * S, false, 90 * S, true);
        s.numbers = {57, -1, 2};
        s.clockTime = true;
        s.suppressedPeriodSound = true;
        s.endSounded = {true, false};
        s.selected = 4;
        s.wallMs = 1765000000123;
        s.jamResetTicks = 90 * S;
        const std::optional<BoutState> back = BoutState::fromJson(s.toJson());
        QVERIFY(back);
        QVERIFY(back->sameBout(s));
        QCOMPARE(back->wallMs, s.wallMs);

        for (const QByteArray &bad : {QByteArray(), "not json"_ba, "[]"_ba, R"({"version":2})"_ba,
                                      R"({"version":1,"keepers":{}})"_ba}) {
            QVERIFY2(!BoutState::fromJson(bad), bad.constData());
        }
        // Out of range is clamped, not taken as it stands.
        QByteArray wild = s.toJson();
        wild.replace("\"homeScore\":57", "\"homeScore\":123456");
        wild.replace(QByteArray::number(59 * S + 4000), "-5");
        const std::optional<BoutState> clamped = BoutState::fromJson(wild);
        QVERIFY(clamped);
        QCOMPARE(clamped->numbers[0], 999);
        QCOMPARE(clamped->keepers[BoutState::Period].ticks, 0);
    }

    void runsOn_data()
    {
        QTest::addColumn<BoutState>("start");
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<bool>("hold");
        QTest::addColumn<BoutState>("expected");
        QTest::newRow("nothing runs") << bout(600 * S, false, 120 * S, false) << 50 * S << false
                                      << bout(600 * S, false, 120 * S, false);
        QTest::newRow("both run on") << bout(600 * S, true, 120 * S, true) << 50 * S << false
                                     << bout(550 * S, true, 70 * S, true);
        QTest::newRow("wall clock set back") << bout(600 * S, true, 120 * S, true) << -50 * S
                                             << false << bout(600 * S, true, 120 * S, true);
        // A clock that runs out counts as stopped; the period's end stops
        // every penalty clock with it, as its key does.
        const auto ranOut = [](BoutState s, bool period, bool jam) {
            s.keepers[BoutState::Jam].switches += jam ? 1 : 0;
            for (int k : {0, 2, 3, 4, 5})
                s.keepers[size_t(k)].switches += period ? 1 : 0;
            return s;
        };
        BoutState jamEnded = ranOut(bout(550 * S, true, 0, false), false, true);
        jamEnded.endSounded[0] = true;
        QTest::newRow("the jam ends meanwhile")
            << bout(600 * S, true, 30 * S, true) << 50 * S << false << jamEnded;
        BoutState held = ranOut(bout(0, false, 10 * S, true, 20 * S, false), true, false);
        held.endSounded[1] = true;
        held.suppressedPeriodSound = true;
        QTest::newRow("the period ends during a jam, sound held")
            << bout(20 * S, true, 30 * S, true, 40 * S, true) << 20 * S << true << held;
        BoutState sounded = held;
        sounded.suppressedPeriodSound = false;
        QTest::newRow("the period ends during a jam, not held")
            << bout(20 * S, true, 30 * S, true, 40 * S, true) << 20 * S << false << sounded;
        BoutState bothEnded = ranOut(bout(0, false, 0, false), true, true);
        bothEnded.endSounded = {true, true};
        QTest::newRow("period then jam: the jam plays the held sound")
            << bout(20 * S, true, 30 * S, true) << 60 * S << true << bothEnded;
        QTest::newRow("jam then period")
            << bout(30 * S, true, 20 * S, true) << 60 * S << true << bothEnded;
        QTest::newRow("a penalty on its own runs through")
            << bout(600 * S, false, 120 * S, false, 90 * S, true) << 100 * S << false
            << bout(600 * S, false, 120 * S, false, 0, true);
    }
    void runsOn()
    {
        QFETCH(BoutState, start);
        QFETCH(qint64, elapsed);
        QFETCH(bool, hold);
        QFETCH(BoutState, expected);
        const BoutState got = advanced(start, elapsed, hold);
        QCOMPARE(got.keepers, expected.keepers);
        QCOMPARE(got.endSounded, expected.endSounded);
        QCOMPARE(got.suppressedPeriodSound, expected.suppressedPeriodSound);
    }

    void changesRead_data()
    {
        QTest::addColumn<BoutState>("before");
        QTest::addColumn<BoutState>("after");
        QTest::addColumn<bool>("byOperator");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("undoable");
        const BoutState idle = bout(600 * S, false, 120 * S, false);
        const BoutState running = bout(600 * S, true, 120 * S, true, 90 * S, true);
        BoutState scored = idle;
        scored.numbers[BoutState::HomeScore] = 57;
        QTest::newRow("score") << idle << scored << true << u"Home score 57"_s << true;
        BoutState cleared = idle;
        cleared.numbers[BoutState::PeriodNumber] = -1;
        QTest::newRow("clear") << idle << cleared << true << u"Period cleared"_s << true;
        QTest::newRow("clocks only ran")
            << running << later(running, 37 * S) << false << QString() << false;
        BoutState started = running;
        QTest::newRow("period started, penalty with it")
            << bout(600 * S, false, 120 * S, true, 90 * S, false) << started << true
            << u"Period clock started"_s << false;
        // Read 10 s apart by a stalled machine, a stop could have come at any
        // moment between; a reset still tells from that.
        const BoutState inPlay = bout(300 * S, true, 120 * S, true, 90 * S, true);
        BoutState reset = later(inPlay, 10 * S);
        reset.keepers[BoutState::Period] = {600 * S, false};
        reset.keepers[BoutState::HomePenalty1].running = false;
        QTest::newRow("period reset in play")
            << inPlay << reset << true << u"Period clock reset"_s << true;
        BoutState typed = idle;
        typed.keepers[BoutState::Jam].ticks = 90 * S;
        typed.jamResetTicks = 90 * S;
        QTest::newRow("jam typed") << idle << typed << true << u"Jam clock set to 1:30"_s << true;
        BoutState longPeriod = idle;
        longPeriod.keepers[BoutState::Period].ticks = 900 * S;
        longPeriod.periodResetTicks = 900 * S;
        QTest::newRow("period typed past 9:59")
            << idle << longPeriod << true << u"Period clock set to 15:00"_s << true;
        BoutState ranOut = later(bout(600 * S, false, 1 * S, true), 2 * S);
        QTest::newRow("jam ran out") << bout(600 * S, false, 1 * S, true) << ranOut << false
                                     << u"Jam clock ran out"_s << false;
        BoutState penalty = idle;
        penalty.penaltyBlank[0] = false;
        penalty.keepers[BoutState::HomePenalty1].ticks = 90 * S;
        QTest::newRow("penalty") << idle << penalty << true << u"Home penalty 1 1:30"_s << true;
        BoutState clock = idle;
        clock.clockTime = true;
        QTest::newRow("time of day") << idle << clock << true << u"Time of day shown"_s << false;
        // Run by the clock, a phase, a lead or a clock between jams alone is
        // a change of the bout too, kept like any other.
        BoutState timeout = idle;
        timeout.rules.phase.phase = PhaseState::TeamTimeout;
        timeout.rules.phase.clockTicks = 40 * S;
        timeout.rules.phase.clockRunning = true;
        BoutState endedEarly = later(timeout, 2 * S);
        endedEarly.rules.phase.phase = PhaseState::Lineup;
        endedEarly.rules.phase.clockTicks = 0;
        endedEarly.rules.phase.clockAtNs = endedEarly.monotonicNs;
        endedEarly.rules.phase.lead = 1;
        QTest::newRow("a timeout ended into a lineup, visitor lead")
            << timeout << endedEarly << true << u"Lineup, Visitor lead"_s << true;
        BoutState halftime = idle;
        halftime.rules.phase = {PhaseState::Halftime, 900 * S, true, idle.monotonicNs};
        BoutState intermissionTyped = later(halftime, 1 * S);
        intermissionTyped.rules.phase.clockTicks = 300 * S;
        intermissionTyped.rules.phase.clockAtNs = intermissionTyped.monotonicNs;
        QTest::newRow("halftime typed")
            << halftime << intermissionTyped << true << u"halftime clock set to 5:00"_s << true;
        QTest::newRow("halftime only ran")
            << halftime << later(halftime, 37 * S) << false << QString() << false;
    }
    void changesRead()
    {
        QFETCH(BoutState, before);
        QFETCH(BoutState, after);
        QFETCH(bool, byOperator);
        QFETCH(QString, description);
        QFETCH(bool, undoable);
        const BoutChange change = describeChange(before, after, byOperator);
        QCOMPARE(change.description, description);
        QCOMPARE(change.undoable, undoable);
    }

    // Undo takes back only the step's own change: a clock started since
    // keeps running, a reset clock comes back running at its right time.
    void undoPutsBackOnlyTheStep()
    {
        UndoHistory history;
        const BoutState playing = bout(500 * S, true, 100 * S, true, 80 * S, true);
        BoutState reset = later(playing, 5 * S);
        reset.keepers[BoutState::Period] = {600 * S, false};
        reset.keepers[BoutState::HomePenalty1].running = false;
        history.record(later(playing, 5 * S), reset);
        // 20 s later, with the jam stopped meanwhile by its key.
        BoutState now = later(reset, 20 * S);
        now.keepers[BoutState::Jam].running = false;
        const std::optional<BoutState> undone = history.undo(now);
        QVERIFY(undone);
        QCOMPARE(undone->keepers[BoutState::Period], (KeeperState{475 * S, true}));
        QCOMPARE(undone->keepers[BoutState::HomePenalty1], (KeeperState{55 * S, true}));
        QCOMPARE(undone->keepers[BoutState::Jam], now.keepers[BoutState::Jam]);
        QVERIFY(!history.undo(*undone));
        const std::optional<BoutState> redone = history.redo(*undone);
        QVERIFY(redone);
        QCOMPARE(redone->keepers[BoutState::Period], (KeeperState{600 * S, false}));
        // A new step drops what could be redone.
        history.undo(*redone);
        history.record(idleScore(0), idleScore(3));
        QCOMPARE(history.redoSteps(), size_t(0));

        // A timeout taken by mistake: its phase goes back while it stands,
        // not once the next jam has begun; its count goes back either way.
        BoutState lineup = idleScore(0);
        lineup.rules.phase.phase = PhaseState::Lineup;
        BoutState timeout = lineup;
        timeout.rules.phase = {PhaseState::TeamTimeout, 60 * S, true};
        timeout.rules.timeoutsTaken[0] = 1;
        UndoHistory phases;
        phases.record(lineup, timeout);
        QCOMPARE(phases.undo(timeout)->rules.phase, lineup.rules.phase);
        QCOMPARE(phases.redo(lineup)->rules.phase, timeout.rules.phase);
        BoutState jam = timeout;
        jam.rules.phase.phase = PhaseState::Jam;
        const std::optional<BoutState> kept = phases.undo(jam);
        QCOMPARE(kept->rules.phase.phase, int(PhaseState::Jam));
        QCOMPARE(kept->rules.timeoutsTaken[0], 0);
    }

    // The bout's record names each row's phase, blank where the bout was
    // not run by the clock.
    void recordSaysThePhase()
    {
        BoutState timeout = idleScore(0);
        timeout.rules.phase.phase = PhaseState::TeamTimeout;
        QList<JournalRow> rows(2);
        rows[0].state = idleScore(3);
        rows[1].state = timeout;
        const QList<QByteArray> lines = boutRecordCsv(rows, {}).split('\n');
        QVERIFY(lines[1].trimmed().endsWith(",jam number,phase"));
        QVERIFY(lines[2].trimmed().endsWith(",,"));
        QVERIFY(lines[3].trimmed().endsWith(",timeout"));
    }

private:
    static BoutState idleScore(int score)
    {
        BoutState s;
        s.numbers[BoutState::HomeScore] = score;
        return s;
    }
};

QTEST_MAIN(tst_BoutState)
#include "tst_boutstate.moc"
