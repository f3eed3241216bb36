#include "BoutClocks.h"

#include <algorithm>

BoutState advanced(const BoutState &state, std::int64_t elapsedTicks, bool holdPeriodSound)
{
    const std::int64_t elapsed = std::max<std::int64_t>(0, elapsedTicks);
    BoutState s = state;
    KeeperState &period = s.keepers[BoutState::Period];
    KeeperState &jam = s.keepers[BoutState::Jam];

    const bool periodEnds = period.running && period.ticks <= elapsed;
    const bool jamEnds = jam.running && jam.ticks <= elapsed;
    const std::int64_t periodEndsAt = period.ticks;
    const std::int64_t jamEndsAt = jam.ticks;
    const std::int64_t periodRan = periodEnds ? periodEndsAt : elapsed;

    for (int k = BoutState::HomePenalty1; k < BoutState::KeeperCount; ++k) {
        KeeperState &penalty = s.keepers[size_t(k)];
        // The period's end stops every penalty clock, as its key does.
        if (periodEnds)
            ++penalty.switches;
        if (!penalty.running)
            continue;
        // Running with the period, a penalty stops when the period does.
        const std::int64_t ran = period.running ? periodRan : elapsed;
        penalty.ticks = std::max<std::int64_t>(0, penalty.ticks - ran);
        if (periodEnds)
            penalty.running = false;
    }
    if (period.running) {
        period.ticks = std::max<std::int64_t>(0, period.ticks - elapsed);
        period.running = !periodEnds;
        period.switches += periodEnds ? 1 : 0;
    }
    if (jam.running) {
        jam.ticks = std::max<std::int64_t>(0, jam.ticks - elapsed);
        jam.running = !jamEnds;
        jam.switches += jamEnds ? 1 : 0;
    }

    // The ends in the order they came; at the same moment the refresh stops
    // the jam first (the nested refresh), so nothing is held.
    const auto endPeriod = [&](bool jamStillRuns) {
        if (s.endSounded[1])
            return;
        s.endSounded[1] = true;
        if (holdPeriodSound && jamStillRuns)
            s.suppressedPeriodSound = true;
    };
    const auto endJam = [&] {
        if (s.endSounded[0])
            return;
        s.endSounded[0] = true;
        // A held period-end sound is the one the jam's end plays.
        s.suppressedPeriodSound = false;
    };
    if (periodEnds && jamEnds) {
        if (jamEndsAt <= periodEndsAt) {
            endJam();
            endPeriod(false);
        } else {
            endPeriod(true);
            endJam();
        }
    } else if (periodEnds) {
        endPeriod(jam.running);
    } else if (jamEnds) {
        endJam();
    }

    // What the next refresh clears, as it would.
    if (period.ticks > 0) {
        s.endSounded[1] = false;
        s.suppressedPeriodSound = false;
    }
    if (jam.ticks > 0)
        s.endSounded[0] = false;
    s.monotonicNs = state.monotonicNs + elapsed * 100000;
    s.wallMs = state.wallMs + elapsed / 10;
    return s;
}
