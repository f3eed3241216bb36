// The keyboard: one dispatcher for every command key.
#include "frmScoreboard.h"

#include "Digmar.h"
#include "Pinlux.h"
#include "Settings.h"
#include "Tarrow.h"
#include "VirtualKey.h"
#include "modStretch.h"

#include <QKeyEvent>

namespace {

constexpr int F1 = 112;
constexpr int F2 = 113;

} // namespace

void frmScoreboard::connectDisplays()
{
    for (LedDisplay *display : m_displays)
        connectDisplay(display);
}

void frmScoreboard::connectDisplay(LedDisplay *display)
{
    connect(display, &LedDisplay::KeyDown, this,
            [this, display](int code, int) { operatorKey(display, code); });
    connect(display, &LedDisplay::GotFocus, this, [this, display] { ObjectSelected(display); });
    connect(display, &LedDisplay::KeyUp, this, &frmScoreboard::AllKeyUp);
    display->installEventFilter(this);
}

bool frmScoreboard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
        noteKeyEvent(*static_cast<QKeyEvent *>(event));
    return Form::eventFilter(watched, event);
}

void frmScoreboard::Display_KeyDown(LedDisplay *display, int KeyCode)
{
    if (display == tledJam) {
        tledJam_KeyDown(KeyCode);
    } else if (display == tledPeriod) {
        tledPeriod_KeyDown(KeyCode);
    } else if (auto *number = qobject_cast<Digmar *>(display)) {
        NumberDisplay_KeyDown(number, KeyCode);
    } else {
        for (const PenaltyClock &penalty : penaltyClocks()) {
            if (penalty.display == display)
                Penalty_KeyDown(penalty, KeyCode);
        }
    }
}

void frmScoreboard::keyPressEvent(QKeyEvent *event)
{
    // Reached only while no display has the focus; a display handles its own.
    noteKeyEvent(*event);
    operatorKey(nullptr, VirtualKey::fromEvent(*event));
}

void frmScoreboard::keyReleaseEvent(QKeyEvent *event)
{
    noteKeyEvent(*event);
    if (event->isAutoRepeat())
        return;
    AllKeyUp(VirtualKey::fromEvent(*event), VirtualKey::shiftState(*event));
}

void frmScoreboard::AllKeyCode(int KeyCode)
{
    const auto penaltyKeepers = {tkHomePenalty1, tkHomePenalty2, tkVisitorPenalty1,
                                 tkVisitorPenalty2};
    if (KeyCode == Settings.StartStopJamClockKey) {
        if (tkJam->running()) {
            if (SuppressedPeriodSound) {
                Buzzer(Settings.PeriodEndSoundFile);
                SuppressedPeriodSound = false;
            } else {
                Buzzer(Settings.BuzzerFile);
            }
        }
        tkJam->setRunning(!tkJam->running());
    } else if (KeyCode == Settings.ResetJamClockKey) {
        if (tkJam->running())
            AllKeyCode(Settings.StartStopJamClockKey);
        tkJam->setTime(JamResetTime);
        RefreshTime();
    } else if (KeyCode == Settings.StartStopPeriodClockKey) {
        tkPeriod->setRunning(!tkPeriod->running());
        for (Tarrow *keeper : penaltyKeepers)
            keeper->setRunning(tkPeriod->running());
        RefreshTime();
    } else if (KeyCode == Settings.ResetPeriodClockKey) {
        tkPeriod->setRunning(false);
        tkPeriod->setTime(PeriodResetTime);
        for (Tarrow *keeper : penaltyKeepers)
            keeper->setRunning(false);
        RefreshTime();
    } else if (KeyCode == Settings.ClockSwitchKey) {
        ClockTime = !ClockTime;
    } else if (KeyCode == Settings.BuzzerKey) {
        Buzzer(Settings.BuzzerFile);
    } else if (KeyCode == Settings.PeriodEndSoundKey) {
        Buzzer(Settings.PeriodEndSoundFile);
    } else if (KeyCode == F1) {
        if (m_services.showHelp)
            m_services.showHelp();
    } else if (KeyCode == F2) {
        if (m_services.showOptions)
            m_services.showOptions();
        UpdateLabels();
        UpdateFormColors();
        Q_EMIT appearanceApplied();
        RefreshTime();
        modStretch::RecordLayout(this);
    }
}

void frmScoreboard::AllKeyUp(int KeyCode, int)
{
    if (KeyCode == VirtualKey::NumLock)
        UpdateNumLock();
    rulesKeyUp(KeyCode);
}

int frmScoreboard::KeyCodeToAsci(int KeyCode) const
{
    if (KeyCode == 32)
        return 32;
    if (KeyCode == 13)
        return 13;
    if (KeyCode == Settings.ClearKey)
        return 0;
    if (KeyCode == 187 || KeyCode == 107)
        return '+';
    if (KeyCode == 189 || KeyCode == 109)
        return '-';
    if (KeyCode >= 96 && KeyCode <= 105)
        return '0' + (KeyCode - 96);
    if (KeyCode >= 48 && KeyCode <= 57)
        return KeyCode;
    if (KeyCode == 110 || KeyCode == 190)
        return '.';
    return -1;
}
