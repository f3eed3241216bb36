#include "BoutPhase.h"

#include <QJsonArray>
#include <algorithm>
#include <cstdlib>

namespace {

constexpr const char *PhaseNames[] = {
    "",       "lineup",   "jam",        "timeout", "official timeout",
    "review", "halftime", "unofficial", "final",   "overtime"};
static_assert(std::size(PhaseNames) == PhaseState::PhaseCount);

// 99:59 is the most a clock between jams shows.
constexpr std::int64_t MaxTicks = 5999 * 10000;

} // namespace

const char *PhaseState::phaseName(int phase)
{
    return phase >= 0 && phase < PhaseCount ? PhaseNames[phase] : "";
}

std::int64_t PhaseState::clockAt(std::int64_t ns) const
{
    if (!clockRunning)
        return clockTicks;
    const std::int64_t passed = std::max<std::int64_t>(0, ns - clockAtNs) / 100000;
    return countsDown() ? std::max<std::int64_t>(0, clockTicks - passed)
                        : std::min(MaxTicks, clockTicks + passed);
}

bool PhaseState::samePhase(const PhaseState &o) const
{
    PhaseState moved = o;
    moved.clockAtNs = clockAtNs;
    return moved == *this && std::abs(o.clockAtNs - clockAtNs) < 1'000'000'000;
}

std::int64_t PhaseState::shownSeconds(std::int64_t ns) const
{
    const std::int64_t ticks = clockAt(ns);
    return countsDown() ? (ticks + 9999) / 10000 : ticks / 10000;
}

QJsonObject PhaseState::toJsonObject() const
{
    return QJsonObject{
        {QStringLiteral("phase"), QString::fromLatin1(phaseName(phase))},
        {QStringLiteral("clockTicks"), qint64(clockTicks)},
        {QStringLiteral("clockRunning"), clockRunning},
        {QStringLiteral("clockAtNs"), qint64(clockAtNs)},
        {QStringLiteral("timeoutTeam"), timeoutTeam},
        {QStringLiteral("lead"), lead},
        {QStringLiteral("jamStartScore"), QJsonArray{jamStartScore[0], jamStartScore[1]}},
        {QStringLiteral("lastJam"), lastJam},
        {QStringLiteral("periodEnded"), periodEnded},
    };
}

PhaseState PhaseState::fromJsonObject(const QJsonObject &o)
{
    PhaseState s;
    const QString name = o.value(QStringLiteral("phase")).toString();
    for (int p = 1; p < PhaseCount; ++p) {
        if (name == QLatin1String(PhaseNames[p]))
            s.phase = p;
    }
    if (s.phase == Off)
        return {};
    s.clockTicks =
        std::clamp<std::int64_t>(o.value(QStringLiteral("clockTicks")).toInteger(), 0, MaxTicks);
    s.clockRunning = o.value(QStringLiteral("clockRunning")).toBool();
    s.clockAtNs = o.value(QStringLiteral("clockAtNs")).toInteger();
    s.timeoutTeam = std::clamp(o.value(QStringLiteral("timeoutTeam")).toInt(-1), -1, 1);
    s.lead = std::clamp(o.value(QStringLiteral("lead")).toInt(-1), -1, 1);
    const QJsonArray start = o.value(QStringLiteral("jamStartScore")).toArray();
    s.jamStartScore = {std::clamp(start.at(0).toInt(), 0, 999),
                       std::clamp(start.at(1).toInt(), 0, 999)};
    s.lastJam = o.value(QStringLiteral("lastJam")).toBool();
    s.periodEnded = std::clamp(o.value(QStringLiteral("periodEnded")).toInt(), 0, 9);
    return s;
}

namespace BoutPhase {

PhaseState begin(bool jamRunning, const Context &c)
{
    PhaseState s;
    s.phase = jamRunning ? PhaseState::Jam : PhaseState::Lineup;
    s.clockAtNs = c.nowNs;
    s.jamStartScore = c.scores;
    return s;
}

Step next(const PhaseState &state, Input input, const Context &c)
{
    Step r{state};
    PhaseState &s = r.state;
    const auto enter = [&](int phase, std::int64_t ticks, bool running) {
        s.phase = phase;
        s.clockTicks = ticks;
        s.clockRunning = running;
        s.clockAtNs = c.nowNs;
        s.timeoutTeam = -1;
        s.periodEnded = 0;
        r.acted = true;
    };
    const bool tied = c.scores[0] == c.scores[1];
    const auto endPeriod = [&] {
        s.lastJam = false;
        if (c.period < c.periods) {
            enter(PhaseState::Halftime, c.intermissionTicks, true);
            s.periodEnded = c.period;
        } else if (tied)
            enter(PhaseState::OvertimeLineup, 0, true);
        else
            enter(PhaseState::Unofficial, 0, false);
    };
    const auto startJam = [&](bool overtime) {
        enter(PhaseState::Jam, 0, false);
        r.startJam = true;
        // Overtime is played in the period that ran out: its clock stays.
        r.startPeriod = !overtime;
        s.lead = -1;
        s.jamStartScore = c.scores;
        s.lastJam = overtime;
    };
    const auto toggleLead = [&](int team) {
        s.lead = s.lead == team ? -1 : team;
        r.acted = true;
    };
    // A timeout's key starts it; the key of the one running ends it early.
    const auto timeoutKey = [&] {
        const int team = input == HomeTimeoutKey || input == HomeReviewKey ? 0 : 1;
        int phase = PhaseState::OfficialTimeout;
        if (input == HomeTimeoutKey || input == VisitorTimeoutKey)
            phase = PhaseState::TeamTimeout;
        else if (input == HomeReviewKey || input == VisitorReviewKey)
            phase = PhaseState::Review;
        const bool own = phase == PhaseState::OfficialTimeout || s.timeoutTeam == team;
        if (s.phase == phase && own) {
            enter(PhaseState::Lineup, 0, true);
            return;
        }
        enter(phase, phase == PhaseState::TeamTimeout ? PhaseState::TeamTimeoutTicks : 0, true);
        if (phase != PhaseState::OfficialTimeout)
            s.timeoutTeam = team;
        r.stopPeriod = true;
    };

    switch (state.phase) {
    case PhaseState::Lineup:
        if (input == JamKey)
            startJam(false);
        else if (input >= HomeTimeoutKey && input <= VisitorReviewKey)
            timeoutKey();
        else if (input == HomeLeadKey || input == VisitorLeadKey)
            toggleLead(input == HomeLeadKey ? 0 : 1);
        else if (input == PeriodOut)
            endPeriod();
        break;
    case PhaseState::Jam:
        if (input == JamKey || input == JamOut) {
            if (s.lastJam)
                endPeriod();
            else
                enter(PhaseState::Lineup, 0, true);
        } else if (input == PeriodOut) {
            s.lastJam = true;
            r.acted = true;
        } else if (input == HomeLeadKey || input == VisitorLeadKey) {
            toggleLead(input == HomeLeadKey ? 0 : 1);
        }
        break;
    case PhaseState::TeamTimeout:
    case PhaseState::OfficialTimeout:
    case PhaseState::Review:
        if (input == JamKey)
            startJam(false);
        else if (input >= HomeTimeoutKey && input <= VisitorReviewKey)
            timeoutKey();
        else if (input == PeriodOut)
            endPeriod();
        else if (input == ClockOut && state.countsDown())
            enter(PhaseState::Lineup, 0, true);
        break;
    case PhaseState::Halftime:
        if (input == JamKey) {
            startJam(false);
            r.nextPeriod = true;
        } else if (input == ClockOut) {
            enter(PhaseState::Lineup, 0, true);
            r.nextPeriod = true;
        }
        break;
    // The scores may be put right before they are final: a tie found then
    // goes to overtime, and an overtime no longer tied is not played.
    case PhaseState::Unofficial:
        if (input == FinalKey && !tied)
            enter(PhaseState::Final, 0, false);
        else if (input == ScoreTyped && tied)
            enter(PhaseState::OvertimeLineup, 0, true);
        break;
    case PhaseState::OvertimeLineup:
        if (input == JamKey)
            startJam(true);
        else if (input == ScoreTyped && !tied)
            enter(PhaseState::Unofficial, 0, false);
        break;
    default: // off, final
        break;
    }
    return r;
}

} // namespace BoutPhase
