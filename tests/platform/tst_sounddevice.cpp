// The sound device where there is no sound output: it still reports the end
// of every sound, after the sound's length, and never stays busy.
#include "AudioSoundDevice.h"
#include "ToneFile.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <future>

using namespace Qt::StringLiterals;

class tst_SoundDevice : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tone;

private Q_SLOTS:
    void initTestCase()
    {
        // No sound server for this test: the device must manage without.
        qputenv("PULSE_SERVER", "unix:/nonexistent/quelvane-test");
        m_tone = m_dir.filePath(u"tone.wav"_s);
        QVERIFY(writeTone(m_tone, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 0.4));
    }

    void endReportedAfterTheSoundsLength()
    {
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        QVERIFY(device.hasSound());
        QElapsedTimer clock;
        clock.start();
        device.setCommand(u"Play"_s);
        QVERIFY(done.isEmpty());
        QVERIFY(done.wait(2000));
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 390 && took <= 500, qPrintable(QString::number(took)));
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);
    }

    void playAgainFromTheStart()
    {
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(2000));
        // At the end, "Play" has nothing left until "Prev" rewinds.
        QElapsedTimer clock;
        clock.start();
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(2000));
        QVERIFY(clock.elapsed() < 100);
        device.setCommand(u"Stop"_s);
        device.setCommand(u"Prev"_s);
        clock.restart();
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(2000));
        QVERIFY(clock.elapsed() >= 390);
    }

    void stopEndsTheSoundOnce()
    {
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        device.setCommand(u"Play"_s);
        device.setCommand(u"Play"_s); // already playing: nothing more to report
        device.setCommand(u"Stop"_s);
        QVERIFY(done.isEmpty()); // never from inside a command
        QVERIFY(done.wait(1000));
        QTest::qWait(500);
        QCOMPARE(done.count(), 1);
    }

    void unplayableFilesEndAtOnce_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing") << u"/no/such.wav"_s;
        QTest::newRow("folder") << QDir::tempPath();
        QTest::newRow("not a sound") << QString::fromUtf8(__FILE__);
    }
    void unplayableFilesEndAtOnce()
    {
        QFETCH(QString, path);
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(path);
        device.setCommand(u"Open"_s);
        QVERIFY(!device.hasSound());
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(200));
        QCOMPARE(done.count(), 1);
    }

    // A file whose decoding outlives "Open"'s wait plays at the first "Play"
    // after it has decoded, with no new "Open": the board opens a file
    // again only when its name changes.
    void aLateDecodePlaysAtTheNextPlay()
    {
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> decoded = false;
        AudioSoundDevice device;
        device.setDecoder(
            [&](const QString &path) {
                released.wait();
                auto sound = SoundFile::decodeFile(path);
                decoded = true;
                return sound;
            },
            std::chrono::milliseconds(20));
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setFileName(m_tone);
        device.setCommand(u"Open"_s);
        const auto press = [&] {
            device.setCommand(u"Play"_s);
            done.wait(2000);
            device.setCommand(u"Stop"_s);
            device.setCommand(u"Prev"_s);
        };
        press();
        QVERIFY(!device.hasSound()); // still decoding: silent, but it ends
        release.set_value();
        QTRY_VERIFY(decoded);
        // The worker hands its result over a moment after decoding; the
        // press after that plays the whole sound.
        QElapsedTimer clock;
        QTRY_VERIFY((clock.start(), press(), device.hasSound()));
        QVERIFY2(clock.elapsed() >= 390, qPrintable(QString::number(clock.elapsed())));
    }

    void playWithoutOpen()
    {
        AudioSoundDevice device;
        QSignalSpy done(&device, &SoundDevice::Done);
        device.setCommand(u"Play"_s);
        QVERIFY(done.wait(200));
        device.setCommand(u"Close"_s);
        device.setCommand(u"Bogus"_s);
        QCOMPARE(done.count(), 1);
    }
};

QTEST_MAIN(tst_SoundDevice)
#include "tst_sounddevice.moc"
