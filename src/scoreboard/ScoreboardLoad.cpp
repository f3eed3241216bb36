// Loading and closing the board.
#include "frmScoreboard.h"

#include "Pinlux.h"
#include "Settings.h"
#include "SoundDevice.h"
#include "Tarrow.h"
#include "modStretch.h"

#include <QCloseEvent>

void frmScoreboard::showEvent(QShowEvent *event)
{
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
        m_lastSeenBout = boutState();
    }
    Form::showEvent(event);
}

void frmScoreboard::Form_Load()
{
    modStretch::RecordLayout(this);
    JamResetTime = FixedTime::fromSeconds(120);
    tkJam->setTime(JamResetTime);
    PeriodResetTime = FixedTime::fromSeconds(600);
    tkPeriod->setTime(PeriodResetTime);
    for (Pinlux *display :
         {tledHomePenalty1, tledHomePenalty2, tledVisitorPenalty1, tledVisitorPenalty2})
        display->setValue(-1);
    for (Tarrow *keeper : {tkHomePenalty1, tkHomePenalty2, tkVisitorPenalty1, tkVisitorPenalty2})
        keeper->setTime(FixedTime());
    RefreshTime();
    UpdateLabels();
    UpdateFormColors();
    tmrClock1.start();
}

void frmScoreboard::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmScoreboard::Form_Unload()
{
    tmrClock1.stop();
    if (!mmcBuzzer->fileName().isEmpty())
        mmcBuzzer->setCommand(QStringLiteral("Close"));
    Q_EMIT programEnded();
}
