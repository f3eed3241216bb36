#include "UndoHistory.h"

#include "BoutChange.h"
#include "BoutClocks.h"

void UndoHistory::record(const BoutState &before, const BoutState &after)
{
    m_done.push_back({before, after});
    if (m_done.size() > Depth)
        m_done.pop_front();
    m_undone.clear();
}

void UndoHistory::clear()
{
    m_done.clear();
    m_undone.clear();
}

BoutState UndoHistory::patched(const BoutState &now, const BoutState &from,
                               const BoutState &to) const
{
    // `to` as it would be now, its running clocks having counted on.
    const BoutState target =
        advanced(to, (now.monotonicNs - to.monotonicNs) / 100000, m_holdPeriodSound);
    BoutState s = now;
    for (int k = 0; k < BoutState::KeeperCount; ++k) {
        if (keeperChanged(from, to, k))
            s.keepers[size_t(k)] = target.keepers[size_t(k)];
    }
    for (int n = 0; n < BoutState::NumberCount; ++n) {
        if (from.numbers[size_t(n)] != to.numbers[size_t(n)])
            s.numbers[size_t(n)] = to.numbers[size_t(n)];
    }
    for (int p = 0; p < BoutState::PenaltyCount; ++p) {
        if (from.penaltyBlank[size_t(p)] != to.penaltyBlank[size_t(p)])
            s.penaltyBlank[size_t(p)] = to.penaltyBlank[size_t(p)];
    }
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

std::optional<BoutState> UndoHistory::move(std::deque<Step> &from, std::deque<Step> &to,
                                           const BoutState &now, bool back)
{
    if (from.empty())
        return std::nullopt;
    const Step step = from.back();
    from.pop_back();
    to.push_back(step);
    return back ? patched(now, step.after, step.before) : patched(now, step.before, step.after);
}

std::optional<BoutState> UndoHistory::undo(const BoutState &now)
{
    return move(m_done, m_undone, now, true);
}

std::optional<BoutState> UndoHistory::redo(const BoutState &now)
{
    return move(m_undone, m_done, now, false);
}
