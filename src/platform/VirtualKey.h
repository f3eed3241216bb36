#pragma once

class QKeyEvent;

// Keys are kept as the classic virtual-key codes (J = 74, Delete = 46,
// F1 = 112, NumLock = 144, keypad 0 = 96 ...). Shift, Ctrl and Alt never
// change the code of the key they are held with.
namespace VirtualKey {

constexpr int NumLock = 144;

// The virtual-key code of a key event; 0 for a key that has none.
int fromEvent(const QKeyEvent &event);

// The modifier state as 1 (Shift) + 2 (Ctrl) + 4 (Alt).
int shiftState(const QKeyEvent &event);

// The virtual-key code of a Qt key, telling the keypad apart when asked.
int fromQtKey(int qtKey, bool keypad);

} // namespace VirtualKey
