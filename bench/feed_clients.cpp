// Holds many WebSocket clients on the live feed for a while and checks that
// each got every update in order; says how many bytes a client got a second,
// and how many it would have got had every message been the whole state:
//   feed_clients <ws://host:port/ws> <clients> <seconds>
#include "JsonDelta.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 4)
        return 2;
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    const int count = QByteArray(argv[2]).toInt();
    const int seconds = QByteArray(argv[3]).toInt();
    struct Client {
        std::unique_ptr<QWebSocket> ws = std::make_unique<QWebSocket>();
        qint64 last = -1;
        qint64 received = 0;
        qint64 outOfOrder = 0;
        qint64 bytes = 0;
    };
    // The first client also merges what it gets, to weigh the whole state.
    QJsonObject state;
    qint64 wholeBytes = 0;
    std::vector<Client> clients(static_cast<size_t>(count));
    for (Client &c : clients) {
        const bool first = &c == &clients.front();
        QObject::connect(
            c.ws.get(), &QWebSocket::textMessageReceived, [&, first](const QString &m) {
                const QByteArray bytes = m.toUtf8();
                c.bytes += bytes.size();
                const QJsonObject message = QJsonDocument::fromJson(bytes).object();
                const qint64 seq = message.value(u"seq").toInteger();
                if (first && message.size() > 1) {
                    JsonDelta::merge(state, message);
                    wholeBytes += QJsonDocument(state).toJson(QJsonDocument::Compact).size();
                } else if (first) {
                    wholeBytes += bytes.size();
                }
                if (c.last >= 0 && seq != c.last + 1)
                    ++c.outOfOrder;
                c.last = seq;
                ++c.received;
            });
        c.ws->open(url);
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
        connected += c.ws->state() == QAbstractSocket::ConnectedState;
    }
    std::printf(
        "%lld of %d clients connected; updates per client %lld to %lld; out of order %lld\n",
        connected, count, least, most, disorder);
    const double perSecond = 1000.0 / double(held.elapsed());
    std::printf("bytes per client a second: %.0f (%.0f had every message been the whole state; "
                "%.1f times less)\n",
                double(bytes) / count * perSecond, double(wholeBytes) * perSecond,
                double(wholeBytes) / double(std::max<qint64>(1, clients.front().bytes)));
    return disorder == 0 && connected == count ? 0 : 1;
}
