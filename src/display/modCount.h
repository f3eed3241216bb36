#pragma once

#include "FixedTime.h"

#include <QString>

class QObject;

// Times typed into a clock display: minutes, optionally a point and up to
// two digits of seconds, optionally one digit of tenths, then Enter.
namespace modCount {

// The characters typed so far, and the name of the display they belong to.
// One buffer for all clock displays.
inline QString TypedTime;
inline QString TypedTimeOwner;

// The value that means "no time".
inline const FixedTime NoTime = FixedTime::fromSeconds(-1);

// Feeds one typed character (a character code; 13 is Enter) to the display's
// entry. Returns the entered time when Enter completes a valid time of at
// most maxSeconds, NoTime otherwise.
FixedTime TimeEntryKey(const QObject *display, int keyChar, std::int32_t maxSeconds);

// The time a typed text denotes, or NoTime.
FixedTime ParseTypedTime(const QString &text);

} // namespace modCount
