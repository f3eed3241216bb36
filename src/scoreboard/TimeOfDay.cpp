#include "TimeOfDay.h"

#include <QLocale>

QTime systemTimeOfDay()
{
    return QTime::currentTime();
}

QString systemTimeFormat()
{
    return QLocale::system().timeFormat(QLocale::LongFormat);
}

bool usesTwelveHourClock(QStringView format)
{
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        else if (!quoted && (c == u'a' || c == u'A'))
            return true;
    }
    return false;
}

HoursMinutes hoursMinutes(QTime time, bool twelveHour)
{
    int hours = time.hour();
    if (twelveHour) {
        hours %= 12;
        if (hours == 0)
            hours = 12;
    }
    return {hours, time.minute()};
}
