#include "GuardedTcpServer.h"

#include <QTcpSocket>

#include <algorithm>

#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/sockios.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#endif

namespace {

// How long a refused client's further bytes are read and thrown away, so
// that it sees the answer rather than a reset.
constexpr int LingerMs = 2000;
// What is read of a connection beyond the request being answered.
constexpr qint64 ReadAhead = 4 * 1024;
// How often connections that are not read while their answers are unsent
// are looked at.
constexpr int ResumeLookMs = 20;
// Files the rest of the program may want open beside the connections.
constexpr rlim_t KeptForTheProgram = 256;
constexpr rlim_t MostConnections = 8192;

// Raises the open-file limit to its hard limit, once: every viewer is a file.
int connectionRoom()
{
    static const int room = [] {
        rlimit limit{};
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
            return GuardedTcpServer::MaxConnections;
        if (limit.rlim_cur < limit.rlim_max) {
            rlimit raised = limit;
            raised.rlim_cur = limit.rlim_max;
            if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
                limit = raised;
        }
        if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > MostConnections + KeptForTheProgram)
            return int(MostConnections);
        return std::max(GuardedTcpServer::MaxConnections,
                        int(limit.rlim_cur) - int(KeptForTheProgram));
    }();
    return room;
}

// How many bytes of the connection the kernel has handed to the socket so
// far (the end of what the socket holds, as an offset into everything the
// client sent), or -1 where the kernel does not say. Readers take a socket's
// bytes at their own pace; this tells which of them have just come.
qint64 handedToTheSocket(QTcpSocket *socket)
{
#if defined(__linux__)
    const int fd = int(socket->socketDescriptor());
    // Received less what waits in the kernel, read at one instant: the wait
    // read alike before and after.
    for (int attempt = 0; attempt < 4; ++attempt) {
        int waitingBefore = 0;
        int waitingAfter = 0;
        tcp_info info{};
        socklen_t size = sizeof info;
        if (::ioctl(fd, SIOCINQ, &waitingBefore) != 0 ||
            ::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 ||
            size < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received ||
            ::ioctl(fd, SIOCINQ, &waitingAfter) != 0)
            return -1;
        if (waitingBefore == waitingAfter)
            return qint64(info.tcpi_bytes_received) - waitingAfter;
    }
#else
    Q_UNUSED(socket);
#endif
    return -1;
}

} // namespace

GuardedTcpServer::GuardedTcpServer(QObject *parent) : QTcpServer(parent)
{
    m_maxConnections = connectionRoom();
    // Room to accept many at once; the bounds are kept as they come in.
    setListenBacklogSize(MaxConnections);
    setMaxPendingConnections(MaxConnections);
    m_sweep.setInterval(1000);
    connect(&m_sweep, &QTimer::timeout, this, &GuardedTcpServer::sweep);
    m_resume.setInterval(ResumeLookMs);
    connect(&m_resume, &QTimer::timeout, this, &GuardedTcpServer::resumeSent);
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
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    const QHostAddress peer = socket->peerAddress();
    if (!makeRoom(peer)) {
        // Closed at once, and quietly: nothing is logged per connection.
        socket->abort();
        delete socket;
        return;
    }
    socket->setReadBufferSize(ReadAhead);
    Connection &c = m_connections[socket] = Connection{};
    c.socket = socket;
    c.peer = peer;
    c.openedSince.start();
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

bool GuardedTcpServer::makeRoom(const QHostAddress &peer)
{
    // Fair shares: no one device holds more than its share, and devices
    // elsewhere cannot take the slots of the program's own machine.
    const bool loopback = peer.isLoopback();
    int fromPeer = 0;
    int fromElsewhere = 0;
    for (const Connection &c : std::as_const(m_connections)) {
        fromPeer += c.peer.isEqual(peer) ? 1 : 0;
        fromElsewhere += c.peer.isLoopback() ? 0 : 1;
    }
    if (fromPeer >= m_maxPerAddress)
        return false;
    const bool full = loopback ? m_connections.size() >= m_maxConnections
                               : fromElsewhere >= m_maxConnections - LoopbackSlots;
    if (!full)
        return true;
    // Full: the longest open of those that have not sent a whole request
    // yet (an honest client sends one at once) goes.
    QTcpSocket *oldest = nullptr;
    qint64 longest = -1;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        const Connection &c = *it;
        if (c.webSocket || c.refused || c.heads.completed() > 0 ||
            (!loopback && c.peer.isLoopback()))
            continue;
        if (c.openedSince.elapsed() > longest) {
            longest = c.openedSince.elapsed();
            oldest = it.key();
        }
    }
    if (!oldest)
        return false;
    closeNow(oldest);
    return true;
}

qint64 GuardedTcpServer::unsentFrom(const QHostAddress &peer)
{
    qint64 unsent = 0;
    for (const Connection &c : std::as_const(m_connections)) {
        if (c.socket && !c.webSocket && c.peer.isEqual(peer))
            unsent += c.socket->bytesToWrite();
    }
    return unsent;
}

QByteArray GuardedTcpServer::freshBytes(QTcpSocket *socket, Connection &c)
{
    // The HTTP layer reads a request at a time, and the WebSocket layer a
    // frame at a time: what came before may still be in the socket.
    const qint64 buffered = socket->bytesAvailable();
    const qint64 handed = handedToTheSocket(socket);
    if (handed < 0) {
        c.lookedTo = -1;               // so frames are not followed
        return socket->peek(buffered); // each time all of it, where the kernel does not say
    }
    const qint64 fresh = handed - c.lookedTo;
    c.lookedTo = handed;
    // Read before they could be looked at (nothing here reads so): lost to us.
    c.missedAny = c.missedAny || fresh > buffered;
    return socket->peek(buffered).last(std::clamp<qint64>(fresh, 0, buffered));
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
    const QByteArray fresh = freshBytes(socket, c);
    if (c.heads.verdict() == RequestHeads::Verdict::WebSocket) {
        followFrames(socket, c, fresh);
        return;
    }
    c.quietSince.start();
    const bool wasMidRequest = c.heads.midRequest();
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
        socket->setReadBufferSize(MaxHeadBytes + 16 * 1024);
        // Frames follow, not requests: the handshake is the HTTP layer's,
        // and until the feed takes the client only the idle bound holds.
        // The frames begin right after this head, maybe among these bytes.
        c.missedAny = false;
        followFrames(socket, c, QByteArrayView(fresh).sliced(c.heads.lookedAt()));
        // The HTTP layer cuts our tie to the socket as it hands it on, and
        // the WebSocket layer reads the handshake later: tied again in
        // between, so that we still see each byte before it does.
        QMetaObject::invokeMethod(
            this,
            [this, socket = QPointer<QTcpSocket>(socket)] {
                if (!socket || !m_connections.contains(socket))
                    return;
                disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
                connect(socket, &QTcpSocket::readyRead, this,
                        [this, s = socket.data()] { bytesArrived(s); });
            },
            Qt::QueuedConnection);
        return;
    }
    if (!wasMidRequest && c.heads.midRequest())
        c.requestSince.start();
    // The HTTP layer keeps a request's bytes until it has all of them: room
    // for one whole head while a long one is read, a little read ahead
    // otherwise (and the kernel's buffer the rest).
    const bool longHead = c.heads.midRequest() && socket->bytesAvailable() >= ReadAhead;
    socket->setReadBufferSize(longHead ? MaxHeadBytes + 16 * 1024 : ReadAhead);
    // Answers it has not taken yet: no more of its requests are read (they
    // wait in the kernel) until they are sent.
    if (socket->bytesToWrite() > 0)
        pause(socket);
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

void GuardedTcpServer::followFrames(QTcpSocket *socket, Connection &c, QByteArrayView fresh)
{
    // Frames followed only from their start, or not at all.
    if (c.lookedTo < 0 || c.missedAny || c.frames.take(fresh))
        return;
    // No reader hears of the frame; the connection goes at once.
    disconnect(socket, &QTcpSocket::readyRead, nullptr, nullptr);
    closeNow(socket);
}

void GuardedTcpServer::pause(QTcpSocket *socket)
{
    // Nothing of it is heard meanwhile, the HTTP layer's own call for its
    // next request included; what it sends waits in the kernel once the
    // socket's buffer is full. Its answers still go as the kernel takes them.
    socket->blockSignals(true);
    m_paused.insert(socket, {socket, socket->bytesToWrite()});
    if (!m_resume.isActive())
        m_resume.start();
}

void GuardedTcpServer::resumeSent()
{
    for (auto it = m_paused.begin(); it != m_paused.end();) {
        QTcpSocket *socket = it->socket;
        if (!socket) {
            it = m_paused.erase(it);
            continue;
        }
        const bool gone =
            !m_connections.contains(socket) || socket->state() != QAbstractSocket::ConnectedState;
        if (!gone && socket->bytesToWrite() > 0) {
            ++it;
            continue;
        }
        const qint64 wasUnsent = it->unsent;
        it = m_paused.erase(it);
        // What it missed, told in order.
        socket->blockSignals(false);
        if (gone) {
            Q_EMIT socket->disconnected();
            continue;
        }
        Q_EMIT socket->bytesWritten(wasUnsent);
        if (socket->bytesAvailable() > 0)
            Q_EMIT socket->readyRead();
    }
    if (m_paused.isEmpty())
        m_resume.stop();
}

void GuardedTcpServer::closeNow(QTcpSocket *socket)
{
    // Heard as it goes, by the HTTP layer too.
    m_paused.remove(socket);
    socket->blockSignals(false);
    forget(socket);
    socket->abort();
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
    for (QTcpSocket *socket : std::as_const(overdue))
        closeNow(socket);
    // WebSockets are the feed's to watch: with only those, nothing to look at.
    if (std::all_of(m_connections.cbegin(), m_connections.cend(),
                    [](const Connection &c) { return c.webSocket; }))
        m_sweep.stop();
}
