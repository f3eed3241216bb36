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

} // namespace

namespace BoutTexts {

QString minutesSeconds(std::int64_t ticks)
{
    return clock(float(FixedTime::fromTicks(ticks).displaySeconds()), QStringLiteral("60,1"),
                 QStringLiteral("1,2"));
}

QString periodClock(const BoutState &state)
{
    const FixedTime t = FixedTime::fromTicks(state.keepers[BoutState::Period].ticks);
    if (t > LastMinute)
        return clock(float(t.displaySeconds()), QStringLiteral("60,1"), QStringLiteral("2,2"));
    return clock(t.toFloat(), QStringLiteral("1,.1"), QStringLiteral("2,2"));
}

QString jamClock(const BoutState &state)
{
    return minutesSeconds(state.keepers[BoutState::Jam].ticks);
}

QString penalty(const BoutState &state, int keeper)
{
    if (state.penaltyBlank[size_t(keeper - BoutState::HomePenalty1)])
        return QString();
    return minutesSeconds(state.keepers[size_t(keeper)].ticks);
}

QString number(const BoutState &state, int number)
{
    const int value = state.numbers[size_t(number)];
    return value == -1 ? QString() : QString::number(value);
}

} // namespace BoutTexts
