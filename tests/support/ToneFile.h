#pragma once

#include <QString>
#include <cmath>
#include <sndfile.h>
#include <vector>

// Writes a sine tone as a sound file in the given libsndfile format, for
// tests that need sound files of every kind.
inline bool writeTone(const QString &path, int format, int channels, int rate, double seconds,
                      double frequency = 440.0, double amplitude = 0.5)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const auto frames = sf_count_t(seconds * rate);
    std::vector<float> samples(size_t(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i) {
        const double s = amplitude * std::sin(2 * 3.14159265358979 * frequency * double(i) / rate);
        for (int c = 0; c < channels; ++c)
            samples[size_t(i * channels + c)] = float(s);
    }
    const bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    sf_close(file);
    return ok;
}
