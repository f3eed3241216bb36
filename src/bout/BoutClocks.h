#pragma once

#include "BoutState.h"

// The bout some time later with nobody at the keyboard: running keepers
// count down, and a jam or period that runs out meanwhile ends as the
// refresh would have ended it, only without a sound. Penalties that run with
// the period stop when it ends. `holdPeriodSound` is the setting that holds
// the period-end sound back while a jam runs. Negative time counts as none.
BoutState advanced(const BoutState &state, std::int64_t elapsedTicks, bool holdPeriodSound);
