#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A sound decoded into memory: interleaved signed 16-bit samples.
struct DecodedSound {
    QByteArray samples;
    int sampleRate = 0;
    int channels = 0;

    qint64 frames() const { return channels ? samples.size() / (2 * channels) : 0; }
    // Playing time in milliseconds.
    qint64 durationMs() const { return sampleRate ? frames() * 1000 / sampleRate : 0; }
};

namespace SoundFile {

// Sounds longer than this are cut; a buzzer has no business being longer.
constexpr int MaxSeconds = 60;

// Decodes a wave file (PCM of 8 to 32 bits, float, u-law, A-law, ADPCM; any
// rate) to at most two channels. Nothing for a file that is missing,
// unreadable, empty or not a wave file.
std::optional<DecodedSound> decodeFile(const QString &path);
std::optional<DecodedSound> decode(const QByteArray &data);

} // namespace SoundFile
