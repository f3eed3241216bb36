#pragma once

#include "BoutJournal.h"

#include <QByteArray>
#include <QList>

// A bout's rows as CSV (RFC 4180, UTF-8): a first line naming the bout (its
// title and teams), then a header, then for each row when, what changed,
// and the scores, period number, clocks and penalty clocks as the board
// showed them.
QByteArray boutRecordCsv(const QList<JournalRow> &rows, const BoutNames &names = {});
