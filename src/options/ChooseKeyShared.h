#pragma once

#include <QString>
#include <cstdint>

// What the Options dialog and the key-capture dialog pass each other.
// The action phrase shown while capturing:
inline QString ChooseKeyAction;
// The present key of the command being reassigned:
inline std::int16_t ChooseKeyCurrent = 0;
// The accepted key as decimal text, or "0" when none was accepted:
inline QString ChooseKeyResult;
