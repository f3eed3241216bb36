#pragma once

#include "SoundFile.h"

#include <chrono>
#include <functional>

namespace SoundFile {

using Decoder = std::function<std::optional<DecodedSound>(const QString &path)>;

// Decodes on a worker thread and waits at most `limit` for it, so that a
// decoding library caught in a loop costs a thread, not the board. A decode
// that outlives the limit gives nothing now and is not started again while it
// runs; once it ends, the next request for the same file takes its result.
std::optional<DecodedSound> decodeFileWithin(const QString &path, std::chrono::milliseconds limit,
                                             const Decoder &decoder = decodeFile);

// Whether a decode of this file outlived its limit and its result, or its
// end, is still to be taken by decodeFileWithin.
bool decodeOverdue(const QString &path);

} // namespace SoundFile
