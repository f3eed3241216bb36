#include "FeedPictures.h"

#include <QBuffer>
#include <QFile>
#include <QFuture>
#include <QImageReader>
#include <QPromise>
#include <QTcpSocket>
#include <QThreadPool>
#include <memory>

namespace {

constexpr qint64 Piece = 64 * 1024;

} // namespace

FeedPictures::FeedPictures(QObject *parent) : QObject(parent) {}

FeedPictures::~FeedPictures() = default;

bool FeedPictures::reading() const
{
    for (const Copy &copy : m_copies) {
        if (copy.loading)
            return true;
    }
    return false;
}

bool FeedPictures::shows(const QString &which) const
{
    const auto it = m_copies.constFind(which);
    return it != m_copies.cend() && !it->loading && !it->bytes.isEmpty();
}

void FeedPictures::show(const QString &which, const QString &path)
{
    Copy &copy = m_copies[which];
    if (copy.path == path && (copy.loading || !copy.bytes.isEmpty() || path.isEmpty()))
        return;
    copy.path = path;
    copy.bytes.clear();
    copy.type.clear();
    copy.loading = !path.isEmpty();
    if (!copy.loading)
        return;
    struct Read {
        QByteArray bytes;
        QByteArray type;
    };
    auto promise = std::make_shared<QPromise<Read>>();
    // Back on the feed's thread, unless the feed has gone meanwhile.
    promise->future().then(this, [this, which, path](const Read &read) {
        loaded(which, path, read.bytes, read.type);
    });
    QThreadPool::globalInstance()->start([promise, path] {
        Read read;
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            read.bytes = file.readAll();
            QBuffer buffer(&read.bytes);
            QImageReader reader(&buffer);
            read.type = reader.canRead() ? reader.format() : QByteArray();
            if (read.type.isEmpty())
                read.bytes.clear(); // no picture the board could show
        }
        promise->start();
        promise->addResult(read);
        promise->finish();
    });
}

void FeedPictures::loaded(const QString &which, const QString &path, const QByteArray &bytes,
                          const QByteArray &type)
{
    Copy &copy = m_copies[which];
    if (copy.path != path)
        return; // another file was shown meanwhile; its own reading answers
    copy.loading = false;
    copy.bytes = bytes;
    copy.type = type;
    const QList<QPointer<QTcpSocket>> waiting = std::exchange(copy.waiting, {});
    for (const QPointer<QTcpSocket> &socket : waiting) {
        if (socket)
            answer(copy, socket);
    }
    Q_EMIT read();
}

void FeedPictures::serve(const QString &which, QTcpSocket *socket)
{
    Copy &copy = m_copies[which];
    if (copy.loading) {
        copy.waiting.append(socket);
        return;
    }
    answer(copy, socket);
}

void FeedPictures::answer(const Copy &copy, QTcpSocket *socket)
{
    // One picture a connection: a request sent behind it goes unanswered,
    // as the connection closes after the picture.
    if (m_sending.contains(socket))
        return;
    if (copy.bytes.isEmpty()) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
        return;
    }
    // Sent by us rather than by the HTTP server's responder, which would
    // copy the whole picture into every client's buffer at once. The
    // connection closes after it, so no other answer comes between.
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/" + copy.type +
                  "\r\nContent-Length: " + QByteArray::number(copy.bytes.size()) +
                  "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n");
    m_sending.insert(socket, {copy.bytes, 0});
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { sendMore(socket); });
    connect(socket, &QObject::destroyed, this, [this, socket] { m_sending.remove(socket); });
    sendMore(socket);
}

void FeedPictures::sendMore(QTcpSocket *socket)
{
    auto it = m_sending.find(socket);
    if (it == m_sending.end())
        return;
    while (it->at < it->bytes.size() && socket->bytesToWrite() < InFlight) {
        const qint64 n = std::min(Piece, it->bytes.size() - it->at);
        socket->write(it->bytes.constData() + it->at, n);
        it->at += n;
    }
    if (it->at >= it->bytes.size()) {
        m_sending.erase(it);
        socket->disconnectFromHost();
    }
}
