#include "BoutTexts.h"

#include "FixedTime.h"
#include "LedCells.h"

namespace {

const FixedTime LastMinute = FixedTime::fromTicks(599000); // 59.9 s

QString clock(float value, const QString &units, const QString &lengths)
{
    return clockCells(value, GroupUnits::parse(units), parseGroupLengths(lengths))
        .toText()
        .trimmed();
}

// "1,2" as the jam and penalty displays have it, "2,2" as the period's.
QString minutesSecondsIn(std::int64_t ticks, const QString &lengths)
{
    return clock(float(FixedTime::fromTicks(ticks).displaySeconds()), QStringLiteral("60,1"),
                 lengths);
}

} // namespace

namespace BoutTexts {

QString minutesSeconds(std::int64_t ticks)
{
    // Two minute digits: a period time of 10:00 or more reads as itself,
    // and any shorter time reads as the one-digit displays show it.
    return minutesSecondsIn(ticks, QStringLiteral("2,2"));
}

QString periodClock(const BoutState &state)
{
    const FixedTime t = FixedTime::fromTicks(state.keepers[BoutState::Period].ticks);
    if (t > LastMinute)
        return minutesSecondsIn(t.ticks(), QStringLiteral("2,2"));
    return clock(t.toFloat(), QStringLiteral("1,.1"), QStringLiteral("2,2"));
}

QString jamClock(const BoutState &state)
{
    return minutesSecondsIn(state.keepers[BoutState::Jam].ticks, QStringLiteral("1,2"));
}

QString penalty(const BoutState &state, int keeper)
{
    if (state.penaltyBlank[size_t(keeper - BoutState::HomePenalty1)])
        return QString();
    return minutesSecondsIn(state.keepers[size_t(keeper)].ticks, QStringLiteral("1,2"));
}

QString number(const BoutState &state, int number)
{
    const int value = state.numbers[size_t(number)];
    return value == -1 ? QString() : QString::number(value);
}

} // namespace BoutTexts
