#pragma once

// The keyboard's NumLock state. On X11 through XKB, on Windows through the
// keyboard-state calls; elsewhere there is none and nothing is changed.
class KeyboardLock {
public:
    virtual ~KeyboardLock() = default;

    // False where the state can't be read, so callers leave it alone.
    virtual bool available() const = 0;
    virtual bool numLockOn() const = 0;
    // Brings NumLock to the wanted state.
    virtual void setNumLock(bool on) = 0;

    // The layer for the platform the program runs on.
    static KeyboardLock &system();
};
