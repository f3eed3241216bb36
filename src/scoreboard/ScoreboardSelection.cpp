// Selecting a display and typing its value.
#include "frmScoreboard.h"

#include "ControlAccess.h"
#include "Digmar.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Shape.h"
#include "Tarrow.h"
#include "modCount.h"
#include "modShowDigits.h"

void frmScoreboard::ObjectSelected(QObject *SelectedObject)
{
    const double b = Settings.LEDSelectedWidth * 15.0;
    shpObjectSelected->setVisibleFlag(false);
    if (!SelectedObject)
        return;
    bool ok = true;
    double place[4];
    const char *names[] = {"Left", "Top", "Width", "Height"};
    for (int i = 0; i < 4 && ok; ++i)
        place[i] = ControlAccess::read(SelectedObject, names[i]).toDouble(&ok);
    if (!ok)
        return;
    shpObjectSelected->setTwipsGeometry(place[0] - b, place[1] - b, place[2] + 2 * b + 15,
                                        place[3] + 2 * b + 15);
    shpObjectSelected->setVisibleFlag(true);
}

void frmScoreboard::NumberDisplay_KeyDown(Digmar *display, int KeyCode)
{
    AllKeyCode(KeyCode);
    const int ch = KeyCodeToAsci(KeyCode);
    const std::int16_t maxValue = display == nledPeriod ? 9 : display == nledJamNumber ? 99 : 999;
    modShowDigits::NumberEntryKey(display, ch, -1, maxValue);
}

void frmScoreboard::tledJam_KeyDown(int KeyCode)
{
    AllKeyCode(KeyCode);
    const int ch = KeyCodeToAsci(KeyCode);
    const FixedTime t = modCount::TimeEntryKey(tledJam, ch, 599);
    if (t != modCount::NoTime) {
        // Stopped first: a clock still running would count the typed time
        // down for the moment between.
        tkJam->setRunning(false);
        tkJam->setTime(t);
        JamResetTime = t;
        RefreshTime();
    }
}

void frmScoreboard::tledPeriod_KeyDown(int KeyCode)
{
    AllKeyCode(KeyCode);
    const int ch = KeyCodeToAsci(KeyCode);
    const FixedTime t = modCount::TimeEntryKey(tledPeriod, ch, 5999);
    if (t != modCount::NoTime) {
        for (Tarrow *keeper :
             {tkHomePenalty1, tkHomePenalty2, tkVisitorPenalty1, tkVisitorPenalty2})
            keeper->setRunning(false);
        tkPeriod->setRunning(false);
        tkPeriod->setTime(t);
        PeriodResetTime = t;
        RefreshTime();
    }
}
