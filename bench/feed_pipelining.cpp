// Connections that send many requests at once and never read an answer, as
// a device might to make the feed hold its answers:
//   feed_pipelining <http://host:port/path> <connections> <requests> <seconds> [receive buffer]
// With a receive buffer (bytes), the kernel holds that little of the answers
// on the client's side, as on a slow device; without, loopback's own.
// The feed holds at most 32 connections an address, so they come from
// 127.0.0.2, 127.0.0.3 ... 25 at a time. Says how many were still open at
// the end (the feed may close them) and how many answer bytes reached them.
#include <QCoreApplication>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int ConnectionsPerAddress = 25;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6)
        return 2;
    const int receiveBuffer = argc == 6 ? QByteArray(argv[5]).toInt() : 0;
    const QUrl url(QString::fromLocal8Bit(argv[1]));
    const int count = QByteArray(argv[2]).toInt();
    const int requests = QByteArray(argv[3]).toInt();
    const int seconds = QByteArray(argv[4]).toInt();
    const QByteArray request = QStringLiteral("GET %1 HTTP/1.1\r\nHost: %2:%3\r\n\r\n")
                                   .arg(url.path(), url.host())
                                   .arg(url.port())
                                   .toLatin1()
                                   .repeated(requests);
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        // Reads (next to) nothing: the answers wait in the kernels' buffers
        // and, once those are full, in the feed.
        s->setReadBufferSize(1);
        QTcpSocket *raw = s.get();
        QObject::connect(raw, &QTcpSocket::connected, [raw, &request] { raw->write(request); });
        const int address = 2 + i / ConnectionsPerAddress;
        if (!s->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(address)))) {
            std::fprintf(stderr, "feed_pipelining: cannot bind 127.0.0.%d\n", address);
            return 1;
        }
        if (receiveBuffer > 0) // before connecting, so that the window is set by it
            s->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBuffer);
        s->connectToHost(url.host(), quint16(url.port()));
        sockets.push_back(std::move(s));
    }
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    int open = 0;
    for (const auto &s : sockets)
        open += s->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    std::printf("%d of %d connections open after %d s\n", open, count, seconds);
    return 0;
}
