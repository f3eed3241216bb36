#pragma once

#include "ClientFrames.h"
#include "RequestHeads.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <functional>

class QTcpSocket;

// The feed's listening socket, with the bounds every connection is held to
// as its bytes arrive, before the HTTP layer buffers anything:
// - a request whose head passes MaxHeadBytes gets 431 and is closed;
// - a request with a body gets 413 and is closed, its body never read;
// - a connection that has not sent a whole request within RequestMs of
//   opening (or of the first byte of its next request) is closed, and so is
//   one with nothing sent either way for IdleMs between requests;
// - each address holds at most MaxPerAddress connections, and loopback keeps
//   LoopbackSlots of the total to itself; when the total is reached, the
//   oldest connection that has not sent a whole request makes room, and
//   failing one the new connection is closed at once;
// - a WebSocket opening the feed would not take is answered here, with the
//   status its check gives, so the WebSocket layer never sees it;
// - a connection with answers unsent is not read (its requests wait in the
//   kernel) until they are sent;
// - a WebSocket client's frame that comes unmasked closes the connection
//   before the WebSocket layer reads it.
// WebSocket clients, once they are that, are the feed's to watch.
class GuardedTcpServer : public QTcpServer {
    Q_OBJECT

public:
    static constexpr qsizetype MaxHeadBytes = 64 * 1024;
    // The total is what the open-file limit leaves room for, at least this.
    static constexpr int MaxConnections = 256;
    static constexpr int MaxPerAddress = 32;
    static constexpr int LoopbackSlots = 32;
    static constexpr int RequestMs = 10'000;
    static constexpr int IdleMs = 30'000;

    explicit GuardedTcpServer(QObject *parent = nullptr);
    ~GuardedTcpServer() override;

    qsizetype connectionCount();
    int maxConnections() const { return m_maxConnections; }
    // What the HTTP connections from an address have not sent yet.
    qint64 unsentFrom(const QHostAddress &peer);
    // The connection from this address and port has become a WebSocket: its
    // socket, now the WebSocket's (null if it has gone).
    QTcpSocket *becameWebSocket(const QHostAddress &peer, quint16 port);
    // Says why a WebSocket opening is refused ("403 Forbidden"), or nothing
    // to let it through.
    using OpeningCheck =
        std::function<QByteArray(const RequestHeads::Opening &, const QHostAddress &local)>;
    void setOpeningCheck(OpeningCheck check) { m_openingCheck = std::move(check); }
    // Shorter times, for tests.
    void setTimes(int requestMs, int idleMs);
    // How long a connection may go with nothing sent either way.
    int idleMs() const { return m_idleMs; }
    void setMaxConnections(int total, int perAddress = MaxPerAddress)
    {
        m_maxConnections = total;
        m_maxPerAddress = perAddress;
    }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Connection {
        // The HTTP layer may cut every tie to a socket it hands on (to the
        // WebSocket server), so a socket's end is looked for, not awaited.
        QPointer<QTcpSocket> socket;
        QHostAddress peer;
        QElapsedTimer openedSince;
        RequestHeads heads{MaxHeadBytes};
        QElapsedTimer requestSince; // since the request being read began
        QElapsedTimer quietSince;   // since a byte last went either way
        bool webSocket = false;
        bool refused = false;
        // How far into the connection's bytes we have looked, and whether
        // some were read before we could (since the WebSocket was asked for).
        qint64 lookedTo = 0;
        bool missedAny = false;
        ClientFrames frames; // once a WebSocket was asked for
    };
    void bytesArrived(QTcpSocket *socket);
    void refuse(QTcpSocket *socket, const QByteArray &statusLine);
    QByteArray freshBytes(QTcpSocket *socket, Connection &c);
    void followFrames(QTcpSocket *socket, Connection &c, QByteArrayView fresh);
    void pause(QTcpSocket *socket);
    void resumeSent();
    void closeNow(QTcpSocket *socket);
    void forget(QTcpSocket *socket);
    void forgetClosed();
    void sweep();
    bool makeRoom(const QHostAddress &peer);

    QHash<QTcpSocket *, Connection> m_connections;
    QTimer m_sweep{this}; // a child, so that it moves with the server to its thread
    QTimer m_resume{this};
    // Connections not read while their answers are unsent, with how much
    // was unsent when they stopped.
    struct Paused {
        QPointer<QTcpSocket> socket;
        qint64 unsent = 0;
    };
    QHash<QTcpSocket *, Paused> m_paused;
    int m_requestMs = RequestMs;
    int m_idleMs = IdleMs;
    OpeningCheck m_openingCheck;
    int m_maxConnections = MaxConnections;
    int m_maxPerAddress = MaxPerAddress;
};
