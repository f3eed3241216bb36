#include "GuardedTcpServer.h"

#include <QTcpSocket>

#include <algorithm>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// How long a refused client's further bytes are read and thrown away, so
// that it sees the answer rather than a reset.
constexpr int LingerMs = 2000;

} // namespace

GuardedTcpServer::GuardedTcpServer(QObject *parent) : QTcpServer(parent)
{
    // Room to accept them all at once; the bound is kept as they come in.
    setListenBacklogSize(MaxConnections);
    setMaxPendingConnections(MaxConnections);
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &GuardedTcpServer::sweep);
}

GuardedTcpServer::~GuardedTcpServer() = default;

qsizetype GuardedTcpServer::connectionCount()
{
    forgetClosed();
    return m_connections.size();
}

void GuardedTcpServer::forgetClosed()
{
    m_connections.removeIf([](const auto &it) {
        return !it.value().socket ||
               it.value().socket->state() == QAbstractSocket::UnconnectedState;
    });
    if (m_connections.isEmpty())
        m_sweep.stop();
}

void GuardedTcpServer::setTimes(int requestMs, int idleMs)
{
    m_requestMs = requestMs;
    m_idleMs = idleMs;
    // Looked at often enough that no connection outstays its time by much.
    m_sweep.setInterval(std::min(1000, requestMs / 4));
}

void GuardedTcpServer::incomingConnection(qintptr descriptor)
{
    forgetClosed();
    if (m_connections.size() >= MaxConnections) {
        ::close(int(descriptor));
        return;
    }
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    // The HTTP layer keeps a request's bytes until it has all of them; this
    // keeps that to one head's worth (and the kernel's buffer the rest).
    socket->setReadBufferSize(MaxHeadBytes + 16 * 1024);
    Connection &c = m_connections[socket] = Connection{};
    c.socket = socket;
    c.requestSince.start();
    c.quietSince.start();
    // Connected before the HTTP layer's own: these slots see every byte
    // before it does.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { bytesArrived(socket); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
        if (auto it = m_connections.find(socket); it != m_connections.end())
            it->quietSince.start();
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
    if (!m_sweep.isActive())
        m_sweep.start();
    addPendingConnection(socket);
}

void GuardedTcpServer::bytesArrived(QTcpSocket *socket)
{
    auto it = m_connections.find(socket);
    if (it == m_connections.end() || !socket->isOpen())
        return;
    Connection &c = *it;
    if (c.refused) {
        // Read and thrown away until the linger ends.
        socket->skip(socket->bytesAvailable());
        return;
    }
    c.quietSince.start();
    const bool wasMidRequest = c.heads.midRequest();
    // What the HTTP layer has not read yet: the bytes that have just come.
    const QByteArray fresh = socket->peek(socket->bytesAvailable());
    switch (c.heads.take(fresh)) {
    case RequestHeads::Verdict::Reading:
        break;
    case RequestHeads::Verdict::TooLarge:
        refuse(socket, "431 Request Header Fields Too Large");
        return;
    case RequestHeads::Verdict::HasBody:
        refuse(socket, "413 Content Too Large");
        return;
    case RequestHeads::Verdict::WebSocket:
        if (m_openingCheck) {
            const QByteArray refusal = m_openingCheck(c.heads.opening(), socket->localAddress());
            if (!refusal.isEmpty()) {
                refuse(socket, refusal);
                return;
            }
        }
        // Frames follow, not requests: the handshake is the HTTP layer's,
        // and until the feed takes the client only the idle bound holds.
        return;
    }
    if (!wasMidRequest && c.heads.midRequest())
        c.requestSince.start();
}

void GuardedTcpServer::refuse(QTcpSocket *socket, const QByteArray &statusLine)
{
    Connection &c = m_connections[socket];
    c.refused = true;
    // The HTTP layer (the server this one is bound to, and so parented to)
    // hears no more of this connection.
    disconnect(socket, &QTcpSocket::readyRead, parent(), nullptr);
    if (socket->isTransactionStarted())
        socket->rollbackTransaction();
    socket->skip(socket->bytesAvailable());
    socket->write("HTTP/1.1 " + statusLine + "\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    // Once the answer is out, the write side is closed; what the client
    // still sends is thrown away for a moment, then the connection goes.
    const auto shutWhenSent = [socket] {
        if (socket->bytesToWrite() == 0)
            ::shutdown(int(socket->socketDescriptor()), SHUT_WR);
    };
    connect(socket, &QTcpSocket::bytesWritten, socket, shutWhenSent);
    socket->flush();
    shutWhenSent();
    c.requestSince.start();
}

void GuardedTcpServer::forget(QTcpSocket *socket)
{
    if (m_connections.remove(socket) && m_connections.isEmpty())
        m_sweep.stop();
}

QTcpSocket *GuardedTcpServer::becameWebSocket(const QHostAddress &peer, quint16 port)
{
    for (auto it = m_connections.begin(); it != m_connections.end(); ++it) {
        if (it->socket && it->socket->peerPort() == port &&
            it->socket->peerAddress().isEqual(peer)) {
            it->webSocket = true;
            return it->socket;
        }
    }
    return nullptr;
}

void GuardedTcpServer::sweep()
{
    forgetClosed();
    const auto isOverdue = [this](const Connection &c) {
        if (c.refused)
            return c.requestSince.hasExpired(LingerMs);
        if (c.webSocket)
            return false;
        const bool awaitingRequest = c.heads.verdict() == RequestHeads::Verdict::Reading &&
                                     (c.heads.midRequest() || c.heads.completed() == 0);
        // A client that reads nothing of its answer is quiet too: nothing
        // leaves for it.
        return awaitingRequest ? c.requestSince.hasExpired(m_requestMs)
                               : c.quietSince.hasExpired(m_idleMs);
    };
    QList<QTcpSocket *> overdue;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (isOverdue(*it))
            overdue << it.key();
    }
    for (QTcpSocket *socket : std::as_const(overdue)) {
        forget(socket);
        socket->abort();
    }
}
