#include "WebSocketFrames.h"

#include <QTcpSocket>
#include <QtEndian>

#include <sys/socket.h>

QByteArray WebSocketFrames::text(QByteArrayView utf8)
{
    const qsizetype size = utf8.size();
    QByteArray frame;
    frame.reserve(size + 10);
    frame += char(0x81); // the final (and only) frame of a text message
    if (size < 126) {
        frame += char(size);
    } else if (size <= 0xFFFF) {
        frame += char(126);
        char length[2];
        qToBigEndian(quint16(size), length);
        frame.append(length, 2);
    } else {
        frame += char(127);
        char length[8];
        qToBigEndian(quint64(size), length);
        frame.append(length, 8);
    }
    frame += utf8;
    return frame;
}

bool WebSocketFrames::write(QTcpSocket *socket, const QByteArray &frame)
{
    qsizetype sent = 0;
    if (socket->bytesToWrite() == 0) {
        const ssize_t n = ::send(int(socket->socketDescriptor()), frame.constData(),
                                 size_t(frame.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        // Nothing taken (a full kernel buffer, or an error the socket will
        // find for itself): it all goes through the socket.
        sent = n > 0 ? qsizetype(n) : 0;
    }
    if (sent == frame.size())
        return false;
    socket->write(frame.constData() + sent, frame.size() - sent);
    return true;
}
