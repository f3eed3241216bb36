#pragma once

#include "SoundDevice.h"

#include <QStringList>

// A sound device that plays nothing and remembers every command; the test
// says when a sound has ended.
class RecordingSoundDevice : public SoundDevice {
    Q_OBJECT

public:
    using SoundDevice::SoundDevice;

    // "Open buzzer.wav", "Play", "Stop", ... in order.
    QStringList log;
    // The files played, one entry per "Play".
    QStringList played;

    void finishSound() { Q_EMIT Done(); }

protected:
    void execute(const QString &command) override
    {
        if (command == u"Open")
            log << command + u' ' + fileName();
        else
            log << command;
        if (command == u"Play")
            played << fileName();
    }
};
