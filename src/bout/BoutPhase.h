#pragma once

#include <QJsonObject>
#include <array>
#include <cstdint>

// Where a bout run by the clock stands, as a plain value: the phase, the
// clock of the time between jams (lineup, timeout, intermission), the lead
// jammer and what the jam started from. Off while the bout is not run by
// the clock.
struct PhaseState {
    enum Phase {
        Off,
        Lineup,
        Jam,
        TeamTimeout,
        OfficialTimeout,
        Review,
        Halftime,
        Unofficial,
        Final,
        OvertimeLineup
    };
    static constexpr int PhaseCount = 10;

    int phase = Off;
    // The phase's clock, in 1/10000 s, as it stood at `clockAtNs` (this
    // process's steady clock). It moves only when the phase changes, so two
    // readings of one phase are equal.
    std::int64_t clockTicks = 0;
    bool clockRunning = false;
    std::int64_t clockAtNs = 0;
    int timeoutTeam = -1; // whose team timeout or review (0 home, 1 visitor)
    int lead = -1;        // the lead jammer's team, -1 none
    std::array<int, 2> jamStartScore = {0, 0};
    // The period's clock ran out in this jam, or it is an overtime jam: the
    // period ends with it.
    bool lastJam = false;
    // At halftime, the period that ended: the next is the one after it,
    // whatever the period number was typed to meanwhile.
    int periodEnded = 0;

    bool operator==(const PhaseState &) const = default;
    // The same phase, its moment apart: the bout resumed and the steps
    // rebuilt for undo place one run's moments on the next by different
    // clocks, which may differ by a little.
    bool samePhase(const PhaseState &o) const;

    // A team timeout lasts a minute; the intermission's length is a setting.
    static constexpr std::int64_t TeamTimeoutTicks = 60 * 10000;

    bool countsDown() const { return phase == TeamTimeout || phase == Halftime; }
    // The phase's clock at another moment: counting down it stops at zero.
    std::int64_t clockAt(std::int64_t ns) const;
    // The whole seconds shown then: a clock counting down shows a second
    // until that second has all gone, one counting up only once it has.
    std::int64_t shownSeconds(std::int64_t ns) const;

    // "lineup", "jam", ...; "" when off.
    static const char *phaseName(int phase);
    // Written only when not off; a text without it reads as off.
    QJsonObject toJsonObject() const;
    static PhaseState fromJsonObject(const QJsonObject &o);
};

// The phase rules. Each input gives the next state and what the board's own
// clocks and numbers must do for it.
namespace BoutPhase {

enum Input {
    JamKey, // a jam started or stopped (its key, or a stop by reset)
    HomeTimeoutKey,
    VisitorTimeoutKey,
    OfficialTimeoutKey,
    HomeReviewKey,
    VisitorReviewKey,
    FinalKey,
    HomeLeadKey,
    VisitorLeadKey,
    JamOut,    // the jam clock ran out
    PeriodOut, // the period clock ran out
    ClockOut,  // the phase's own clock ran out: a team timeout, the intermission
    ScoreTyped // a score corrected once the last period is over
};
static constexpr int InputCount = 13;

// What the board is at the input.
struct Context {
    std::int64_t nowNs = 0;
    std::array<int, 2> scores = {0, 0};
    int period = 1;
    int periods = 2;
    std::int64_t intermissionTicks = 900 * 10000;
};

struct Step {
    PhaseState state;
    bool acted = false;       // the input changed the phase or the lead
    bool startJam = false;    // a new jam: the jam clock from its reset value, next number
    bool startPeriod = false; // the period clock runs with that jam (if it stands)
    bool stopPeriod = false;  // a timeout stops the period clock
    bool nextPeriod = false;  // period number up, its clock reset, jams from 0, reviews back
};

// The state the option starts a bout in: between jams with the lineup
// clock standing, or in the jam running now.
PhaseState begin(bool jamRunning, const Context &c);

Step next(const PhaseState &state, Input input, const Context &c);

} // namespace BoutPhase
