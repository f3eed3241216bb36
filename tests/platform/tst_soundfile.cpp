#include "DecodeWithin.h"
#include "SoundFile.h"
#include "ToneFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// Mean absolute sample value, to tell a tone from silence.
double level(const DecodedSound &sound)
{
    const auto *s = reinterpret_cast<const short *>(sound.samples.constData());
    const qsizetype n = sound.samples.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i)
        sum += std::abs(s[i]);
    return n ? sum / n / 32768.0 : 0;
}

QByteArray toneBytes(int format, double seconds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tone.wav"_s);
    if (!writeTone(path, format, 1, 8000, seconds))
        return {};
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

QByteArray littleEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class tst_SoundFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyCommonWaveDecodes_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("rate");
        const int wav = SF_FORMAT_WAV;
        QTest::newRow("8-bit mono 22050") << (wav | SF_FORMAT_PCM_U8) << 1 << 22050;
        QTest::newRow("16-bit mono 44100") << (wav | SF_FORMAT_PCM_16) << 1 << 44100;
        QTest::newRow("16-bit stereo 48000") << (wav | SF_FORMAT_PCM_16) << 2 << 48000;
        QTest::newRow("24-bit stereo 44100") << (wav | SF_FORMAT_PCM_24) << 2 << 44100;
        QTest::newRow("32-bit mono 48000") << (wav | SF_FORMAT_PCM_32) << 1 << 48000;
        QTest::newRow("float stereo 22050") << (wav | SF_FORMAT_FLOAT) << 2 << 22050;
        QTest::newRow("u-law mono") << (wav | SF_FORMAT_ULAW) << 1 << 22050;
        QTest::newRow("A-law mono") << (wav | SF_FORMAT_ALAW) << 1 << 44100;
        QTest::newRow("IMA ADPCM mono") << (wav | SF_FORMAT_IMA_ADPCM) << 1 << 22050;
        QTest::newRow("MS ADPCM stereo") << (wav | SF_FORMAT_MS_ADPCM) << 2 << 44100;
        QTest::newRow("six channels") << (wav | SF_FORMAT_PCM_16) << 6 << 48000;
        QTest::newRow("big-endian (RIFX)")
            << (wav | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG) << 1 << 44100;
        QTest::newRow("RF64") << (SF_FORMAT_RF64 | SF_FORMAT_PCM_24) << 2 << 48000;
    }
    void everyCommonWaveDecodes()
    {
        QFETCH(int, format);
        QFETCH(int, channels);
        QFETCH(int, rate);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tone.wav"_s);
        QVERIFY(writeTone(path, format, channels, rate, 0.5));
        const auto sound = SoundFile::decodeFile(path);
        QVERIFY(sound);
        QCOMPARE(sound->sampleRate, rate);
        QCOMPARE(sound->channels, std::min(channels, 2));
        QVERIFY(qAbs(sound->durationMs() - 500) <= 20);
        // A sine of amplitude 0.5 has a mean absolute value of about 0.32.
        QVERIFY2(qAbs(level(*sound) - 0.318) < 0.03, qPrintable(QString::number(level(*sound))));
    }

    void badFilesDecodeToNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tone.wav"_s);
        writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100, 0.2);
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray valid = f.readAll();

        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("cut in the header") << valid.left(30);
        QTest::newRow("header without data") << valid.left(44);
        QTest::newRow("text named .wav") << QByteArray("This is not a sound.\nJust words.\n");
        QTest::newRow("another kind of sound named .wav")
            << toneBytes(SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0.2);
        QTest::newRow("sound without a format chunk") << valid.left(12) + valid.mid(36);
        QByteArray huge = valid.left(44);
        // The data chunk claims two gigabytes that are not there.
        huge[40] = char(0xF0);
        huge[41] = char(0xFF);
        huge[42] = char(0xFF);
        huge[43] = char(0x7F);
        QTest::newRow("huge declared length") << huge;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 31 + 7) & 0xFF);
        QTest::newRow("binary") << binary;
        // Found by the fuzzer: a chunk before the data claiming to run far past
        // the end, on which the decoding library loops for ever.
        QTest::newRow("chunk past the end") << QByteArray::fromBase64(
            "UklGRnIGAABXQVZFSU5GT0X////////////////////////////////////////"
            "///////////////////////f////////////////////////////////////"
            "///////////////////////////////////////////////8tHwEAPplSSQ==");
    }
    void wavesLaidOutOddlyDecode_data()
    {
        // A plain 16-bit wave of one second: "RIFF" header, a 16-byte format
        // chunk at 12, the sound's chunk header at 36 and 16000 bytes of sound.
        const QByteArray plain = toneBytes(SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1.0);
        const QByteArray riff = plain.left(12), format = plain.mid(12, 24);
        const QByteArray soundHeader = plain.mid(36, 4), sound = plain.mid(44);
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("plain") << plain << 1000;
        // Found by the fuzzer: the decoding library loops for ever on this.
        QTest::newRow("a chunk after the sound runs past the end")
            << plain + "INFO" + littleEndian32(0xFFFFFF45) + QByteArray(20, '\xFF') +
                   littleEndian32(0xFFFFFFF7)
            << 1000;
        QTest::newRow("an odd-sized chunk before the format")
            << riff + "LIST" + littleEndian32(5) + "INFOx" + '\0' + plain.mid(12) << 1000;
        QTest::newRow("the sound before the format")
            << riff + soundHeader + littleEndian32(quint32(sound.size())) + sound + format << 1000;
        QTest::newRow("a sound of no length (written as a stream)")
            << plain.left(40) + littleEndian32(0) + sound << 1000;
        QTest::newRow("a sound of unknown length")
            << plain.left(40) + littleEndian32(0xFFFFFFFF) + sound << 1000;
        QTest::newRow("a sound cut short") << plain.left(44 + 8000) << 500;
    }
    void wavesLaidOutOddlyDecode()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, milliseconds);
        const auto sound = SoundFile::decode(content);
        QVERIFY(sound);
        QCOMPARE(sound->durationMs(), milliseconds);
        QVERIFY(qAbs(level(*sound) - 0.318) < 0.03);
    }

    void badFilesDecodeToNothing()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"bad.wav"_s);
        writeBytes(path, content);
        QVERIFY(!SoundFile::decodeFile(path));
    }

    void missingFilesAndFolders()
    {
        QVERIFY(!SoundFile::decodeFile(QString()));
        QVERIFY(!SoundFile::decodeFile(u"/no/such/file.wav"_s));
        QVERIFY(!SoundFile::decodeFile(QDir::tempPath()));
    }

    void hugeDeclaredLengthWithSomeData()
    {
        // Only what is there is read, and never more than the cap.
        QTemporaryDir dir;
        const QString path = dir.filePath(u"tone.wav"_s);
        QVERIFY(writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000, 1.0));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        bytes[40] = char(0xF0);
        bytes[41] = char(0xFF);
        bytes[42] = char(0xFF);
        bytes[43] = char(0x7F);
        const auto sound = SoundFile::decode(bytes);
        if (sound)
            QVERIFY(sound->durationMs() <= 1000);
    }

    void aDecodeThatOverrunsIsLeftBehind()
    {
        using namespace std::chrono_literals;
        // Static: a worker left behind by a failed check must not outlive them.
        static QSemaphore go;
        static std::atomic<int> started = 0;
        const SoundFile::Decoder stuck = [](const QString &) -> std::optional<DecodedSound> {
            ++started;
            go.acquire();
            return DecodedSound{QByteArray(8000, '\1'), 8000, 1};
        };
        const QString path = u"/sounds/stuck.wav"_s;
        QElapsedTimer waited;
        waited.start();
        QVERIFY(!SoundFile::decodeFileWithin(path, 100ms, stuck));
        QVERIFY(waited.elapsed() >= 100 && waited.elapsed() < 1000);

        // While it runs, asking again neither waits nor starts another.
        waited.restart();
        QVERIFY(!SoundFile::decodeFileWithin(path, 100ms, stuck));
        QVERIFY(waited.elapsed() < 50);
        QCOMPARE(started.load(), 1);

        // Once it ends, the next request takes its result; the one after decodes anew.
        go.release(2);
        std::optional<DecodedSound> late;
        for (int tries = 0; tries < 100 && !late; ++tries) {
            QTest::qWait(10);
            late = SoundFile::decodeFileWithin(path, 100ms, stuck);
        }
        QVERIFY(late);
        QCOMPARE(late->durationMs(), 500);
        QCOMPARE(started.load(), 1);
        QVERIFY(SoundFile::decodeFileWithin(path, 1000ms, stuck));
        QCOMPARE(started.load(), 2);
    }

    void longSoundsAreCut()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"long.wav"_s);
        QVERIFY(
            writeTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 1, 8000, SoundFile::MaxSeconds + 5));
        const auto sound = SoundFile::decodeFile(path);
        QVERIFY(sound);
        QCOMPARE(sound->durationMs(), qint64(SoundFile::MaxSeconds) * 1000);
    }
};

QTEST_APPLESS_MAIN(tst_SoundFile)
#include "tst_soundfile.moc"
