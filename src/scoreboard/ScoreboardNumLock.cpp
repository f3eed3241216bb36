// Keeping NumLock where the operator wants it.
#include "frmScoreboard.h"

#include "Settings.h"
#include "modGrabKeys.h"

void frmScoreboard::UpdateNumLock()
{
    if (Settings.NumLockForce == 1)
        modGrabKeys::SetNumLock(true);
    else if (Settings.NumLockForce == 2)
        modGrabKeys::SetNumLock(false);
}
