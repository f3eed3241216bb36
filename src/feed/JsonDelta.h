#pragma once

#include <QJsonObject>

// What changed between two states of the feed's JSON, as a message a client
// merges into the state it holds (docs/live-feed.md):
// - an object holds only the fields that changed, each as its own change;
// - a list of named objects (the layout's displays, labels and frames) is
//   sent as an object by name, each holding what changed of that one;
// - anything else that changed is sent whole;
// - a field that has gone is sent as null.
// A field keeps its kind, and no field's value is null.
namespace JsonDelta {

// The change from `before` to `after`; empty when they are the same.
QJsonObject between(const QJsonObject &before, const QJsonObject &after);
// Merges a change into a state, as a client does.
void merge(QJsonObject &state, const QJsonObject &change);

} // namespace JsonDelta
