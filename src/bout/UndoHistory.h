#pragma once

#include "BoutState.h"

#include <deque>
#include <optional>

// The operator's value changes, to take back and do again. Each step keeps
// the bout before and after it; undo puts back only what that step changed,
// so a clock started or stopped since keeps its own state, and a clock that
// ran before the step runs now at the time it would show had the key never
// been pressed.
class UndoHistory {
public:
    static constexpr size_t Depth = 500;

    explicit UndoHistory(bool holdPeriodSound = false) : m_holdPeriodSound(holdPeriodSound) {}
    void setHoldPeriodSound(bool hold) { m_holdPeriodSound = hold; }

    // A new step; the steps undone before it can no longer be redone.
    void record(const BoutState &before, const BoutState &after);
    // The bout with the last step taken back, or nothing to undo.
    std::optional<BoutState> undo(const BoutState &now);
    // The bout with the last undone step done again, or nothing to redo.
    std::optional<BoutState> redo(const BoutState &now);
    void clear();

    size_t undoSteps() const { return m_done.size(); }
    size_t redoSteps() const { return m_undone.size(); }

private:
    struct Step {
        BoutState before;
        BoutState after;
    };
    // `now` with what changed from `from` to `to` set as `to` had it.
    BoutState patched(const BoutState &now, const BoutState &from, const BoutState &to) const;
    // Takes the last step of `from` to `to`; the bout with it taken back
    // (`back`) or done again.
    std::optional<BoutState> move(std::deque<Step> &from, std::deque<Step> &to,
                                  const BoutState &now, bool back);

    std::deque<Step> m_done;
    std::deque<Step> m_undone;
    bool m_holdPeriodSound;
};
