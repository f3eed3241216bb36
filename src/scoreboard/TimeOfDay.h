#pragma once

#include <QString>
#include <QTime>

// The local time of day, now.
QTime systemTimeOfDay();

// The system's time format: the long one, as the time of day is written.
QString systemTimeFormat();

// Whether a time format writes the hour on a 12-hour clock. Qt's rule: a
// format with an AM/PM marker ("AP", "ap", "A", "a") outside quoted text.
bool usesTwelveHourClock(QStringView format);

struct HoursMinutes {
    int hours = 0;
    int minutes = 0;
};

// Hours and minutes of a time, the hour as a 12- or 24-hour clock writes
// it: 14:05 is 2:05 on a 12-hour clock, midnight 12:00 there and 0:00 on a
// 24-hour one.
HoursMinutes hoursMinutes(QTime time, bool twelveHour);
