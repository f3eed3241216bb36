#pragma once

#include "DecodeWithin.h"
#include "SoundDevice.h"
#include "SoundFile.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

class QAudioSink;

// The sound device of the running program: libsndfile decodes the file once
// at "Open" (on a worker thread, waited for at most a second), and the
// samples are pushed to a QAudioSink with a short buffer so that a buzzer
// starts at once. The end is timed from the sound's length, so Done() comes
// also when the output fails or there is no audio device at all.
class AudioSoundDevice : public SoundDevice {
    Q_OBJECT

public:
    explicit AudioSoundDevice(QObject *parent = nullptr);
    ~AudioSoundDevice() override;

    // How files are decoded and how long "Open" waits for one; tests hold a
    // decode back with it.
    void setDecoder(SoundFile::Decoder decoder, std::chrono::milliseconds limit);
    // Whether the open file decoded; for tests and diagnostics.
    bool hasSound() const { return m_sound.has_value(); }
    // Whether the last "Play" reached a real audio output.
    bool playedOnOutput() const { return m_onOutput; }

protected:
    void execute(const QString &command) override;

private:
    void open();
    void play();
    void stop();
    void close();
    void finish();
    void feed();
    void releaseSink();
    qint64 bytesPerSecond() const;

    SoundFile::Decoder m_decoder = SoundFile::decodeFile;
    std::chrono::milliseconds m_decodeLimit;
    // The file "Open" last opened; a decode of it that outlived the wait is
    // taken by the next "Play" that finds it finished.
    QString m_openedFile;
    std::optional<DecodedSound> m_sound;
    std::unique_ptr<QAudioSink> m_sink;
    QAudioDevice m_sinkDevice;
    QTimer m_endTimer;
    QTimer m_feedTimer;
    QIODevice *m_output = nullptr; // the sink's input while playing
    qint64 m_feedPosition = 0;     // byte offset of the next sample handed over
    QElapsedTimer m_playClock;
    qint64 m_position = 0; // byte offset where the next "Play" starts
    qint64 m_playStartPosition = 0;
    bool m_playing = false;
    bool m_onOutput = false;
};
