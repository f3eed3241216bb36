// The bout as one value: given, taken, and watched for changes.
#include "frmScoreboard.h"

#include "BoutRules.h"
#include "ControlAccess.h"
#include "Digmar.h"
#include "MonotonicClock.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Shape.h"
#include "Tarrow.h"

#include <QDateTime>
#include <algorithm>

namespace {

constexpr int NumberDisplays[] = {0, 2, 3};     // home score, visitor score, period number
constexpr int PenaltyDisplays[] = {5, 7, 6, 8}; // in keeper order: home 1, home 2, visitor 1, 2

constexpr int EnterKey = 13;

} // namespace

BoutState frmScoreboard::boutState() const
{
    BoutState s;
    // Every keeper is read at this one instant: read one after the other, a
    // moment lost between two readings (the program put aside by a busy
    // machine) would look like a change of a running clock.
    s.monotonicNs = m_clock->nowNanoseconds();
    s.wallMs = QDateTime::currentMSecsSinceEpoch();
    const Tarrow *keepers[] = {
        tkPeriod, tkJam, tkHomePenalty1, tkHomePenalty2, tkVisitorPenalty1, tkVisitorPenalty2};
    for (int k = 0; k < BoutState::KeeperCount; ++k)
        s.keepers[size_t(k)] = {keepers[k]->timeAt(s.monotonicNs).ticks(), keepers[k]->running(),
                                keepers[k]->switches()};
    s.jamResetTicks = JamResetTime.ticks();
    s.periodResetTicks = PeriodResetTime.ticks();
    const auto &displays = m_displays;
    for (int n = 0; n < BoutState::NumberCount; ++n)
        s.numbers[size_t(n)] = static_cast<Digmar *>(displays[size_t(NumberDisplays[n])])->number();
    for (int p = 0; p < BoutState::PenaltyCount; ++p)
        s.penaltyBlank[size_t(p)] =
            static_cast<Pinlux *>(displays[size_t(PenaltyDisplays[p])])->value() == -1.0f;
    s.rules = m_rules;
    s.rules.jamNumber = jamNumber();
    s.rulesShown = BoutRules.Show != 0;
    s.clockTime = ClockTime;
    s.suppressedPeriodSound = SuppressedPeriodSound;
    s.endSounded = EndSounded;
    s.selected = -1;
    if (shpObjectSelected->isVisibleFlag()) {
        const QWidget *focused = focusWidget();
        for (size_t d = 0; d < displays.size(); ++d) {
            if (displays[d] == focused)
                s.selected = int(d);
        }
    }
    return s;
}

void frmScoreboard::setBoutState(const BoutState &state)
{
    Tarrow *keepers[] = {tkPeriod,         tkJam, tkHomePenalty1, tkHomePenalty2, tkVisitorPenalty1,
                         tkVisitorPenalty2};
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        keepers[k]->setRunning(false);
        // A running clock counted on to this moment: the state was read a
        // moment ago.
        keepers[k]->setTime(FixedTime::fromTicks(state.ticksAt(k, m_clock->nowNanoseconds())));
        keepers[k]->setRunning(state.keepers[size_t(k)].running);
        // Given a state, a keeper is not started or stopped by anyone.
        keepers[k]->setSwitches(state.keepers[size_t(k)].switches);
    }
    JamResetTime = FixedTime::fromTicks(state.jamResetTicks);
    PeriodResetTime = FixedTime::fromTicks(state.periodResetTicks);
    const auto &displays = m_displays;
    for (int n = 0; n < BoutState::NumberCount; ++n)
        ControlAccess::write(displays[size_t(NumberDisplays[n])], "Caption",
                             QString::number(state.numbers[size_t(n)]));
    for (int p = 0; p < BoutState::PenaltyCount; ++p) {
        // A shown penalty takes its keeper's time at the refresh below.
        const float shown = state.penaltyBlank[size_t(p)] ? -1.0f : 0.0f;
        ControlAccess::write(displays[size_t(PenaltyDisplays[p])], "Value", shown);
    }
    m_rules = state.rules;
    setJamNumber(state.rules.jamNumber);
    showRulesState();
    ClockTime = state.clockTime;
    SuppressedPeriodSound = state.suppressedPeriodSound;
    EndSounded = state.endSounded;
    if (state.selected >= 0 && state.selected < int(displays.size())) {
        displays[size_t(state.selected)]->setFocus();
        ObjectSelected(displays[size_t(state.selected)]);
    }
    RefreshTime();
    m_lastSeenBout = boutState();
}

void frmScoreboard::noticeBoutChange()
{
    if (!m_loaded)
        return;
    // What the clocks' own moves end (a period run out between jams ends
    // its caption, a halftime run out opens the next period) is part of the
    // same change.
    followRulesClocks(m_lastSeenBout);
    BoutState now = boutState();
    countCaptionChange(m_lastSeenBout, now);
    if (now.sameBout(m_lastSeenBout))
        return;
    const BoutState before = m_lastSeenBout;
    m_lastSeenBout = now;
    Q_EMIT boutChanged(before, now);
}

void frmScoreboard::operatorKey(LedDisplay *display, int KeyCode)
{
    // What the clocks did by themselves since the last tick is theirs, not
    // the key's.
    noticeBoutChange();
    if (phaseKeyIgnored(KeyCode))
        return;
    const BoutState before = boutState();
    // A rules key acts, and goes on to the display or the commands as any
    // key does: like a command's key, it never keeps a display from its
    // typing.
    rulesKey(KeyCode);
    if (display)
        Display_KeyDown(display, KeyCode);
    else
        AllKeyCode(KeyCode);
    if (!m_loaded)
        return;
    followRules(before);
    Q_EMIT refreshed();
    BoutState after = boutState();
    countCaptionChange(before, after);
    m_lastSeenBout = after;
    if (after.sameBout(before))
        return;
    const auto place = std::find(m_displays.begin(), m_displays.end(), display);
    const int tabIndex = place == m_displays.end() ? -1 : int(place - m_displays.begin());
    Q_EMIT operatorActed({actionKind(display, KeyCode, after), tabIndex, before, after});
}

void frmScoreboard::countCaptionChange(const BoutState &before, BoutState &after)
{
    // Undo puts a caption back only while nothing else has changed it.
    if (after.rules.status == before.rules.status)
        return;
    ++m_rules.statusChanges;
    after.rules.statusChanges = m_rules.statusChanges;
}

OperatorAction::Kind frmScoreboard::actionKind(LedDisplay *display, int KeyCode,
                                               const BoutState &after) const
{
    // The keys as the dispatch and the entry procedures take them.
    const auto penalties = penaltyClocks();
    const auto penalty =
        std::find_if(penalties.begin(), penalties.end(),
                     [display](const PenaltyClock &p) { return p.display == display; });
    const bool onPenalty = display && penalty != penalties.end();
    if (rulesKeyIndex(KeyCode) >= 0)
        return OperatorAction::BoutRule;
    const auto startOrStop = [&](int keeper) {
        return after.keepers[size_t(keeper)].running ? OperatorAction::Start : OperatorAction::Stop;
    };
    if (KeyCode == Settings.StartStopJamClockKey)
        return startOrStop(BoutState::Jam);
    if (KeyCode == Settings.StartStopPeriodClockKey)
        return startOrStop(BoutState::Period);
    if (KeyCode == Settings.ResetJamClockKey || KeyCode == Settings.ResetPeriodClockKey)
        return OperatorAction::Reset;
    if (KeyCode == Settings.ClockSwitchKey)
        return OperatorAction::TimeOfDaySwitch;
    if (onPenalty && KeyCode == Settings.SepTimeKey) {
        const int keeper = BoutState::HomePenalty1 + int(penalty - penalties.begin());
        return startOrStop(keeper);
    }
    if (onPenalty && KeyCode == Settings.PenaltyIncrementSecKey)
        return OperatorAction::PenaltyIncrement;
    if (display && KeyCode == Settings.ClearKey)
        return OperatorAction::Clear;
    if (onPenalty)
        return OperatorAction::TypedPenaltyTime;
    if (qobject_cast<Digmar *>(display) && KeyCode != EnterKey)
        return OperatorAction::Adjust;
    return display ? OperatorAction::TypedValue : OperatorAction::Other;
}
