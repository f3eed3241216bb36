#pragma once

#include "Settings.h"
#include "SettingsBackend.h"

// Load and save of the whole settings record.
namespace SettingsStore {

inline const QString Application = QStringLiteral("Quelvane");

// The record as it is with nothing stored; the two sound paths lie in
// programFolder.
SettingsRecord defaults(const QString &programFolder);

// Reads every key in the store's order. A missing key, or one whose text does
// not convert to its field, gives the default. Writes nothing.
SettingsRecord load(SettingsBackend &backend, const QString &programFolder);

// Writes every field, section by section, then "IsKeyCode". Returns whether
// the store took the values.
bool save(SettingsBackend &backend, const SettingsRecord &record);

} // namespace SettingsStore
