#pragma once

#include "BoutState.h"

#include <QString>

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

// Whether a keeper changed other than by counting on: set, reset, started
// or stopped.
bool keeperChanged(const BoutState &before, const BoutState &after, int keeper);
// Whether its time was set, not merely counted on, started or stopped.
bool keeperTimeChanged(const BoutState &before, const BoutState &after, int keeper);
