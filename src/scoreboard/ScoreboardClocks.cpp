// The game clocks and their refresh.
#include "frmScoreboard.h"

#include "Pinlux.h"
#include "Settings.h"
#include "Tarrow.h"
#include "TimeOfDay.h"

namespace {

const FixedTime LastMinute = FixedTime::fromTicks(599000); // 59.9 s
const QString MinutesSeconds = QStringLiteral("60,1");
const QString SecondsTenths = QStringLiteral("1,.1");

} // namespace

void frmScoreboard::tmrClock1_Timer()
{
    RefreshTime();
    Q_EMIT refreshed();
    noticeBoutChange();
}

void frmScoreboard::RefreshTime()
{
    // The refresh and the dispatcher call each other one level deep. A key
    // setting that makes the period stop run another command could turn that
    // into endless recursion; a deeper call has nothing left to do.
    if (m_refreshDepth > 1)
        return;
    ++m_refreshDepth;

    const FixedTime tP = tkPeriod->time();

    if (ClockTime) {
        // The local time is read only while it is shown: reading it asks the
        // C library, which looks at the time-zone file each time, and nothing
        // else uses it. The hour as the system's format writes it, read from
        // the time itself so that whatever the format puts around it (zone
        // names, AM/PM markers, other separators) cannot be taken for it.
        const HoursMinutes now = hoursMinutes(m_services.timeOfDay(), m_twelveHourClock);
        const std::int32_t minutes = std::int32_t(now.hours) * 60 + now.minutes;
        tledPeriod->setGroupUnits(MinutesSeconds);
        tledPeriod->setValue(float(minutes));
    } else if (tP > LastMinute) {
        tledPeriod->setGroupUnits(MinutesSeconds);
        tledPeriod->setValue(float(tP.displaySeconds()));
    } else {
        tledPeriod->setGroupUnits(SecondsTenths);
        tledPeriod->setValue(tP.toFloat());
    }

    const FixedTime tJ = tkJam->time();
    tledJam->setGroupUnits(MinutesSeconds);
    tledJam->setValue(float(tJ.displaySeconds()));

    if (tP > FixedTime()) {
        EndSounded[1] = false;
        SuppressedPeriodSound = false;
    } else if (tkPeriod->running()) {
        AllKeyCode(Settings.StartStopPeriodClockKey);
        if (!EndSounded[1]) {
            EndSounded[1] = true;
            if (Settings.SuppressPeriodSound == 1 && tkJam->running())
                SuppressedPeriodSound = true;
            else
                Buzzer(Settings.PeriodEndSoundFile);
        }
    }

    if (tJ > FixedTime()) {
        EndSounded[0] = false;
    } else if (tkJam->running()) {
        tkJam->setRunning(false);
        if (!EndSounded[0]) {
            EndSounded[0] = true;
            if (SuppressedPeriodSound) {
                Buzzer(Settings.PeriodEndSoundFile);
                SuppressedPeriodSound = false;
            } else {
                Buzzer(Settings.BuzzerFile);
            }
        }
    }

    for (const PenaltyClock &penalty : penaltyClocks()) {
        if (penalty.display->value() != -1.0f)
            penalty.display->setValue(float(penalty.keeper->time().displaySeconds()));
    }

    --m_refreshDepth;
}
