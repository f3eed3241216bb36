// The bout run by the clock: the board feeds the phase rules with its keys
// and its clocks running out, does what they say to its own clocks and
// numbers, and shows the phase. Off unless the operator turns it on with the
// rules shown; then nothing here acts.
#include "frmScoreboard.h"

#include "BoutRules.h"
#include "Digmar.h"
#include "Label.h"
#include "MonotonicClock.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Tarrow.h"
#include "Twips.h"
#include "modStretch.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using BoutPhase::Input;

const QString MinutesSeconds = QStringLiteral("60,1");

bool betweenJams(int phase)
{
    return phase == PhaseState::Lineup || phase == PhaseState::TeamTimeout ||
           phase == PhaseState::OfficialTimeout || phase == PhaseState::Review ||
           phase == PhaseState::OvertimeLineup;
}

bool betweenPeriods(int phase)
{
    return phase == PhaseState::Halftime || phase == PhaseState::Unofficial ||
           phase == PhaseState::OvertimeLineup;
}

// The phase's input for a rules key, in the record's key order.
// The review retained is the rules' alone; its place holds nothing.
constexpr int OfficialTimeoutKey = 2;
constexpr int RetainedKey = 5;
constexpr Input RulesKeyInputs[] = {
    BoutPhase::HomeTimeoutKey, BoutPhase::VisitorTimeoutKey, BoutPhase::OfficialTimeoutKey,
    BoutPhase::HomeReviewKey,  BoutPhase::VisitorReviewKey,  BoutPhase::Input(-1),
    BoutPhase::HomeLeadKey,    BoutPhase::VisitorLeadKey,    BoutPhase::FinalKey};

} // namespace

void frmScoreboard::createPhaseItems()
{
    // As the rules' items are made: the first time they are to be shown,
    // placed for the window's present size.
    const double x = Twips::fromPixels(width()) / DesignWidth;
    const double y = Twips::fromPixels(height()) / DesignHeight;
    const auto label = [this, x, y](const char *name, double left, double top, double size) {
        auto *l = addControl(new Label(this), name);
        l->setFontFamily(QStringLiteral("Arial"), true);
        l->setFontSize(size * y);
        l->setAlignment(Label::Align::Center);
        l->setShrinkToFit(true);
        l->setTwipsGeometry(left * x, top * y, 450 * x, 590 * y);
        l->show();
        return l;
    };
    // Beside each score, between it and the board's frame, where nothing
    // else is (a team's picture sits under its name): the lead's star above,
    // the jam's points below.
    lblHomeLead = label("lblHomeLead", 140, 1125, 26);
    lblHomeJamPoints = label("lblHomeJamPoints", 140, 1715, 18);
    lblVisitorLead = label("lblVisitorLead", 8930, 1125, 26);
    lblVisitorJamPoints = label("lblVisitorJamPoints", 8930, 1715, 18);
    modStretch::RecordLayout(this);
}

BoutPhase::Context frmScoreboard::phaseContext(std::int64_t nowNs) const
{
    BoutPhase::Context c;
    c.nowNs = nowNs;
    c.scores = {std::max(0, nledHomeScore->number()), std::max(0, nledVisitorScore->number())};
    c.period = std::max(1, nledPeriod->number());
    c.periods = BoutRules.Periods;
    c.intermissionTicks = std::int64_t(BoutRules.IntermissionSeconds) * BoutState::TicksPerSecond;
    return c;
}

bool frmScoreboard::phaseKeyIgnored(int KeyCode)
{
    // Run by the clock, every start of the jam clock is a new jam: the jam
    // key held down, X repeating it, starts one jam, not one a repeat; and
    // a press that comes just after a jam ended (by its clock, or the key
    // pressed twice) or the period did is one meant for that end, not the
    // start of the next jam or period.
    if (!runsByClock(BoutRules) || KeyCode != Settings.StartStopJamClockKey)
        return false;
    const bool repeated = std::exchange(m_keyRepeats, false);
    return repeated ||
           (!tkJam->running() && m_clock->nowNanoseconds() < m_jamKeyQuietUntilNs);
}

void frmScoreboard::phaseKeyComing(int KeyCode)
{
    if (!runsByClock(BoutRules) || KeyCode != Settings.StartStopJamClockKey || tkJam->running())
        return;
    const int phase = m_rules.phase.phase;
    // Every jam is a new one, from the jam clock's full time.
    if (betweenJams(phase) || phase == PhaseState::Halftime)
        tkJam->setTime(JamResetTime);
}

bool frmScoreboard::phaseRulesKey(int which)
{
    if (!runsByClock(BoutRules) || which == RetainedKey)
        return false;
    const BoutPhase::Step step = BoutPhase::next(m_rules.phase, RulesKeyInputs[which],
                                                 phaseContext(m_clock->nowNanoseconds()));
    if (which < BoutRulesRecord::KeyCount) {
        // A timeout the rules take is followed once they have taken it.
        if (step.acted && step.state.phase != PhaseState::Lineup)
            return false;
        // Once a period is over, the officials may still stop for a review
        // of its last jam, or for an official timeout: the rules take them
        // as always, and the phase stays.
        if (!step.acted && betweenPeriods(m_rules.phase.phase) && which >= OfficialTimeoutKey)
            return false;
        if (step.acted)
            m_rules.status = BoutState::NoStatus;
    }
    m_rules.phase = step.state;
    showPhase();
    return true;
}

void frmScoreboard::followPhases(const BoutState &before)
{
    if (!runsByClock(BoutRules))
        return;
    const PhaseState was = m_rules.phase;
    const int status = m_rules.status;
    const std::int64_t now = m_clock->nowNanoseconds();
    if (m_rules.phase.phase == PhaseState::Off)
        m_rules.phase = BoutPhase::begin(tkJam->running(), phaseContext(now));
    const auto feed = [&](Input input, std::int64_t at) {
        const BoutPhase::Step step = BoutPhase::next(m_rules.phase, input, phaseContext(at));
        if (step.acted)
            applyPhaseStep(step, before);
    };

    // Read from the clocks as they stand, not from their last change: a bout
    // put back by undo or resumed after the program was away follows them
    // as a running one does.
    const KeeperState &period = before.keepers[BoutState::Period];
    const auto phaseIs = [this](std::initializer_list<int> phases) {
        return std::find(phases.begin(), phases.end(), m_rules.phase.phase) != phases.end();
    };
    const bool periodOver = !tkPeriod->running() && tkPeriod->time().ticks() <= 0;
    if (periodOver && (betweenJams(m_rules.phase.phase) ||
                       (m_rules.phase.phase == PhaseState::Jam && !m_rules.phase.lastJam)))
        feed(BoutPhase::PeriodOut, now);

    // A team timeout or review the rules have just taken.
    if (m_rules.status != before.rules.status) {
        const Input inputs[] = {BoutPhase::HomeTimeoutKey, BoutPhase::VisitorTimeoutKey,
                                BoutPhase::OfficialTimeoutKey, BoutPhase::HomeReviewKey,
                                BoutPhase::VisitorReviewKey};
        const int taken = m_rules.status;
        if (taken >= BoutState::HomeTimeout && taken <= BoutState::VisitorReview)
            feed(inputs[taken - BoutState::HomeTimeout], now);
    }

    const KeeperState &jam = before.keepers[BoutState::Jam];
    if (!jam.running && tkJam->running() && phaseIs({PhaseState::Unofficial, PhaseState::Final})) {
        // The bout is over: its key starts no jam.
        tkJam->setRunning(false);
        tkJam->setTime(FixedTime::fromTicks(jam.ticks));
        tkJam->setSwitches(jam.switches);
        setJamNumber(before.rules.jamNumber);
        m_rules.status = before.rules.status;
    } else if (tkJam->running() &&
               (betweenJams(m_rules.phase.phase) || m_rules.phase.phase == PhaseState::Halftime)) {
        feed(BoutPhase::JamKey, now);
    } else if (!tkJam->running() && m_rules.phase.phase == PhaseState::Jam) {
        feed(tkJam->time().ticks() <= 0 ? BoutPhase::JamOut : BoutPhase::JamKey, now);
    }

    // A score put right once the last period is over may make or end a tie.
    if (phaseIs({PhaseState::Unofficial, PhaseState::OvertimeLineup}) &&
        (nledHomeScore->number() != before.numbers[BoutState::HomeScore] ||
         nledVisitorScore->number() != before.numbers[BoutState::VisitorScore]))
        feed(BoutPhase::ScoreTyped, now);

    // A team timeout or the intermission run out, from the moment it did.
    const PhaseState &p = m_rules.phase;
    if (p.countsDown() && p.clockRunning && p.clockAt(now) <= 0)
        feed(BoutPhase::ClockOut, p.clockAtNs + p.clockTicks * 100000);

    // A time typed on the period display at halftime is the intermission's.
    if (m_rules.phase.phase == PhaseState::Halftime &&
        PeriodResetTime.ticks() != before.periodResetTicks) {
        m_rules.phase.clockTicks = tkPeriod->time().ticks();
        m_rules.phase.clockAtNs = now;
        PeriodResetTime = FixedTime::fromTicks(before.periodResetTicks);
        tkPeriod->setTime(FixedTime::fromTicks(period.ticks));
    }
    if (m_rules.phase == was && m_rules.status == status)
        showPhase();
    else
        showRulesState();
}

void frmScoreboard::applyPhaseAppearance()
{
    // Turned off, the bout is no longer run by the clock; turned on, it
    // starts from where the board is.
    if (!runsByClock(BoutRules) && m_rules.phase.phase != PhaseState::Off) {
        m_rules.phase = {};
        RefreshTime();
    }
    showPhase();
}

void frmScoreboard::applyPhaseStep(const BoutPhase::Step &step, const BoutState &before)
{
    const PhaseState was = std::exchange(m_rules.phase, step.state);
    const int phase = step.state.phase;
    if ((was.phase == PhaseState::Jam && phase != PhaseState::Jam) ||
        phase == PhaseState::Halftime || phase == PhaseState::OvertimeLineup ||
        phase == PhaseState::Unofficial)
        m_jamKeyQuietUntilNs = m_clock->nowNanoseconds() + JamKeyQuietNs;
    if (step.state.phase != PhaseState::TeamTimeout &&
        step.state.phase != PhaseState::OfficialTimeout && step.state.phase != PhaseState::Review)
        m_rules.status = BoutState::NoStatus;
    if (step.nextPeriod) {
        const int ended = was.periodEnded > 0 ? was.periodEnded : std::max(1, nledPeriod->number());
        nledPeriod->setCaption(QString::number(std::min(9, ended + 1)));
        tkPeriod->setTime(PeriodResetTime);
        setJamNumber(0);
        m_rules.reviewsTaken = {0, 0};
        m_rules.lastReview = -1;
        m_rules.reviewRetained = {false, false};
    }
    if (step.startJam) {
        // The bout's first jam opens its first period.
        if (nledPeriod->number() < 1)
            nledPeriod->setCaption(QStringLiteral("1"));
        // The rules count a jam started from its reset time as it stood
        // before the key; the jam clock was set to it only by the key.
        if (step.nextPeriod || jamNumber() == before.rules.jamNumber)
            setJamNumber(std::min(99, std::max(0, jamNumber()) + 1));
        if (step.startPeriod && !tkPeriod->running())
            AllKeyCode(Settings.StartStopPeriodClockKey);
    }
}

QString frmScoreboard::phaseCaption(const QString &rulesCaption) const
{
    if (!runsByClock(BoutRules))
        return rulesCaption;
    // A review or official timeout taken between periods says so.
    if (betweenPeriods(m_rules.phase.phase) && m_rules.status != BoutState::NoStatus)
        return rulesCaption;
    switch (m_rules.phase.phase) {
    case PhaseState::Lineup:
        return QStringLiteral("Lineup");
    case PhaseState::Jam:
        return m_rules.phase.lastJam ? QStringLiteral("Last Jam") : QString();
    case PhaseState::Halftime:
        return QStringLiteral("Halftime");
    case PhaseState::Unofficial:
        return QStringLiteral("Unofficial Score");
    case PhaseState::Final:
        return QStringLiteral("Final Score");
    case PhaseState::OvertimeLineup:
        return QStringLiteral("Overtime");
    default: // the timeouts say whose
        return rulesCaption;
    }
}

void frmScoreboard::showPhase()
{
    const bool on = runsByClock(BoutRules);
    if (!lblHomeLead) {
        if (!on)
            return;
        createPhaseItems();
    }
    const PhaseState &p = m_rules.phase;
    const bool running = on && p.phase != PhaseState::Off;
    Label *leads[] = {lblHomeLead, lblVisitorLead};
    Label *points[] = {lblHomeJamPoints, lblVisitorJamPoints};
    const std::int32_t colors[] = {Settings.HomeColor, Settings.VisitorColor};
    const int scores[] = {nledHomeScore->number(), nledVisitorScore->number()};
    const bool jamShown =
        jamNumber() > 0 && (p.phase == PhaseState::Jam || p.phase == PhaseState::Lineup);
    for (int t = 0; t < 2; ++t) {
        // The lead mark stays until the next jam starts.
        leads[t]->setForeColor(colors[t]);
        leads[t]->setCaption(QStringLiteral("\u2605"));
        leads[t]->setVisibleFlag(running && p.lead == t);
        points[t]->setForeColor(Settings.BorderColor);
        const int jamPoints = std::max(0, scores[t]) - p.jamStartScore[size_t(t)];
        points[t]->setCaption((jamPoints < 0 ? QString() : QStringLiteral("+")) +
                              QString::number(jamPoints));
        points[t]->setVisibleFlag(running && jamShown);
    }
    showPhaseClocks();
}

void frmScoreboard::showPhaseClocks()
{
    const PhaseState &p = m_rules.phase;
    if (!runsByClock(BoutRules) || p.phase == PhaseState::Off)
        return;
    const std::int64_t now = m_clock->nowNanoseconds();
    const auto shown = float(p.shownSeconds(now));
    if (p.clockRunning && betweenJams(p.phase)) {
        tledJam->setGroupUnits(MinutesSeconds);
        tledJam->setValue(shown);
    } else if (p.phase == PhaseState::Halftime && !ClockTime) {
        tledPeriod->setGroupUnits(MinutesSeconds);
        tledPeriod->setValue(shown);
    }
}
