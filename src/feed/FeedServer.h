#pragma once

#include "ShownBoard.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <atomic>
#include <optional>

class FeedPictures;
class GuardedTcpServer;
class QTcpSocket;
class QWebSocket;

// The live feed: what the board shows, over HTTP and WebSockets, on the
// program's own event loop. Read-only: nothing a client sends changes the
// bout, and nothing a client does (or fails to do) can hold up the board.
// Only requests that name this machine as their host are answered; every
// connection is held to the bounds of GuardedTcpServer as its bytes arrive.
//   GET /             where everything is
//   GET /state.json   the feed's JSON (503 until there is a board)
//   GET /ws           a WebSocket: the JSON at once and after every change
//   GET /board        the whole board as a page
//   GET /overlay      a score bar for streaming software
//   GET /pictures/home, /pictures/visitor, /pictures/board
class FeedServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    struct Address {
        QHostAddress host;
        quint16 port = 0;
    };
    // "8750" (this machine only) or "0.0.0.0:8750", "[::1]:8750".
    static std::optional<Address> parseAddress(const QString &text, QString *error);

    // While clients are connected and nothing has been sent for this long,
    // they are sent a keep-alive, so a page can tell a quiet board from a
    // program that has gone. Our pages say so after 3 s of silence, looking
    // twice a second: a second to spare for the way to them. Each one is a
    // write to every client, most of what 200 clients cost when nothing
    // changes.
    static constexpr int KeepAliveMs = 2000;
    // The keep-alive proves that the board is refreshing: one due once the
    // board has not refreshed for this long waits until it does, and the
    // pages say so when they have heard nothing for 3 s (looking twice a
    // second). A board stalled at S shows as such by S + 4.5 s; one that
    // stalls for less than 2 s never does.
    static constexpr int BoardStallMs = 1000;
    // A client that sends more frames than this in a second is dropped.
    static constexpr int MaxFramesPerSecond = 20;
    // A client whose unsent messages (the kernel's send queue included) pass
    // this, or do not shrink for as long as a quiet connection is kept
    // (GuardedTcpServer's idle time), is dropped.
    static constexpr qint64 MaxBacklog = 512 * 1024;
    // What the HTTP connections of one address may have unsent at once.
    static constexpr qint64 MaxUnsentPerAddress = 1024 * 1024;

    explicit FeedServer(QObject *parent = nullptr);
    ~FeedServer() override;

    // Listens; false with a reason when the address cannot be had.
    bool start(const Address &address, QString *error);
    quint16 port() const;

    // What the board shows now. A change from the last (or of the bout,
    // shown or not) is numbered and sent to every WebSocket client: the whole
    // state to a client that has just come, only what changed to the others.
    // The same again sends nothing.
    void publish(const ShownBoard &shown);
    // Whether two of the board's states differ only in their running
    // clocks' texts (or not at all): nothing to send, as the pages run them.
    static bool sameNews(const ShownBoard &a, const ShownBoard &b);
    // What the board shows now (from any thread), for /state.json: the
    // board's thread hands the feed's only news, so that running clocks
    // never wake it.
    void showNow(const ShownBoard &shown);
    quint64 seq() const { return m_seq; }
    // The board has refreshed (from any thread; cheap enough for every tick).
    void boardRefreshed();
    // The same, with the board's clock read then (bout.monotonicNs): the
    // keep-alive tells the pages the board's clock, to run theirs by it.
    void boardRefreshedAt(qint64 boardNs);
    // The whole state: the last one numbered, with running clocks' texts as
    // the board shows them now.
    QByteArray json() const;
    qsizetype clientCount() const { return m_clients.size(); }
    FeedPictures *pictures() const { return m_pictures; }
    // The listening socket and its bounds on connections (null before start).
    GuardedTcpServer *connections() const { return m_tcp; }

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    // Numbers and sends the state as clients may have it, if it changed.
    void tell();
    QList<ShownBoard::Picture> picturesToTell() const;
    void takeWebSockets();
    void send(QWebSocket *client, const QByteArray &frame);
    void keepAlive();
    QByteArray aliveFrame() const;
    void lookAtBacklogs();
    void drop(QWebSocket *client);

    GuardedTcpServer *m_tcp = nullptr;
    FeedPictures *m_pictures = nullptr;
    QList<QWebSocket *> m_clients;
    // Each client's own socket, written to straight.
    QHash<QWebSocket *, QPointer<QTcpSocket>> m_wires;
    // Clients with some of our own message still in their socket's buffer.
    QSet<QWebSocket *> m_buffered;
    ShownBoard m_shown;
    ShownBoard m_toldShown;                    // as it was when last numbered
    QList<ShownBoard::Picture> m_toldPictures; // as told: no address until read
    bool m_published = false;
    QJsonObject m_state;
    QByteArray m_json; // the whole state as numbered, as a new client gets it
    mutable QMutex m_nowLock;
    ShownBoard m_now; // as handed by showNow
    bool m_nowKnown = false;
    QByteArray m_changeFrame; // what changed with the last number, made once for every client
    quint64 m_seq = 0;
    QTimer m_keepAlive{this}; // a child, so that it moves with the feed to its thread
    // How much each client has sent this second.
    struct Talk {
        QElapsedTimer since;
        int frames = 0;
    };
    // Since when each client's backlog has not shrunk, and how large it was.
    struct Backlog {
        QElapsedTimer since;
        qint64 bytes = 0;
    };
    QHash<QWebSocket *, Backlog> m_backlogs;
    QHash<QWebSocket *, Talk> m_talk;
    QElapsedTimer m_sinceSent;
    QElapsedTimer m_sinceLook;                  // at the backlogs
    std::atomic<qint64> m_boardRefreshedMs{0};  // on the steady clock
    std::atomic<qint64> m_boardClockAheadNs{0}; // the board's clock less the steady clock
};
