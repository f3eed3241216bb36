// The phases of a bout run by the clock: each phase against each key and
// each clock running out, as the rules of the game read.
#include "BoutPhase.h"
#include "BoutClocks.h"
#include "BoutState.h"
#include "PhaseAway.h"

#include <QTest>

using namespace BoutPhase;

namespace {

constexpr std::int64_t S = 10000;
constexpr std::int64_t Intermission = 900 * S;

// The phases a row starts from; "last jam" is a jam whose period clock ran out.
struct From {
    const char *name;
    int phase;
    bool lastJam;
};
const From Froms[] = {{"lineup", PhaseState::Lineup, false},
                      {"jam", PhaseState::Jam, false},
                      {"last jam", PhaseState::Jam, true},
                      {"home timeout", PhaseState::TeamTimeout, false},
                      {"official timeout", PhaseState::OfficialTimeout, false},
                      {"home review", PhaseState::Review, false},
                      {"halftime", PhaseState::Halftime, false},
                      {"unofficial", PhaseState::Unofficial, false},
                      {"final", PhaseState::Final, false},
                      {"overtime", PhaseState::OvertimeLineup, false}};

const char *const InputNames[InputCount] = {"J",
                                            "H",
                                            "V",
                                            "O",
                                            "Q",
                                            "W",
                                            "final",
                                            "home lead",
                                            "vis. lead",
                                            "jam runs out",
                                            "period runs out",
                                            "own clock runs out",
                                            "score typed"};

// What follows, in the first period of two, the visitor's jammer lead: the
// next phase and what the board must do (J a new jam, P the period clock
// starts, S it stops, N the next period; lead0 home lead, lead- none, last
// the period ends with this jam). "=" nothing happens.
// clang-format off
const char *const Table[][InputCount] = {
 // J              H            V            O                    Q           W           final    home lead  vis. lead  jam out    period out  own clock out  score typed
 {"jam J P",       "timeout S", "timeout S", "official timeout S", "review S", "review S", "=",     "lineup lead0", "lineup lead-", "=", "halftime", "=", "="},       // lineup
 {"lineup",        "=",         "=",         "=",                 "=",        "=",        "=",     "jam lead0", "jam lead-", "lineup",   "jam last", "=", "="},       // jam
 {"halftime",      "=",         "=",         "=",                 "=",        "=",        "=",     "jam last lead0", "jam last lead-", "halftime", "jam last", "=", "="}, // last jam
 {"jam J P",       "lineup",    "timeout S", "official timeout S", "review S", "review S", "=",     "=",       "=",        "=",        "halftime", "lineup", "="},  // home timeout
 {"jam J P",       "timeout S", "timeout S", "lineup",            "review S", "review S", "=",     "=",       "=",        "=",        "halftime", "=", "="},       // official
 {"jam J P",       "timeout S", "timeout S", "official timeout S", "lineup",   "review S", "=",     "=",       "=",        "=",        "halftime", "=", "="},       // home review
 {"jam J P N",     "=",         "=",         "=",                 "=",        "=",        "=",     "=",       "=",        "=",        "=",        "lineup N", "="}, // halftime
 {"=",             "=",         "=",         "=",                 "=",        "=",        "final", "=",       "=",        "=",        "=",        "=", "="},       // unofficial
 {"=",             "=",         "=",         "=",                 "=",        "=",        "=",     "=",       "=",        "=",        "=",        "=", "="},       // final
 {"jam J last",    "=",         "=",         "=",                 "=",        "=",        "=",     "=",       "=",        "=",        "=",        "=", "unofficial"},       // overtime
};
// clang-format on

PhaseState from(const From &f)
{
    PhaseState s;
    s.phase = f.phase;
    s.lastJam = f.lastJam;
    s.lead = 1;
    s.clockRunning = f.phase != PhaseState::Jam && f.phase != PhaseState::Unofficial &&
                     f.phase != PhaseState::Final;
    s.clockTicks = s.countsDown() ? 30 * S : 20 * S;
    if (f.phase == PhaseState::TeamTimeout || f.phase == PhaseState::Review)
        s.timeoutTeam = 0;
    return s;
}

int phaseNamed(const QString &name)
{
    for (int p = 0; p < PhaseState::PhaseCount; ++p) {
        if (name == QLatin1String(PhaseState::phaseName(p)))
            return p;
    }
    return -1;
}

} // namespace

class tst_BoutPhase : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void phaseTable_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("input");
        for (int r = 0; r < int(std::size(Froms)); ++r) {
            for (int i = 0; i < InputCount; ++i)
                QTest::addRow("%s, %s", Froms[r].name, InputNames[i]) << r << i;
        }
    }

    void phaseTable()
    {
        QFETCH(int, row);
        QFETCH(int, input);
        const PhaseState before = from(Froms[row]);
        const Context c{5'000'000'000, {7, 3}, 1, 2, Intermission};
        const Step step = next(before, Input(input), c);
        const QString expected = QString::fromLatin1(Table[row][input]);
        if (expected == QLatin1String("=")) {
            QVERIFY(!step.acted);
            QCOMPARE(step.state, before);
            return;
        }
        QVERIFY(step.acted);
        // The phase's name may have spaces; the flags are single words after it.
        QStringList words = expected.split(u' ');
        QStringList flags;
        while (words.size() > 1 && phaseNamed(words.join(u' ')) < 0)
            flags.prepend(words.takeLast());
        const int phase = phaseNamed(words.join(u' '));
        QVERIFY2(phase > 0, qPrintable(expected));
        QCOMPARE(step.state.phase, phase);
        QCOMPARE(step.startJam, flags.contains(QLatin1String("J")));
        QCOMPARE(step.startPeriod, flags.contains(QLatin1String("P")));
        QCOMPARE(step.stopPeriod, flags.contains(QLatin1String("S")));
        QCOMPARE(step.nextPeriod, flags.contains(QLatin1String("N")));
        QCOMPARE(step.state.lastJam, flags.contains(QLatin1String("last")));
        const int lead = flags.contains(QLatin1String("lead0"))                    ? 0
                         : flags.contains(QLatin1String("lead-")) || step.startJam ? -1
                                                                                   : before.lead;
        QCOMPARE(step.state.lead, lead);
        if (step.startJam)
            QCOMPARE(step.state.jamStartScore, c.scores);
        // Halftime keeps which period ended, for the next one after it.
        QCOMPARE(step.state.periodEnded, phase == PhaseState::Halftime ? c.period : 0);
        // A phase entered starts its clock: a team timeout a minute down, the
        // intermission its length down, the others up from nothing.
        if (phase != before.phase || phase == PhaseState::Review ||
            phase == PhaseState::TeamTimeout) {
            const std::int64_t start = phase == PhaseState::TeamTimeout ? 60 * S
                                       : phase == PhaseState::Halftime  ? Intermission
                                                                        : 0;
            const bool runs = phase != PhaseState::Jam && phase != PhaseState::Unofficial &&
                              phase != PhaseState::Final;
            QCOMPARE(step.state.clockRunning, runs);
            if (runs)
                QCOMPARE(step.state.clockAt(c.nowNs), start);
        }
    }

    // The last period's end: a tie goes to overtime, and an overtime jam
    // ends the bout unless it is still tied.
    void endOfBout_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<bool>("lastJam");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("visitorScore");
        QTest::addColumn<int>("expected");
        const int J = JamKey, Out = PeriodOut;
        QTest::newRow("last jam ends ahead")
            << int(PhaseState::Jam) << true << J << 3 << int(PhaseState::Unofficial);
        QTest::newRow("last jam ends tied")
            << int(PhaseState::Jam) << true << J << 7 << int(PhaseState::OvertimeLineup);
        QTest::newRow("runs out in a lineup")
            << int(PhaseState::Lineup) << false << Out << 3 << int(PhaseState::Unofficial);
        QTest::newRow("runs out in a timeout tied") << int(PhaseState::OfficialTimeout) << false
                                                    << Out << 7 << int(PhaseState::OvertimeLineup);
        // Scores put right before they are final.
        const int Typed = ScoreTyped, Final = FinalKey;
        QTest::newRow("unofficial put right to a tie")
            << int(PhaseState::Unofficial) << false << Typed << 7 << int(PhaseState::OvertimeLineup);
        QTest::newRow("no final score on a tie")
            << int(PhaseState::Unofficial) << false << Final << 7 << int(PhaseState::Unofficial);
        QTest::newRow("overtime put right, no tie")
            << int(PhaseState::OvertimeLineup) << false << Typed << 3 << int(PhaseState::Unofficial);
    }

    void endOfBout()
    {
        QFETCH(int, phase);
        QFETCH(bool, lastJam);
        QFETCH(int, input);
        QFETCH(int, visitorScore);
        QFETCH(int, expected);
        PhaseState s;
        s.phase = phase;
        s.lastJam = lastJam;
        const Step step = next(s, Input(input), Context{0, {7, visitorScore}, 2, 2, Intermission});
        QCOMPARE(step.state.phase, expected);
        QVERIFY(!step.nextPeriod && !step.startJam);
    }

    // Resumed after time away: what ran out meanwhile ended when it did,
    // and the phase after it has counted since. First period of two.
    void resumedAfterTimeAway_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<int>("periodLeft"); // seconds; the period clock runs
        QTest::addColumn<int>("jamLeft");    // seconds; -1: no jam runs
        QTest::addColumn<int>("away");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("clockThen"); // the phase's clock at the end of `away`
        const int L = PhaseState::Lineup, J = PhaseState::Jam, H = PhaseState::Halftime;
        QTest::newRow("the jam ran out: a lineup since") << J << 300 << 5 << 20 << L << 15;
        QTest::newRow("the period ran out in the lineup") << L << 5 << -1 << 8 << H << 897;
        QTest::newRow("the period, then the jam: halftime from the jam's end")
            << J << 3 << 10 << 20 << H << 890;
        QTest::newRow("the jam, then the period in the lineup") << J << 20 << 5 << 30 << H << 890;
        QTest::newRow("nothing ran out") << J << 300 << 50 << 20 << J << 0;
    }
    void resumedAfterTimeAway()
    {
        QFETCH(int, phase);
        QFETCH(int, periodLeft);
        QFETCH(int, jamLeft);
        QFETCH(int, away);
        QFETCH(int, expected);
        QFETCH(int, clockThen);
        BoutState left;
        left.monotonicNs = 1'000'000'000'000;
        left.numbers = {3, 1, 1};
        left.keepers[BoutState::Period] = {periodLeft * S, true};
        left.keepers[BoutState::Jam] = {std::max(0, jamLeft) * S, jamLeft >= 0};
        left.rules.phase.phase = phase;
        left.rules.phase.clockRunning = phase == PhaseState::Lineup;
        left.rules.phase.clockAtNs = left.monotonicNs;
        BoutState back = advanced(left, away * S, false);
        followPhaseAway(left, back, 2, Intermission);
        QCOMPARE(back.rules.phase.phase, expected);
        QCOMPARE(back.rules.phase.clockAt(back.monotonicNs) / S, clockThen);
    }

    void clocksAndJson()
    {
        // Counting down stops at zero; counting up goes on.
        PhaseState s = next(from(Froms[0]), HomeTimeoutKey, Context{}).state;
        QCOMPARE(s.clockAt(59'000'000'000), 1 * S);
        QCOMPARE(s.clockAt(61'000'000'000), 0);
        // Shown as whole seconds: 0:01 down to the very end, 0:03 up only
        // once three have passed.
        QCOMPARE(s.shownSeconds(59'999'000'000), 1);
        s = next(s, ClockOut, Context{61'000'000'000}).state;
        QCOMPARE(s.clockAt(64'500'000'000), 35000);
        QCOMPARE(s.shownSeconds(64'500'000'000), 3);
        QCOMPARE(s.shownSeconds(61'001'000'000), 0);

        BoutState b;
        b.rules.phase = s;
        QCOMPARE(BoutState::fromJson(b.toJson())->rules.phase, s);
        // A state written before the phases reads as off.
        b.rules.phase = {};
        QVERIFY(!b.toJson().contains("phase"));
        QCOMPARE(BoutState::fromJson(b.toJson())->rules.phase.phase, int(PhaseState::Off));
    }
};

QTEST_GUILESS_MAIN(tst_BoutPhase)
#include "tst_boutphase.moc"
