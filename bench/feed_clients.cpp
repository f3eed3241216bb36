// Holds many WebSocket clients on the live feed for a while and checks that
// each got every update in order:
//   feed_clients <ws://host:port/ws> <clients> <seconds>
#include <QCoreApplication>
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
    };
    std::vector<Client> clients(static_cast<size_t>(count));
    for (Client &c : clients) {
        QObject::connect(c.ws.get(), &QWebSocket::textMessageReceived, [&c](const QString &m) {
            const qint64 seq =
                QJsonDocument::fromJson(m.toUtf8()).object().value(u"seq").toInteger();
            if (c.last >= 0 && seq != c.last + 1)
                ++c.outOfOrder;
            c.last = seq;
            ++c.received;
        });
        c.ws->open(url);
    }
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    qint64 least = -1, most = 0, disorder = 0, connected = 0;
    for (const Client &c : clients) {
        least = least < 0 ? c.received : std::min(least, c.received);
        most = std::max(most, c.received);
        disorder += c.outOfOrder;
        connected += c.ws->state() == QAbstractSocket::ConnectedState;
    }
    std::printf(
        "%lld of %d clients connected; updates per client %lld to %lld; out of order %lld\n",
        connected, count, least, most, disorder);
    return disorder == 0 && connected == count ? 0 : 1;
}
