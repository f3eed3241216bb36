#pragma once

class KeyboardLock;

// Keyboard and picture helpers shared by the windows.
namespace modGrabKeys {

// Brings NumLock to the wanted state; does nothing when it is there already.
void SetNumLock(bool wanted, KeyboardLock &lock);
void SetNumLock(bool wanted);

} // namespace modGrabKeys
