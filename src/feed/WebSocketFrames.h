#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QTcpSocket;

// The feed's messages as WebSocket frames, made once for every client and
// written straight to each client's socket: one system call a client, with
// no encoding, buffering or signals of its own. Only what the server sends
// (unmasked text frames) is made here; the WebSocket layer keeps the rest.
namespace WebSocketFrames {

// One whole text frame holding the UTF-8 text.
QByteArray text(QByteArrayView utf8);
// Writes a whole frame after whatever the socket still holds to send: to the
// kernel at once when it holds nothing, through the socket's own buffer
// otherwise (or for what the kernel did not take). True when some of it went
// through the socket's buffer.
bool write(QTcpSocket *socket, const QByteArray &frame);

} // namespace WebSocketFrames
