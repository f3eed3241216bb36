#include "UndoHistory.h"

#include "BoutChange.h"
#include "BoutClocks.h"

#include <QUndoCommand>
#include <algorithm>

// One step: the bout before and after an operator's change. It is pushed
// after the change was made, so its first "redo" has nothing to do.
class BoutStep : public QUndoCommand {
public:
    BoutStep(UndoHistory *history, const BoutState &before, const BoutState &after)
        : m_history(history), m_before(before), m_after(after)
    {
    }
    void undo() override
    {
        m_history->m_result = m_history->patched(m_history->m_now, m_after, m_before);
    }
    void redo() override
    {
        if (!m_pushed) {
            m_pushed = true;
            return;
        }
        m_history->m_result = m_history->patched(m_history->m_now, m_before, m_after);
    }

private:
    UndoHistory *m_history;
    BoutState m_before;
    BoutState m_after;
    bool m_pushed = false;
};

UndoHistory::UndoHistory(bool holdPeriodSound) : m_holdPeriodSound(holdPeriodSound)
{
    m_stack.setUndoLimit(Depth);
}

void UndoHistory::record(const BoutState &before, const BoutState &after)
{
    m_stack.push(new BoutStep(this, before, after));
}

std::optional<BoutState> UndoHistory::undo(const BoutState &now)
{
    return move(now, m_stack.canUndo(), &QUndoStack::undo);
}

std::optional<BoutState> UndoHistory::redo(const BoutState &now)
{
    return move(now, m_stack.canRedo(), &QUndoStack::redo);
}

std::optional<BoutState> UndoHistory::move(const BoutState &now, bool possible,
                                           void (QUndoStack::*step)())
{
    if (!possible)
        return std::nullopt;
    m_now = now;
    (m_stack.*step)();
    return m_result;
}

namespace {

// A count or number moved by what the step changed: put as the step left it
// when nothing changed it since, otherwise moved by the step's difference.
// A blank (-1) on any side cannot be moved by a difference.
int moved(int now, int from, int to, int max)
{
    if (from == to)
        return now;
    if (now == from || from < 0 || to < 0 || now < 0)
        return to;
    return std::clamp(now + (to - from), 0, max);
}

} // namespace

BoutState UndoHistory::patched(const BoutState &now, const BoutState &from,
                               const BoutState &to) const
{
    // `to` as it would be now, its running clocks having counted on.
    const BoutState target =
        advanced(to, (now.monotonicNs - to.monotonicNs) / 100000, m_holdPeriodSound);
    BoutState s = now;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        if (!keeperChanged(from, to, k))
            continue;
        KeeperState &keeper = s.keepers[size_t(k)];
        if (keeper.switches == from.keepers[size_t(k)].switches) {
            // Nobody started or stopped it since: it runs, or stands, as it
            // would have with the step's other side.
            keeper = target.keepers[size_t(k)];
        } else {
            // Started or stopped since: that stays, and the time moves only
            // by what the step changed.
            keeper.ticks = std::max<std::int64_t>(0, keeper.ticks + keeperTimeChange(from, to, k));
        }
    }
    for (int n = 0; n < BoutState::NumberCount; ++n) {
        s.numbers[size_t(n)] = moved(now.numbers[size_t(n)], from.numbers[size_t(n)],
                                     to.numbers[size_t(n)], n == BoutState::PeriodNumber ? 9 : 999);
    }
    for (int p = 0; p < BoutState::PenaltyCount; ++p) {
        if (from.penaltyBlank[size_t(p)] != to.penaltyBlank[size_t(p)])
            s.penaltyBlank[size_t(p)] = to.penaltyBlank[size_t(p)];
    }
    // The rules' counts move by the step's change; its caption comes back
    // only while nothing else has changed the caption since.
    BoutState::Rules &rules = s.rules;
    rules.jamNumber = moved(now.rules.jamNumber, from.rules.jamNumber, to.rules.jamNumber, 99);
    for (size_t t = 0; t < 2; ++t) {
        rules.timeoutsTaken[t] = moved(now.rules.timeoutsTaken[t], from.rules.timeoutsTaken[t],
                                       to.rules.timeoutsTaken[t], 99);
        rules.reviewsTaken[t] = moved(now.rules.reviewsTaken[t], from.rules.reviewsTaken[t],
                                      to.rules.reviewsTaken[t], 99);
    }
    if (from.rules.lastReview != to.rules.lastReview &&
        now.rules.lastReview == from.rules.lastReview)
        rules.lastReview = to.rules.lastReview;
    for (size_t t = 0; t < 2; ++t) {
        if (from.rules.reviewRetained[t] != to.rules.reviewRetained[t])
            rules.reviewRetained[t] = to.rules.reviewRetained[t];
    }
    if (from.rules.statusChanges != to.rules.statusChanges &&
        now.rules.statusChanges == from.rules.statusChanges) {
        rules.status = to.rules.status;
        rules.statusChanges = to.rules.statusChanges;
    }
    // A phase the step took (a timeout, a review, the final score) goes
    // back only while it stands as the step left it.
    if (from.rules.phase != to.rules.phase && now.rules.phase.samePhase(from.rules.phase))
        rules.phase = to.rules.phase;
    // The lead is the operator's own mark: it goes back while it stands, the
    // jam it was marked in ended or not.
    else if (from.rules.phase.lead != to.rules.phase.lead &&
             now.rules.phase.lead == from.rules.phase.lead)
        rules.phase.lead = to.rules.phase.lead;
    if (from.jamResetTicks != to.jamResetTicks)
        s.jamResetTicks = to.jamResetTicks;
    if (from.periodResetTicks != to.periodResetTicks)
        s.periodResetTicks = to.periodResetTicks;
    if (keeperChanged(from, to, BoutState::Period) || keeperChanged(from, to, BoutState::Jam)) {
        s.endSounded = target.endSounded;
        s.suppressedPeriodSound = target.suppressedPeriodSound;
    }
    // Clocks put back at or past their end end now, silently.
    return advanced(s, 0, m_holdPeriodSound);
}
