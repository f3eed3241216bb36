#pragma once

#include "MonotonicClock.h"
#include "RecordingSoundDevice.h"
#include "Settings.h"
#include "SettingsStore.h"
#include "Tarrow.h"
#include "frmScoreboard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

// A scoreboard on a hand-moved clock with a recording sound device, two
// existing sound files and the default settings.
struct BoardHarness {
    QTemporaryDir dir;
    ManualClock clock;
    RecordingSoundDevice sound;
    QTime timeOfDay = QTime(14, 5, 33);
    int helpShown = 0;
    int optionsShown = 0;
    // What F2 opens, when a test wants more than a count.
    std::function<void()> showOptionsWith;
    std::unique_ptr<frmScoreboard> board;

    QString buzzerFile() const { return dir.filePath(QStringLiteral("buzzer.wav")); }
    QString periodFile() const { return dir.filePath(QStringLiteral("periodendsound.wav")); }

    explicit BoardHarness(const QString &timeFormat = QStringLiteral("HH:mm:ss"))
    {
        for (const QString &path : {buzzerFile(), periodFile()}) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("RIFF");
        }
        Settings = SettingsStore::defaults(dir.path());
        Settings.BuzzerFile = buzzerFile();
        Settings.PeriodEndSoundFile = periodFile();
        ScoreboardServices services;
        services.clock = &clock;
        services.sound = &sound;
        services.timeOfDay = [this] { return timeOfDay; };
        services.timeFormat = timeFormat;
        services.showHelp = [this] { ++helpShown; };
        services.showOptions = [this] {
            ++optionsShown;
            if (showOptionsWith)
                showOptionsWith();
        };
        board = std::make_unique<frmScoreboard>(services);
        board->show();
        // The tests drive the refresh themselves.
        board->tmrClock1.stop();
    }

    // Moves time on and runs one refresh, as a timer tick does.
    void tick(int ms)
    {
        clock.advanceMilliseconds(ms);
        board->RefreshTime();
    }

    // Lets the sound now playing end.
    void soundEnds() { sound.finishSound(); }

    void key(int code) { board->AllKeyCode(code); }
};
