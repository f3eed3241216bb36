#include "BoutChange.h"

#include "BoutTexts.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

// Two readings of a keeper that counted on between them may differ by the
// rounding of the moments; a start or stop takes the time of one reading.
constexpr std::int64_t Tolerance = 2;

const char *const KeeperTitles[] = {"Period clock",   "Jam clock",         "Home penalty 1",
                                    "Home penalty 2", "Visitor penalty 1", "Visitor penalty 2"};
const char *const NumberTitles[] = {"Home score", "Visitor score", "Period"};
// The action kinds as the journal names them, in OperatorAction::Kind order.
const char *const KindNames[] = {"typedValue",       "adjust",   "clear", "penaltyIncrement",
                                 "typedPenaltyTime", "reset",    "start", "stop",
                                 "timeOfDaySwitch",  "boutRule", "other"};

QString title(const char *const *titles, int i)
{
    return QString::fromLatin1(titles[i]);
}

// The bout run by the clock: a phase the other words do not already tell
// (a jam by its clock, a timeout or review by its count), the last jam, the
// lead, and a phase clock set. True when any of them changed.
bool describePhaseChange(const PhaseState &was, const PhaseState &now, std::int64_t moment,
                         QStringList &parts)
{
    const QString teams[] = {QStringLiteral("Home"), QStringLiteral("Visitor")};
    bool changed = false;
    if (now.phase != was.phase) {
        changed = true;
        // A jam is told by its clock, a timeout or review by its count.
        const char *const words[] = {"",         "Lineup",           "", "", "", "",
                                     "Halftime", "Unofficial score", "Final score", "Overtime"};
        static_assert(std::size(words) == PhaseState::PhaseCount);
        if (*words[now.phase])
            parts << QString::fromLatin1(words[now.phase]);
    } else if (std::abs(now.clockAt(moment) - was.clockAt(moment)) > Tolerance) {
        changed = true;
        parts << QStringLiteral("%1 clock set to %2")
                     .arg(QString::fromLatin1(PhaseState::phaseName(now.phase)))
                     .arg(BoutTexts::minutesSeconds(now.clockAt(moment)));
    }
    if (now.lastJam && !was.lastJam && now.phase == PhaseState::Jam) {
        changed = true;
        parts << QStringLiteral("Last jam");
    }
    if (now.lead != was.lead) {
        changed = true;
        parts << (now.lead >= 0 ? teams[now.lead] + QStringLiteral(" lead")
                                : teams[was.lead] + QStringLiteral(" lead taken back"));
    }
    return changed;
}

} // namespace

std::int64_t keeperTimeChange(const BoutState &before, const BoutState &after, int keeper)
{
    const std::int64_t moment = std::max(before.monotonicNs, after.monotonicNs);
    const std::int64_t change = after.ticksAt(keeper, moment) - before.ticksAt(keeper, moment);
    // A keeper started or stopped between the two readings ran for part of
    // the time between them, however long a busy machine made it.
    const bool flipped =
        before.keepers[size_t(keeper)].running != after.keepers[size_t(keeper)].running;
    const std::int64_t readingsApart =
        flipped ? std::abs(after.monotonicNs - before.monotonicNs) / 100000 : 0;
    return std::abs(change) > Tolerance + readingsApart ? change : 0;
}

bool keeperTimeChanged(const BoutState &before, const BoutState &after, int keeper)
{
    return keeperTimeChange(before, after, keeper) != 0;
}

bool keeperChanged(const BoutState &before, const BoutState &after, int keeper)
{
    const KeeperState &was = before.keepers[size_t(keeper)];
    const KeeperState &is = after.keepers[size_t(keeper)];
    return was.running != is.running || was.switches != is.switches ||
           keeperTimeChanged(before, after, keeper);
}

BoutChange describeChange(const BoutState &before, const BoutState &after, bool byOperator)
{
    QStringList parts;
    bool valueChanged = false;

    for (int n = 0; n < BoutState::NumberCount; ++n) {
        const int value = after.numbers[size_t(n)];
        if (value == before.numbers[size_t(n)])
            continue;
        valueChanged = true;
        parts << title(NumberTitles, n) + u' ' +
                     (value == -1 ? QStringLiteral("cleared") : QString::number(value));
    }

    const bool periodFlipped =
        before.keepers[BoutState::Period].running != after.keepers[BoutState::Period].running;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        const KeeperState &now = after.keepers[size_t(k)];
        const bool isPenalty = k >= BoutState::HomePenalty1;
        const int penalty = k - BoutState::HomePenalty1;
        if (isPenalty &&
            before.penaltyBlank[size_t(penalty)] != after.penaltyBlank[size_t(penalty)]) {
            valueChanged = true;
            parts << title(KeeperTitles, k) + u' ' +
                         (after.penaltyBlank[size_t(penalty)] ? QStringLiteral("cleared")
                                                              : BoutTexts::penalty(after, k));
            continue;
        }
        const bool timeChanged = keeperTimeChanged(before, after, k);
        if (!timeChanged && now.running == before.keepers[size_t(k)].running)
            continue;
        if (timeChanged) {
            valueChanged = true;
            const std::int64_t resetTo = k == BoutState::Jam      ? after.jamResetTicks
                                         : k == BoutState::Period ? after.periodResetTicks
                                                                  : -1;
            const std::int64_t resetBefore = k == BoutState::Jam      ? before.jamResetTicks
                                             : k == BoutState::Period ? before.periodResetTicks
                                                                      : -1;
            if (now.ticks == resetTo && resetTo == resetBefore)
                parts << title(KeeperTitles, k) + QStringLiteral(" reset");
            else if (isPenalty)
                parts << title(KeeperTitles, k) + u' ' + BoutTexts::penalty(after, k);
            else
                parts << title(KeeperTitles, k) + QStringLiteral(" set to ") +
                             BoutTexts::minutesSeconds(now.ticks);
            continue;
        }
        // Started or stopped. Penalties that follow the period say nothing
        // of their own.
        if (isPenalty && periodFlipped && now.running == after.keepers[BoutState::Period].running)
            continue;
        if (!now.running && now.ticks == 0 && !byOperator)
            parts << title(KeeperTitles, k) + QStringLiteral(" ran out");
        else
            parts << title(KeeperTitles, k) +
                         (now.running ? QStringLiteral(" started") : QStringLiteral(" stopped"));
    }

    const BoutState::Rules &was = before.rules;
    const BoutState::Rules &now = after.rules;
    if (now.jamNumber != was.jamNumber) {
        // The count of jams moves with each new jam by itself; only a
        // number typed over it is the operator's value.
        parts << (now.jamNumber < 0 ? QStringLiteral("Jam number cleared")
                                    : QStringLiteral("Jam %1").arg(now.jamNumber));
        valueChanged = valueChanged || !(now.jamNumber == was.jamNumber + 1 &&
                                         !before.keepers[BoutState::Jam].running &&
                                         after.keepers[BoutState::Jam].running);
    }
    const QString teams[] = {QStringLiteral("Home"), QStringLiteral("Visitor")};
    for (size_t t = 0; t < 2; ++t) {
        if (now.timeoutsTaken[t] != was.timeoutsTaken[t]) {
            parts << teams[t] + (now.timeoutsTaken[t] > was.timeoutsTaken[t]
                                     ? QStringLiteral(" team timeout")
                                     : QStringLiteral(" team timeout given back"));
            valueChanged = true;
        }
        // A new period gives the reviews back by itself.
        const bool newPeriod =
            after.numbers[BoutState::PeriodNumber] != before.numbers[BoutState::PeriodNumber];
        if (now.reviewsTaken[t] != was.reviewsTaken[t] && !newPeriod) {
            parts << teams[t] + (now.reviewsTaken[t] > was.reviewsTaken[t]
                                     ? QStringLiteral(" official review")
                                     : QStringLiteral(" review retained"));
            valueChanged = true;
        }
    }
    if (now.status == BoutState::OfficialTimeout && was.status != BoutState::OfficialTimeout) {
        parts << QStringLiteral("Official timeout");
        valueChanged = true;
    }
    if (describePhaseChange(was.phase, now.phase, std::max(before.monotonicNs, after.monotonicNs),
                            parts))
        valueChanged = true;
    if (after.clockTime != before.clockTime)
        parts << (after.clockTime ? QStringLiteral("Time of day shown")
                                  : QStringLiteral("Period time shown"));
    if (after.jamResetTicks != before.jamResetTicks ||
        after.periodResetTicks != before.periodResetTicks)
        valueChanged = true;

    return {parts.join(QStringLiteral(", ")), byOperator && valueChanged};
}

bool OperatorAction::undoable() const
{
    if (!describeChange(before, after, true).undoable)
        return false; // no value changed
    switch (kind) {
    case TypedValue:
    case Adjust:
    case Clear:
    case PenaltyIncrement:
    case TypedPenaltyTime:
    case Reset:
    case BoutRule:
        return true;
    case Start:
    case Stop:
    case TimeOfDaySwitch:
    case Other:
        break;
    }
    return false;
}

QString OperatorAction::description() const
{
    if (kind != Start && kind != Stop && kind != BoutRule)
        return describeChange(before, after, true).description;
    // Told by what started or stopped, never by how far the clocks moved
    // between the readings: a busy machine may read a moment late. A
    // timeout stops the period clock; what else it did follows.
    const bool periodFlipped =
        before.keepers[BoutState::Period].running != after.keepers[BoutState::Period].running;
    QStringList parts;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        const bool running = after.keepers[size_t(k)].running;
        if (before.keepers[size_t(k)].running == running)
            continue;
        // Penalties that follow the period say nothing of their own.
        if (k >= BoutState::HomePenalty1 && periodFlipped &&
            running == after.keepers[BoutState::Period].running)
            continue;
        parts << title(KeeperTitles, k) +
                     (running ? QStringLiteral(" started") : QStringLiteral(" stopped"));
    }
    if (kind == BoutRule) {
        BoutState clocksAsAfter = before;
        clocksAsAfter.keepers = after.keepers;
        clocksAsAfter.monotonicNs = after.monotonicNs;
        const QString rest = describeChange(clocksAsAfter, after, true).description;
        if (!rest.isEmpty())
            parts << rest;
    }
    return parts.join(QStringLiteral(", "));
}

QByteArray OperatorAction::toJson() const
{
    const QJsonObject o{{QStringLiteral("kind"), QString::fromLatin1(KindNames[kind])},
                        {QStringLiteral("display"), display},
                        {QStringLiteral("before"), before.toJsonObject()}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<OperatorAction> OperatorAction::fromJson(const QByteArray &json,
                                                       const BoutState &after)
{
    const QJsonObject o = QJsonDocument::fromJson(json).object();
    const QString kindName = o.value(QStringLiteral("kind")).toString();
    const auto known =
        std::find_if(std::begin(KindNames), std::end(KindNames),
                     [&kindName](const char *name) { return kindName == QLatin1String(name); });
    const std::optional<BoutState> before =
        BoutState::fromJsonObject(o.value(QStringLiteral("before")).toObject());
    if (known == std::end(KindNames) || !before)
        return std::nullopt;
    OperatorAction action;
    action.kind = Kind(known - std::begin(KindNames));
    action.display = std::clamp(o.value(QStringLiteral("display")).toInt(-1), -1, 8);
    action.before = *before;
    action.after = after;
    return action;
}
