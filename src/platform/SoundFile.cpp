#include "SoundFile.h"

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

// libsndfile 1.2 can loop for ever opening a wave file in which a chunk before
// the sound data claims to run past the end of the file, so such a file is
// refused before it is handed over. The data chunk itself may be cut short or
// carry no length (a recording stopped early, or written as a stream).
bool waveChunksFit(const QByteArray &data)
{
    const bool little = data.startsWith("RIFF") || data.startsWith("RF64");
    if (data.size() < 12 || !(little || data.startsWith("RIFX")) || data.mid(8, 4) != "WAVE")
        return true;
    auto byteAt = [&](qint64 i) { return quint32(quint8(data[qsizetype(i)])); };
    qint64 at = 12;
    while (at + 8 <= data.size()) {
        const quint32 size = little ? byteAt(at + 4) | byteAt(at + 5) << 8 | byteAt(at + 6) << 16 |
                                          byteAt(at + 7) << 24
                                    : byteAt(at + 7) | byteAt(at + 6) << 8 | byteAt(at + 5) << 16 |
                                          byteAt(at + 4) << 24;
        if (data.mid(qsizetype(at), 4) == "data")
            return true;
        if (at + 8 + qint64(size) > data.size())
            return false;
        at += 8 + qint64(size) + (size & 1);
    }
    return true;
}

} // namespace

namespace SoundFile {

std::optional<DecodedSound> decode(const QByteArray &data)
{
    if (data.isEmpty() || !waveChunksFit(data))
        return std::nullopt;
    MemoryFile memory{&data};
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
