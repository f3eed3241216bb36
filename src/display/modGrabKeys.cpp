#include "modGrabKeys.h"

#include "KeyboardLock.h"

namespace modGrabKeys {

void SetNumLock(bool wanted, KeyboardLock &lock)
{
    if (!lock.available() || lock.numLockOn() == wanted)
        return;
    lock.setNumLock(wanted);
}

void SetNumLock(bool wanted)
{
    SetNumLock(wanted, KeyboardLock::system());
}

} // namespace modGrabKeys
