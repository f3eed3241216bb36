// The game clocks and their refresh.
#include "frmScoreboard.h"

#include "Pinlux.h"
#include "Tarrow.h"

void frmScoreboard::tmrClock1_Timer()
{
    RefreshTime();
}

void frmScoreboard::RefreshTime()
{
    const FixedTime tP = tkPeriod->time();
    if (tP > FixedTime::fromTicks(599000)) {
        tledPeriod->setGroupUnits(QStringLiteral("60,1"));
        tledPeriod->setValue(float(tP.displaySeconds()));
    } else {
        tledPeriod->setGroupUnits(QStringLiteral("1,.1"));
        tledPeriod->setValue(tP.toFloat());
    }

    const FixedTime tJ = tkJam->time();
    tledJam->setGroupUnits(QStringLiteral("60,1"));
    tledJam->setValue(float(tJ.displaySeconds()));

    for (const PenaltyClock &penalty : penaltyClocks()) {
        if (penalty.display->value() != -1.0f)
            penalty.display->setValue(float(penalty.keeper->time().displaySeconds()));
    }
}
