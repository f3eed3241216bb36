#pragma once

#include "BoutState.h"

// A bout run by the clock after time away (the program not running): the
// jam's and the period's clocks that ran out meanwhile ended the jam and the
// period at the moments they did, so the lineup or the intermission that
// followed has counted on since. `from` is the bout as it was left, `to` the
// same bout with its clocks advanced (BoutClocks); `to`'s phase is moved on.
// A timeout's or the intermission's own clock is followed by the board from
// the phase itself.
void followPhaseAway(const BoutState &from, BoutState &to, int periods,
                     std::int64_t intermissionTicks);
