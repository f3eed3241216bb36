#include "AudioSoundDevice.h"
#include "DecodeWithin.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {

// Asked of the output: enough to ride out a late timer tick without a gap,
// small enough that a buzzer still starts as soon as the server's own player.
constexpr int BufferMs = 100;
// How often more of the sound is handed to the output.
constexpr int FeedMs = 10;
// The most we wait past the sound's length for the output to drain.
constexpr int DrainAllowanceMs = 60;
// The longest "Open" waits for a file to decode. A minute of sound (the cap)
// decodes in tens of milliseconds; a file that takes longer has caught the
// decoding library in a loop, or sits on a very slow disk.
constexpr std::chrono::milliseconds DecodeLimit{1000};

} // namespace

AudioSoundDevice::AudioSoundDevice(QObject *parent)
    : SoundDevice(parent), m_decodeLimit(DecodeLimit)
{
    m_endTimer.setSingleShot(true);
    m_endTimer.setTimerType(Qt::PreciseTimer);
    m_feedTimer.setInterval(FeedMs);
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_feedTimer, &QTimer::timeout, this, &AudioSoundDevice::feed);
    connect(&m_endTimer, &QTimer::timeout, this, [this] {
        if (m_sound)
            m_position = m_sound->samples.size();
        finish();
    });
}

AudioSoundDevice::~AudioSoundDevice()
{
    releaseSink();
}

void AudioSoundDevice::execute(const QString &command)
{
    if (command.compare(u"Open", Qt::CaseInsensitive) == 0)
        open();
    else if (command.compare(u"Play", Qt::CaseInsensitive) == 0)
        play();
    else if (command.compare(u"Stop", Qt::CaseInsensitive) == 0)
        stop();
    else if (command.compare(u"Prev", Qt::CaseInsensitive) == 0)
        m_position = 0;
    else if (command.compare(u"Close", Qt::CaseInsensitive) == 0)
        close();
}

qint64 AudioSoundDevice::bytesPerSecond() const
{
    return m_sound ? qint64(m_sound->sampleRate) * m_sound->channels * 2 : 0;
}

void AudioSoundDevice::setDecoder(SoundFile::Decoder decoder, std::chrono::milliseconds limit)
{
    m_decoder = std::move(decoder);
    m_decodeLimit = limit;
}

void AudioSoundDevice::open()
{
    close();
    m_openedFile = fileName();
    m_sound = SoundFile::decodeFileWithin(m_openedFile, m_decodeLimit, m_decoder);
    m_position = 0;
}

void AudioSoundDevice::close()
{
    stop();
    releaseSink();
    m_sound.reset();
    m_openedFile.clear();
    m_position = 0;
}

void AudioSoundDevice::play()
{
    if (m_playing)
        return;
    // A file that was still decoding when it was opened (a slow stick, a
    // network folder) plays once its decoding has ended: the board opens a
    // file again only when its name changes, so waiting for that would keep
    // the buzzer silent.
    if (!m_sound && SoundFile::decodeOverdue(m_openedFile)) {
        m_sound =
            SoundFile::decodeFileWithin(m_openedFile, std::chrono::milliseconds(0), m_decoder);
        m_position = 0;
    }
    m_playing = true;
    m_onOutput = false;
    if (!m_sound || m_position >= m_sound->samples.size()) {
        // Nothing to play: the end is now, reported from the event loop.
        m_endTimer.start(0);
        return;
    }
    const qint64 remainingMs = (m_sound->samples.size() - m_position) * 1000 / bytesPerSecond();
    m_playStartPosition = m_position;
    m_playClock.start();

    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(m_sound->sampleRate);
    format.setChannelCount(m_sound->channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!output.isNull() && output.isFormatSupported(format)) {
        // The same file on the same output plays again on the same stream.
        if (!m_sink || m_sink->format() != format || m_sinkDevice != output) {
            releaseSink();
            m_sinkDevice = output;
            m_sink = std::make_unique<QAudioSink>(output, format);
            m_sink->setBufferSize(qsizetype(bytesPerSecond() * BufferMs / 1000));
            connect(m_sink.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
                // An output that gives up early ends the sound there.
                if (m_playing && state == QAudio::StoppedState &&
                    m_sink->error() != QAudio::NoError)
                    m_endTimer.start(0);
            });
        }
        // Pushed rather than pulled: a pulled stream that runs dry once
        // waits for news from its source and may fall silent for good.
        m_output = m_sink->start();
        m_onOutput = m_output && m_sink->error() == QAudio::NoError;
        m_feedPosition = m_position;
        if (m_onOutput) {
            feed();
            m_feedTimer.start();
        }
    }
    m_endTimer.start(int(remainingMs) + (m_onOutput ? DrainAllowanceMs : 0));
}

void AudioSoundDevice::feed()
{
    if (!m_output || !m_sound)
        return;
    const QByteArray &samples = m_sound->samples;
    const qint64 frameBytes = qint64(m_sound->channels) * 2;
    const qint64 free = m_sink->bytesFree() / frameBytes * frameBytes;
    const qint64 left = samples.size() - m_feedPosition;
    const qint64 chunk = std::min(free, left);
    if (chunk > 0) {
        const qint64 written = m_output->write(samples.constData() + m_feedPosition, chunk);
        if (written > 0)
            m_feedPosition += written;
    }
    if (m_feedPosition >= samples.size())
        m_feedTimer.stop();
}

void AudioSoundDevice::stop()
{
    if (!m_playing)
        return;
    if (m_sound) {
        const qint64 played =
            m_playClock.isValid() ? m_playClock.elapsed() * bytesPerSecond() / 1000 : 0;
        const qint64 frameBytes = qint64(m_sound->channels) * 2;
        m_position = std::min<qint64>(m_sound->samples.size(),
                                      (m_playStartPosition + played) / frameBytes * frameBytes);
    }
    finish();
}

void AudioSoundDevice::finish()
{
    if (!m_playing)
        return;
    m_playing = false;
    m_endTimer.stop();
    m_feedTimer.stop();
    if (m_sink)
        m_sink->stop();
    m_output = nullptr;
    // Reported from the event loop, never from inside a command.
    QMetaObject::invokeMethod(this, &SoundDevice::Done, Qt::QueuedConnection);
}

void AudioSoundDevice::releaseSink()
{
    m_feedTimer.stop();
    m_output = nullptr;
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.reset();
    }
}
