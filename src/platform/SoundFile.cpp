#include "SoundFile.h"
#include "WaveChunks.h"

#include <QFile>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// libsndfile reads from memory through these callbacks.
struct MemoryFile {
    const QByteArray *data;
    sf_count_t position = 0;
};

sf_count_t memLength(void *user)
{
    return static_cast<MemoryFile *>(user)->data->size();
}

sf_count_t memSeek(sf_count_t offset, int whence, void *user)
{
    auto *f = static_cast<MemoryFile *>(user);
    sf_count_t target = offset;
    if (whence == SEEK_CUR)
        target = f->position + offset;
    else if (whence == SEEK_END)
        target = f->data->size() + offset;
    f->position = std::clamp<sf_count_t>(target, 0, f->data->size());
    return f->position;
}

sf_count_t memRead(void *ptr, sf_count_t count, void *user)
{
    auto *f = static_cast<MemoryFile *>(user);
    const sf_count_t n = std::clamp<sf_count_t>(f->data->size() - f->position, 0, count);
    std::memcpy(ptr, f->data->constData() + f->position, size_t(n));
    f->position += n;
    return n;
}

sf_count_t memWrite(const void *, sf_count_t, void *)
{
    return 0;
}

sf_count_t memTell(void *user)
{
    return static_cast<MemoryFile *>(user)->position;
}

short toSample(float value)
{
    if (!(value == value)) // NaN
        return 0;
    return short(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

constexpr qint64 MaxFileBytes = 256ll * 1024 * 1024;

} // namespace

namespace SoundFile {

std::optional<DecodedSound> decode(const QByteArray &data)
{
    // libsndfile is handed only the chunks that make the sound: version 1.2
    // loops for ever on some chunk tables (a chunk that claims to run past the
    // end of the file, before or after the sound data).
    const auto wave = WaveChunks::stripped(data);
    if (!wave)
        return std::nullopt;
    MemoryFile memory{&*wave};
    SF_VIRTUAL_IO io{memLength, memSeek, memRead, memWrite, memTell};
    SF_INFO info{};
    SNDFILE *file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file)
        return std::nullopt;
    const int channels = info.channels;
    if (channels < 1 || channels > 64 || info.samplerate < 1000 || info.samplerate > 768000) {
        sf_close(file);
        return std::nullopt;
    }
    DecodedSound sound;
    sound.sampleRate = info.samplerate;
    sound.channels = std::min(channels, 2);

    // Read in chunks up to the cap, whatever length the header claims.
    const qint64 maxFrames = qint64(info.samplerate) * MaxSeconds;
    constexpr sf_count_t Chunk = 4096;
    // Read as floats: libsndfile scales every format to -1..1 that way,
    // while reading a float file as integers would not scale it.
    std::vector<float> chunk(size_t(Chunk * channels));
    qint64 total = 0;
    while (total < maxFrames) {
        const sf_count_t want = std::min<sf_count_t>(Chunk, maxFrames - total);
        const sf_count_t got = sf_readf_float(file, chunk.data(), want);
        if (got <= 0)
            break;
        const qsizetype before = sound.samples.size();
        sound.samples.resize(before + qsizetype(got) * sound.channels * 2);
        auto *out = reinterpret_cast<short *>(sound.samples.data() + before);
        for (sf_count_t frame = 0; frame < got; ++frame) {
            for (int c = 0; c < sound.channels; ++c)
                *out++ = toSample(chunk[size_t(frame * channels + c)]);
        }
        total += got;
    }
    sf_close(file);
    if (total == 0)
        return std::nullopt;
    return sound;
}

std::optional<DecodedSound> decodeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return std::nullopt;
    return decode(file.readAll());
}

} // namespace SoundFile
