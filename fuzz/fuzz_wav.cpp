// Sound files: whatever a file named .wav holds.
#include "SoundFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto sound = SoundFile::decode(bytes);
    if (sound && (sound->channels < 1 || sound->channels > 2 ||
                  sound->durationMs() > SoundFile::MaxSeconds * 1000))
        __builtin_trap();
    return 0;
}
