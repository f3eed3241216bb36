#pragma once

#include <QByteArray>
#include <optional>

namespace WaveChunks {

// The same sound as a wave file holding nothing but its format chunk and its
// sound data, with sizes that agree with the bytes there are. Reads RIFF and
// RIFX files and RF64 (written back as RIFF); chunks may come in any order,
// the sound data may be cut short or carry no length (a recording stopped
// early or written as a stream), and anything after a chunk that runs past
// the end is left out. Nothing for a file that is not a wave file or lacks a
// format chunk or sound data.
std::optional<QByteArray> stripped(const QByteArray &file);

} // namespace WaveChunks
