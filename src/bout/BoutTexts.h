#pragma once

#include "BoutState.h"

#include <QString>

// What the board's displays show for a bout state, as plain text: "12:31",
// "59.4" in the period's last minute, "2:00", "57", and "" for a blank
// display. The period clock is the game time even while the board shows
// the time of day.
namespace BoutTexts {

QString periodClock(const BoutState &state);
QString jamClock(const BoutState &state);
QString penalty(const BoutState &state, int keeper);
QString number(const BoutState &state, int number);
// A time in minutes and seconds as a clock shows it ("1:30", "15:00"), up
// to 99:59.
QString minutesSeconds(std::int64_t ticks);

} // namespace BoutTexts
