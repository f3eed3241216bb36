#pragma once

#include <QString>

// The local time of day as the system writes it ("14:05:33", "2:05:33 PM").
QString systemTimeText();

struct HoursMinutes {
    int hours = 0;
    int minutes = 0;
};

// Hours and minutes of a time text split at ":". A format that does not
// separate them by ":" gives its first two runs of digits instead.
HoursMinutes splitTimeText(const QString &text);
