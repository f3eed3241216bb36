#include "UndoHistory.h"

#include "BoutChange.h"
#include "BoutClocks.h"

#include <QUndoCommand>

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

BoutState UndoHistory::patched(const BoutState &now, const BoutState &from,
                               const BoutState &to) const
{
    // `to` as it would be now, its running clocks having counted on.
    const BoutState target =
        advanced(to, (now.monotonicNs - to.monotonicNs) / 100000, m_holdPeriodSound);
    // The moment of the step: the later of its two readings.
    const std::int64_t stepNs = std::max(from.monotonicNs, to.monotonicNs);
    BoutState s = now;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        if (!keeperChanged(from, to, k))
            continue;
        KeeperState &keeper = s.keepers[size_t(k)];
        if (keeper.running == from.keepers[size_t(k)].running) {
            keeper = target.keepers[size_t(k)];
        } else {
            // Started or stopped since: that stays, and the time moves by
            // what the step changed.
            const std::int64_t change = to.ticksAt(k, stepNs) - from.ticksAt(k, stepNs);
            keeper.ticks = std::max<std::int64_t>(0, keeper.ticks + change);
        }
    }
    for (int n = 0; n < BoutState::NumberCount; ++n) {
        if (from.numbers[size_t(n)] != to.numbers[size_t(n)])
            s.numbers[size_t(n)] = to.numbers[size_t(n)];
    }
    for (int p = 0; p < BoutState::PenaltyCount; ++p) {
        if (from.penaltyBlank[size_t(p)] != to.penaltyBlank[size_t(p)])
            s.penaltyBlank[size_t(p)] = to.penaltyBlank[size_t(p)];
    }
    // The rules' counts and caption, each as the step left it.
    const auto take = [](auto &field, const auto &was, const auto &becomes) {
        if (was != becomes)
            field = becomes;
    };
    take(s.rules.jamNumber, from.rules.jamNumber, to.rules.jamNumber);
    take(s.rules.timeoutsTaken, from.rules.timeoutsTaken, to.rules.timeoutsTaken);
    take(s.rules.reviewsTaken, from.rules.reviewsTaken, to.rules.reviewsTaken);
    take(s.rules.lastReview, from.rules.lastReview, to.rules.lastReview);
    take(s.rules.status, from.rules.status, to.rules.status);
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
