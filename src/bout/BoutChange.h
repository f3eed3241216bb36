#pragma once

#include "BoutState.h"

#include <QString>
#include <optional>

// What one key press or tick did to the bout, in a few words for the
// journal ("Home score 57", "Period clock reset"), and whether undo may
// take it back.
struct BoutChange {
    // Empty when nothing the journal keeps changed: the clocks only ran, or
    // only the selection or the sound latches moved.
    QString description;
    // An operator's change of a value: a typed or +/- entry, a clear, a
    // penalty increment or typed penalty time, a reset. Starting and
    // stopping clocks, the time-of-day switch and the clocks' own ends are
    // not.
    bool undoable = false;
};

// `byOperator`: the change came from a key, not from the clocks.
BoutChange describeChange(const BoutState &before, const BoutState &after, bool byOperator);

// One thing the operator did, as the board's key dispatch tells it: which
// display had the key (its place in the tab order, -1 for none), what kind
// of action it was, and the bout just before and just after it.
struct OperatorAction {
    enum Kind {
        TypedValue,       // a score, period number, jam or period time typed and entered
        Adjust,           // + or - and a digit on a number display
        Clear,            // the Clear key on a display
        PenaltyIncrement, // the penalty key on a penalty clock
        TypedPenaltyTime, // a penalty time typed and entered
        Reset,            // the jam or period clock reset
        Start,            // a clock started
        Stop,             // a clock stopped
        TimeOfDaySwitch,  // the period display switched to the time of day and back
        BoutRule,         // a timeout or official review taken, or a review retained
        Other,            // a key whose change fits none of these
    };
    Kind kind = Other;
    int display = -1;
    BoutState before;
    BoutState after;

    // Whether undo may take it back: a change of a value. Starts, stops and
    // the time-of-day switch never are.
    bool undoable() const;
    // A few words for the journal: "Home score 57", "Jam clock started".
    QString description() const;

    // The journal's record of it, beside its row's bout (which is `after`):
    // the kind, the display and the bout before. Nothing for a record that
    // cannot be read.
    QByteArray toJson() const;
    static std::optional<OperatorAction> fromJson(const QByteArray &json, const BoutState &after);
};

// Whether a keeper changed other than by counting on: set, reset, started
// or stopped (a stop of a stopped keeper included).
bool keeperChanged(const BoutState &before, const BoutState &after, int keeper);
// By how much its time was set, not merely counted on, started or
// stopped, at the later of the two moments; 0 for no change.
std::int64_t keeperTimeChange(const BoutState &before, const BoutState &after, int keeper);
bool keeperTimeChanged(const BoutState &before, const BoutState &after, int keeper);
