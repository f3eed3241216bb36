// Holds many WebSocket clients on the live feed for a while and checks that
// each got every update in order; says how many bytes a client got a second,
// and how many it would have got had every message been the whole state:
//   feed_clients <ws://host:port/ws> <clients> <seconds>
// The feed holds at most 32 connections an address, so the clients come from
// 127.0.0.2, 127.0.0.3 ... 25 at a time: raw sockets bound to each address,
// with the few lines of the WebSocket opening and frame reading they need.
#include "JsonDelta.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QtEndian>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int ClientsPerAddress = 25;

// One client: the opening, then the server's frames (never masked) as they
// come; each text message goes to `message`.
struct Client {
    std::unique_ptr<QTcpSocket> socket = std::make_unique<QTcpSocket>();
    QByteArray buffer;
    bool open = false;
    bool closed = false;
    qint64 last = -1;
    qint64 received = 0;
    qint64 outOfOrder = 0;
    qint64 bytes = 0;
    std::function<void(const QByteArray &)> message;

    void read()
    {
        buffer += socket->readAll();
        if (!open) {
            const qsizetype end = buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            if (!buffer.startsWith("HTTP/1.1 101")) {
                socket->abort();
                return;
            }
            open = true;
            buffer.remove(0, end + 4);
        }
        while (buffer.size() >= 2) {
            const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
            const int opcode = b[0] & 0x0F;
            qint64 length = b[1] & 0x7F;
            qsizetype head = 2;
            if (length == 126) {
                if (buffer.size() < 4)
                    return;
                length = qFromBigEndian<quint16>(b + 2);
                head = 4;
            } else if (length == 127) {
                if (buffer.size() < 10)
                    return;
                length = qint64(qFromBigEndian<quint64>(b + 2));
                head = 10;
            }
            if (buffer.size() < head + length)
                return;
            const QByteArray payload = buffer.mid(head, length);
            buffer.remove(0, head + length);
            if (opcode == 1)
                message(payload);
            else if (opcode == 8)
                closed = true;
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    const int count = QByteArray(argv[2]).toInt();
    const int seconds = QByteArray(argv[3]).toInt();
    const QByteArray opening = QStringLiteral("GET %1 HTTP/1.1\r\nHost: %2:%3\r\n"
                                              "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                              "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                                              "Sec-WebSocket-Version: 13\r\n\r\n")
                                   .arg(url.path(), url.host())
                                   .arg(url.port())
                                   .toLatin1();
    // The first client also merges what it gets, to weigh the whole state.
    QJsonObject state;
    qint64 wholeBytes = 0;
    std::vector<Client> clients(static_cast<size_t>(count));
    for (size_t i = 0; i < clients.size(); ++i) {
        Client &c = clients[i];
        const bool first = i == 0;
        c.message = [&c, &state, &wholeBytes, first](const QByteArray &bytes) {
            c.bytes += bytes.size();
            const QJsonObject message = QJsonDocument::fromJson(bytes).object();
            const qint64 seq = message.value(u"seq").toInteger();
            const bool keepAlive = message.size() == 1 + int(message.contains(u"monotonicNs"));
            if (first && !keepAlive) {
                JsonDelta::merge(state, message);
                wholeBytes += QJsonDocument(state).toJson(QJsonDocument::Compact).size();
            } else if (first) {
                wholeBytes += bytes.size();
            }
            // A keep-alive repeats the number of the state held.
            if (c.last >= 0 && seq != c.last + 1 && seq != c.last)
                ++c.outOfOrder;
            c.last = seq;
            ++c.received;
        };
        QTcpSocket *s = c.socket.get();
        QObject::connect(s, &QTcpSocket::connected, [s, &opening] { s->write(opening); });
        QObject::connect(s, &QTcpSocket::readyRead, [&c] { c.read(); });
        const int address = 2 + int(i) / ClientsPerAddress;
        if (!s->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(address)))) {
            std::fprintf(stderr, "feed_clients: cannot bind 127.0.0.%d\n", address);
            return 1;
        }
        s->connectToHost(url.host(), quint16(url.port()));
    }
    QElapsedTimer held;
    held.start();
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    qint64 least = -1, most = 0, disorder = 0, connected = 0, bytes = 0;
    for (const Client &c : clients) {
        bytes += c.bytes;
        least = least < 0 ? c.received : std::min(least, c.received);
        most = std::max(most, c.received);
        disorder += c.outOfOrder;
        connected += c.open && !c.closed && c.socket->state() == QAbstractSocket::ConnectedState;
    }
    std::printf("%lld of %d clients connected; messages per client %lld to %lld; out of order "
                "%lld\n",
                connected, count, least, most, disorder);
    const double perSecond = 1000.0 / double(held.elapsed());
    std::printf("bytes per client a second: %.0f (%.0f had every message been the whole state; "
                "%.1f times less)\n",
                double(bytes) / count * perSecond, double(wholeBytes) * perSecond,
                double(wholeBytes) / double(std::max<qint64>(1, clients.front().bytes)));
    return disorder == 0 && connected == count ? 0 : 1;
}
