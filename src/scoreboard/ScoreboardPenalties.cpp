// The four penalty clocks.
#include "frmScoreboard.h"

#include "Pinlux.h"
#include "Settings.h"
#include "Tarrow.h"
#include "modCount.h"

namespace {

const FixedTime LongestPenalty = FixedTime::fromSeconds(599);

} // namespace

void frmScoreboard::Penalty_KeyDown(const PenaltyClock &penalty, int KeyCode)
{
    Pinlux *display = penalty.display;
    Tarrow *keeper = penalty.keeper;
    if (KeyCode == Settings.ClearKey) {
        keeper->setRunning(false);
        keeper->setTime(FixedTime());
        display->setValue(-1);
    }
    if (KeyCode == Settings.PenaltyIncrementSecKey) {
        const FixedTime sum = keeper->time() + FixedTime::fromSeconds(Settings.PenaltyIncrementSec);
        if (sum <= LongestPenalty) {
            keeper->setTime(sum);
            keeper->setRunning(false);
            display->setValue(sum.toFloat());
            RefreshTime();
        }
    }
    AllKeyCode(KeyCode);
    const int ch = KeyCodeToAsci(KeyCode);
    if (KeyCode == Settings.SepTimeKey)
        keeper->setRunning(!keeper->running());
    const FixedTime typed = modCount::TimeEntryKey(display, ch, 599);
    if (typed != modCount::NoTime) {
        const FixedTime r = FixedTime::fromSeconds(typed.roundHalfEven());
        keeper->setRunning(false);
        display->setValue(r.toFloat());
        keeper->setTime(r);
        RefreshTime();
    }
}
