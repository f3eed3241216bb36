#include "PhaseAway.h"

#include <algorithm>
#include <vector>

void followPhaseAway(const BoutState &from, BoutState &to, int periods,
                     std::int64_t intermissionTicks)
{
    if (from.rules.phase.phase == PhaseState::Off)
        return;
    struct End {
        std::int64_t atNs;
        BoutPhase::Input input;
    };
    std::vector<End> ends;
    const auto ranOut = [&](int keeper, BoutPhase::Input input) {
        const KeeperState &was = from.keepers[size_t(keeper)];
        const KeeperState &is = to.keepers[size_t(keeper)];
        if (was.running && !is.running && is.ticks == 0)
            ends.push_back({from.monotonicNs + was.ticks * 100000, input});
    };
    ranOut(BoutState::Jam, BoutPhase::JamOut);
    ranOut(BoutState::Period, BoutPhase::PeriodOut);
    // In the order they came; at one moment the jam ends first, as the
    // refresh ends it.
    std::stable_sort(ends.begin(), ends.end(),
                     [](const End &a, const End &b) { return a.atNs < b.atNs; });

    PhaseState &phase = to.rules.phase;
    BoutPhase::Context c;
    c.scores = {std::max(0, to.numbers[BoutState::HomeScore]),
                std::max(0, to.numbers[BoutState::VisitorScore])};
    c.period = std::max(1, to.numbers[BoutState::PeriodNumber]);
    c.periods = periods;
    c.intermissionTicks = intermissionTicks;
    for (const End &end : ends) {
        c.nowNs = end.atNs;
        const BoutPhase::Step step = BoutPhase::next(phase, end.input, c);
        if (!step.acted)
            continue;
        phase = step.state;
        // As the board clears a caption with a phase of its own.
        if (phase.phase != PhaseState::TeamTimeout && phase.phase != PhaseState::OfficialTimeout &&
            phase.phase != PhaseState::Review && to.rules.status != BoutState::NoStatus) {
            to.rules.status = BoutState::NoStatus;
            ++to.rules.statusChanges;
        }
    }
}
