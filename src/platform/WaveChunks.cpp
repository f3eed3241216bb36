#include "WaveChunks.h"

#include <QtEndian>

namespace {

constexpr quint32 NoLength = 0xFFFFFFFF;

// Where a wave file keeps what it takes to play it.
struct Layout {
    bool bigEndian = false;
    qsizetype formatAt = 0, formatLength = 0;
    qsizetype soundAt = 0, soundLength = 0;
};

std::optional<Layout> findLayout(const QByteArray &file)
{
    if (file.size() < 12 || file.mid(8, 4) != "WAVE")
        return std::nullopt;
    const QByteArray kind = file.left(4);
    if (kind != "RIFF" && kind != "RIFX" && kind != "RF64")
        return std::nullopt;
    Layout layout;
    layout.bigEndian = kind == "RIFX";
    auto number = [&](qsizetype at, auto type) {
        const char *p = file.constData() + at;
        using T = decltype(type);
        return layout.bigEndian ? qFromBigEndian<T>(p) : qFromLittleEndian<T>(p);
    };
    std::optional<quint64> longSoundLength; // an RF64 file keeps it in its ds64 chunk
    bool haveFormat = false, haveSound = false;
    qsizetype at = 12;
    while (at + 8 <= file.size() && !(haveFormat && haveSound)) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype body = at + 8;
        const auto left = quint64(file.size() - body);
        quint64 length = number(at + 4, quint32());
        if (id == "data") {
            if (length == NoLength && longSoundLength)
                length = *longSoundLength;
            if (length == 0 || length == NoLength || length > left)
                length = left; // cut short or never given: the rest of the file
            if (!haveSound)
                layout.soundAt = body, layout.soundLength = qsizetype(length);
            haveSound = true;
        } else if (length > left) {
            break; // a chunk that runs past the end: nothing after it can be trusted
        } else if (id == "fmt " && !haveFormat) {
            layout.formatAt = body, layout.formatLength = qsizetype(length);
            haveFormat = true;
        } else if (id == "ds64" && length >= 16) {
            longSoundLength = number(body + 8, quint64());
        }
        at = body + qsizetype(length) + qsizetype(length & 1);
    }
    if (!haveFormat || layout.formatLength == 0 || !haveSound || layout.soundLength == 0)
        return std::nullopt;
    return layout;
}

void appendHeader(QByteArray &out, const char *id, qsizetype length, bool bigEndian)
{
    char bytes[4];
    if (bigEndian)
        qToBigEndian(quint32(length), bytes);
    else
        qToLittleEndian(quint32(length), bytes);
    out.append(id, 4);
    out.append(bytes, 4);
}

void appendChunk(QByteArray &out, const char *id, const char *body, qsizetype length,
                 bool bigEndian)
{
    appendHeader(out, id, length, bigEndian);
    out.append(body, length);
    if (length & 1)
        out.append('\0');
}

} // namespace

namespace WaveChunks {

std::optional<QByteArray> stripped(const QByteArray &file)
{
    const auto layout = findLayout(file);
    if (!layout)
        return std::nullopt;
    const auto padded = [](qsizetype length) { return length + (length & 1); };
    const qsizetype riffLength =
        4 + 8 + padded(layout->formatLength) + 8 + padded(layout->soundLength);
    QByteArray out;
    out.reserve(8 + riffLength);
    appendHeader(out, layout->bigEndian ? "RIFX" : "RIFF", riffLength, layout->bigEndian);
    out.append("WAVE", 4);
    const char *bytes = file.constData();
    appendChunk(out, "fmt ", bytes + layout->formatAt, layout->formatLength, layout->bigEndian);
    appendChunk(out, "data", bytes + layout->soundAt, layout->soundLength, layout->bigEndian);
    return out;
}

} // namespace WaveChunks
