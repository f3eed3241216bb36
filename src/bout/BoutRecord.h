#pragma once

#include "BoutJournal.h"

#include <QByteArray>
#include <QList>

// A bout's rows as CSV (RFC 4180, UTF-8): when, what changed, and the scores,
// period number and clocks as the board showed them.
QByteArray boutRecordCsv(const QList<JournalRow> &rows);
