#pragma once

#include "BoutState.h"

#include <QUndoStack>
#include <optional>

// The operator's value changes, to take back and do again, on Qt's undo
// stack. Each step keeps the bout before and after it, and so how many
// times each clock had been started and stopped; undo applies the step's
// change backwards to the bout as it is now. A clock started or stopped
// since (its count moved) keeps its state and moves by what the step
// changed; a clock nobody has touched since runs, or stands, as it would
// had the key never been pressed. Redo is the mirror.
class UndoHistory {
public:
    static constexpr int Depth = 500;

    explicit UndoHistory(bool holdPeriodSound = false);
    void setHoldPeriodSound(bool hold) { m_holdPeriodSound = hold; }

    // A new step; the steps undone before it can no longer be redone.
    void record(const BoutState &before, const BoutState &after);
    // The bout with the last step taken back, or nothing to undo.
    std::optional<BoutState> undo(const BoutState &now);
    // The bout with the last undone step done again, or nothing to redo.
    std::optional<BoutState> redo(const BoutState &now);
    void clear() { m_stack.clear(); }

    size_t undoSteps() const { return size_t(m_stack.index()); }
    size_t redoSteps() const { return size_t(m_stack.count() - m_stack.index()); }

private:
    friend class BoutStep;
    // Takes a step back or again on `now`, when there is one.
    std::optional<BoutState> move(const BoutState &now, bool possible, void (QUndoStack::*step)());
    // `now` with what changed from `from` to `to` set as `to` had it.
    BoutState patched(const BoutState &now, const BoutState &from, const BoutState &to) const;

    QUndoStack m_stack;
    // The bout a step is taken back or done again on, and the result; the
    // stack's commands answer through these.
    BoutState m_now;
    BoutState m_result;
    bool m_holdPeriodSound;
};
