#include "AudioSoundDevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {

// Asked of the output: what it holds beyond this is latency we wait for.
constexpr int BufferMs = 40;
// The most we wait past the sound's length for the output to drain.
constexpr int DrainAllowanceMs = 60;

} // namespace

AudioSoundDevice::AudioSoundDevice(QObject *parent) : SoundDevice(parent)
{
    m_endTimer.setSingleShot(true);
    m_endTimer.setTimerType(Qt::PreciseTimer);
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

void AudioSoundDevice::open()
{
    close();
    m_sound = SoundFile::decodeFile(fileName());
    m_buffer.setData(m_sound ? m_sound->samples : QByteArray());
    m_position = 0;
}

void AudioSoundDevice::close()
{
    stop();
    releaseSink();
    m_buffer.close();
    m_buffer.setData(QByteArray());
    m_sound.reset();
    m_position = 0;
}

void AudioSoundDevice::play()
{
    if (m_playing)
        return;
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
        if (!m_buffer.isOpen())
            m_buffer.open(QIODevice::ReadOnly);
        m_buffer.seek(m_position);
        m_sink->start(&m_buffer);
        m_onOutput = m_sink->error() == QAudio::NoError;
    }
    m_endTimer.start(int(remainingMs) + (m_onOutput ? DrainAllowanceMs : 0));
}

void AudioSoundDevice::stop()
{
    if (!m_playing)
        return;
    if (m_sound) {
        const qint64 played = m_playClock.isValid() ? m_playClock.elapsed() * bytesPerSecond() / 1000
                                                    : 0;
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
    if (m_sink)
        m_sink->stop();
    // Reported from the event loop, never from inside a command.
    QMetaObject::invokeMethod(this, &SoundDevice::Done, Qt::QueuedConnection);
}

void AudioSoundDevice::releaseSink()
{
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink.reset();
    }
}
