#include "KeyboardLock.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(QUELVANE_HAVE_X11)
#include <X11/XKBlib.h>
#include <X11/keysym.h>
#endif

namespace {

#if defined(Q_OS_WIN)

// The classic calls: flip the key-state table where that platform family
// honours it, otherwise press and release NumLock once.
class WindowsKeyboardLock : public KeyboardLock {
public:
    bool available() const override { return true; }
    bool numLockOn() const override
    {
        BYTE keys[256];
        GetKeyboardState(keys);
        return keys[VK_NUMLOCK] != 0;
    }
    void setNumLock(bool on) override
    {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof(version);
#pragma warning(suppress : 4996)
        GetVersionExA(&version);
        if (version.dwPlatformId == 1) {
            BYTE keys[256];
            GetKeyboardState(keys);
            keys[VK_NUMLOCK] = on ? 1 : 0;
            SetKeyboardState(keys);
        } else {
            keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY, 0);
            keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
        }
    }
};

#elif defined(QUELVANE_HAVE_X11)

// XKB: the NumLock modifier is locked or unlocked directly on the server.
class XkbKeyboardLock : public KeyboardLock {
public:
    bool available() const override { return display() != nullptr; }
    bool numLockOn() const override
    {
        Display *d = display();
        if (!d)
            return false;
        XkbStateRec state;
        if (XkbGetState(d, XkbUseCoreKbd, &state) != Success)
            return false;
        return (state.locked_mods & numLockMask(d)) != 0;
    }
    void setNumLock(bool on) override
    {
        Display *d = display();
        if (!d)
            return;
        const unsigned mask = numLockMask(d);
        XkbLockModifiers(d, XkbUseCoreKbd, mask, on ? mask : 0);
        XSync(d, False);
    }

private:
    static Display *display()
    {
        if (!qGuiApp)
            return nullptr;
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        return x11 ? x11->display() : nullptr;
    }
    static unsigned numLockMask(Display *d) { return XkbKeysymToModifiers(d, XK_Num_Lock); }
};

#endif

class NoKeyboardLock : public KeyboardLock {
public:
    bool available() const override { return false; }
    bool numLockOn() const override { return false; }
    void setNumLock(bool) override {}
};

} // namespace

KeyboardLock &KeyboardLock::system()
{
#if defined(Q_OS_WIN)
    static WindowsKeyboardLock lock;
    return lock;
#elif defined(QUELVANE_HAVE_X11)
    static XkbKeyboardLock x11;
    static NoKeyboardLock none;
    if (x11.available())
        return x11;
    return none;
#else
    static NoKeyboardLock lock;
    return lock;
#endif
}
