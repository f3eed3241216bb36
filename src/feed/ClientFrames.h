#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Follows the frames a WebSocket client sends, as their bytes arrive,
// looking only at each frame's header: a client must mask every frame, and
// one that does not is no browser and is closed. Payloads are counted past,
// never kept.
class ClientFrames {
public:
    // Takes the next bytes the client sent; false once a frame has come
    // unmasked (later bytes are not looked at).
    bool take(QByteArrayView bytes);

private:
    void skipKeyAndPayload();

    enum class Stage { First, Second, Length, Skip };
    Stage m_stage = Stage::First;
    int m_lengthBytesLeft = 0;
    quint64 m_length = 0;
    quint64 m_skipLeft = 0; // the masking key and the payload
    bool m_unmasked = false;
};
