#include "ClientFrames.h"

#include <algorithm>

namespace {

constexpr quint64 MaskingKeyBytes = 4;

} // namespace

bool ClientFrames::take(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size() && !m_unmasked) {
        const auto byte = quint8(bytes[at]);
        switch (m_stage) {
        case Stage::First: // the final bit, reserved bits and opcode: the layer's to judge
            m_stage = Stage::Second;
            ++at;
            break;
        case Stage::Second:
            m_unmasked = (byte & 0x80) == 0;
            m_length = byte & 0x7F;
            m_lengthBytesLeft = m_length == 126 ? 2 : m_length == 127 ? 8 : 0;
            if (m_lengthBytesLeft > 0) {
                m_length = 0;
                m_stage = Stage::Length;
            } else {
                skipKeyAndPayload();
            }
            ++at;
            break;
        case Stage::Length:
            m_length = (m_length << 8) | byte;
            if (--m_lengthBytesLeft == 0)
                skipKeyAndPayload();
            ++at;
            break;
        case Stage::Skip: {
            const quint64 skipped = std::min(m_skipLeft, quint64(bytes.size() - at));
            at += qsizetype(skipped);
            m_skipLeft -= skipped;
            break;
        }
        }
        if (m_stage == Stage::Skip && m_skipLeft == 0)
            m_stage = Stage::First;
    }
    return !m_unmasked;
}

void ClientFrames::skipKeyAndPayload()
{
    // A length near 2^64 (which the layer refuses) is skipped as far as it goes.
    m_stage = Stage::Skip;
    m_skipLeft = MaskingKeyBytes + std::min(m_length, ~quint64(0) - MaskingKeyBytes);
}
