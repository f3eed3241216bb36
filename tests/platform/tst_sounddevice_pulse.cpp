// The sound device against a real sound server: the sound must arrive at the
// output, and its end be reported close to when a reference player ends.
#include "AudioSoundDevice.h"
#include "SoundFile.h"
#include "ToneFile.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Records the null sink's monitor, raw 16-bit mono at 48 kHz, while it lives.
class MonitorRecording {
public:
    MonitorRecording()
    {
        m_process.start(u"parec"_s,
                        {u"--device=nullsink.monitor"_s, u"--rate=48000"_s, u"--channels=1"_s,
                         u"--format=s16le"_s, u"--latency-msec=20"_s});
    }
    bool started() { return m_process.waitForStarted(3000); }
    DecodedSound stop()
    {
        m_process.terminate();
        m_process.waitForFinished(3000);
        DecodedSound sound;
        sound.sampleRate = 48000;
        sound.channels = 1;
        sound.samples = m_process.readAllStandardOutput();
        return sound;
    }

private:
    QProcess m_process;
};

// The longest unbroken stretch of the recording, in milliseconds, whose
// 10 ms windows all hold sound: a sound that stalls halfway is caught.
int audibleMs(const DecodedSound &sound)
{
    const auto *s = reinterpret_cast<const short *>(sound.samples.constData());
    const qint64 window = sound.sampleRate / 100;
    int run = 0;
    int longest = 0;
    for (qint64 start = 0; start + window <= sound.frames(); start += window) {
        double energy = 0;
        for (qint64 i = start; i < start + window; ++i)
            energy += double(s[i]) * s[i];
        run = std::sqrt(energy / double(window)) > 1000 ? run + 10 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

} // namespace

class tst_SoundDevicePulse : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tone;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!QMediaDevices::defaultAudioOutput().isNull(), "no audio output found");
        m_tone = m_dir.filePath(u"tone.wav"_s);
        QVERIFY(writeTone(m_tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 0.5, 440, 0.5));
    }

    void soundArrivesAndItsEndIsReportedOnTime()
    {
        // The reference: how long the server's own player takes for the file.
        QElapsedTimer clock;
        clock.start();
        QProcess paplay;
        paplay.start(u"paplay"_s, {m_tone});
        QVERIFY(paplay.waitForFinished(5000));
        QCOMPARE(paplay.exitCode(), 0);
        const qint64 reference = clock.elapsed();

        MonitorRecording recording;
        QVERIFY(recording.started());
        QTest::qWait(300);

        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        clock.restart();
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(3000));
        const qint64 ours = clock.elapsed();
        QVERIFY(device.playedOnOutput());
        QTest::qWait(400);
        const DecodedSound sound = recording.stop();

        qInfo("end reported after %lld ms; paplay took %lld ms for the 500 ms sound", ours,
              reference);
        QVERIFY2(ours >= 500 && ours <= 600, qPrintable(QString::number(ours)));
        // The reference player's time includes its own start-up, so ours may
        // be well below it, never far above.
        QVERIFY2(ours <= reference + 100, qPrintable(QString::number(reference)));

        QVERIFY(sound.frames() > 48000 / 2);
        const int audible = audibleMs(sound);
        qInfo("the monitor heard %d ms of unbroken sound", audible);
        QVERIFY2(audible >= 450 && audible <= 560, qPrintable(QString::number(audible)));
        QCOMPARE(done.count(), 1);
    }

    // How soon a sound starts, against the server's own player in the same
    // recording: both are heard on the monitor, and the gap between their
    // starts is compared with the gap between the two requests.
    void startsAsSoonAsTheReferencePlayer()
    {
        MonitorRecording recording;
        QVERIFY(recording.started());
        QTest::qWait(300);
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        QElapsedTimer clock;
        clock.start();
        QProcess paplay;
        paplay.start(u"paplay"_s, {m_tone});
        QVERIFY(paplay.waitForFinished(5000));
        QTest::qWait(300);
        const qint64 ourRequest = clock.elapsed();
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(3000));
        QTest::qWait(300);
        const DecodedSound sound = recording.stop();

        // Sound starts: the first loud millisecond after at least 100 ms of quiet.
        const auto *s = reinterpret_cast<const short *>(sound.samples.constData());
        QList<qint64> starts;
        qint64 quiet = 100;
        for (qint64 ms = 0; (ms + 1) * 48 <= sound.frames(); ++ms) {
            int peak = 0;
            for (qint64 i = ms * 48; i < (ms + 1) * 48; ++i)
                peak = std::max(peak, std::abs(int(s[i])));
            if (peak > 3000) {
                if (quiet >= 100)
                    starts << ms;
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        QCOMPARE(starts.size(), 2);
        const qint64 heardGap = starts[1] - starts[0];
        const qint64 later = heardGap - ourRequest; // ours later than paplay by this
        qInfo("our sound starts %lld ms %s than the reference player's", std::abs(later),
              later >= 0 ? "later" : "sooner");
        QVERIFY2(later < 50, qPrintable(QString::number(later)));
    }

    void theSameFilePlaysAgain()
    {
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            device.setCommand(u"Play"_s);
            QVERIFY(done.wait(3000));
            QVERIFY(clock.elapsed() >= 500);
            device.setCommand(u"Stop"_s);
            device.setCommand(u"Prev"_s);
        }
        QCOMPARE(done.count(), 3);
    }
};

QTEST_MAIN(tst_SoundDevicePulse)
#include "tst_sounddevice_pulse.moc"
