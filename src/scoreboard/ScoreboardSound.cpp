// The buzzer and the period-end sound.
#include "frmScoreboard.h"

#include "SoundDevice.h"

#include <QFileInfo>

void frmScoreboard::Buzzer(const QString &FileName)
{
    // Like a directory search for the path: an existing file, not a folder.
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile() || BuzzerPlaying)
        return;
    if (mmcBuzzer->fileName() != FileName) {
        mmcBuzzer->setCommand(QStringLiteral("Close"));
        mmcBuzzer->setFileName(FileName);
        mmcBuzzer->setCommand(QStringLiteral("Open"));
    }
    BuzzerPlaying = true;
    mmcBuzzer->setCommand(QStringLiteral("Play"));
}

void frmScoreboard::mmcBuzzer_Done()
{
    mmcBuzzer->setCommand(QStringLiteral("Stop"));
    mmcBuzzer->setCommand(QStringLiteral("Prev"));
    BuzzerPlaying = false;
}
