#include "FeedServer.h"

#include "FeedPictures.h"
#include "GuardedTcpServer.h"
#include "HostNames.h"
#include "JsonDelta.h"
#include "WebSocketFrames.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QImageReader>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QWebSocket>

#include <chrono>

#include <sys/ioctl.h>
#if defined(__linux__)
#include <linux/sockios.h>
#endif

namespace {

using Status = QHttpServerResponder::StatusCode;

struct Page {
    const char *path;
    const char *resource;
    const char *type;
};

// Everything served from inside the program; nothing else of the file
// system is reachable but the three pictures the board shows.
constexpr Page Pages[] = {
    {"/board", ":/feed/board.html", "text/html; charset=utf-8"},
    {"/overlay", ":/feed/overlay.html", "text/html; charset=utf-8"},
    {"/feed.js", ":/feed/feed.js", "text/javascript; charset=utf-8"},
    {"/feed.css", ":/feed/feed.css", "text/css; charset=utf-8"},
};

// The feed's front page: where everything is, and which program serves it.
QByteArray frontPage()
{
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Quelvane live feed"
               "</title><link rel=\"stylesheet\" href=\"/feed.css\"></head><body class=\"index\">"
               "<h1>Quelvane live feed</h1><ul>"
               "<li><a href=\"/board\">/board</a>: the whole board</li>"
               "<li><a href=\"/overlay\">/overlay</a>: a score bar for streaming software</li>"
               "<li><a href=\"/state.json\">/state.json</a>: the feed as JSON "
               "(and <code>/ws</code> as a WebSocket)</li></ul>"
               "<p>Quelvane %1</p></body></html>\n")
        .arg(QCoreApplication::applicationVersion().toHtmlEscaped())
        .toUtf8();
}

// What a socket has not sent: Qt's buffer and the kernel's send queue (a
// client that reads nothing fills the kernel's first, and that is large).
// How soon a keep-alive held back by a stalled board is looked at again.
constexpr int KeepAliveLookMs = 250;

qint64 unsent(QTcpSocket *wire)
{
    qint64 bytes = wire->bytesToWrite();
#if defined(SIOCOUTQ)
    int queued = 0;
    if (::ioctl(int(wire->socketDescriptor()), SIOCOUTQ, &queued) == 0)
        bytes += queued;
#endif
    return bytes;
}

QByteArray resource(const char *name)
{
    QFile f(QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What the board shows but for the texts of its running clocks, which move
// by themselves: a page runs them from the bout.
ShownBoard withoutRunningClocks(ShownBoard shown)
{
    const std::array<KeeperState, BoutState::KeeperCount> &k = shown.bout.keepers;
    const auto running = [&k](int keeper) { return k[size_t(keeper)].running; };
    const std::pair<const char *, QString *> clocks[] = {
        {"tledPeriod", shown.timeOfDay ? nullptr : &shown.periodClock},
        {"tledJam", &shown.jamClock},
        {"tledHomePenalty1", &shown.penaltiesHome[0]},
        {"tledHomePenalty2", &shown.penaltiesHome[1]},
        {"tledVisitorPenalty1", &shown.penaltiesVisitor[0]},
        {"tledVisitorPenalty2", &shown.penaltiesVisitor[1]}};
    const int keepers[] = {BoutState::Period,          BoutState::Jam,
                           BoutState::HomePenalty1,    BoutState::HomePenalty2,
                           BoutState::VisitorPenalty1, BoutState::VisitorPenalty2};
    for (size_t i = 0; i < std::size(clocks); ++i) {
        if (!clocks[i].second || !running(keepers[i]))
            continue;
        clocks[i].second->clear();
        for (ShownBoard::Display &d : shown.displays) {
            if (d.name == QLatin1String(clocks[i].first))
                d.cells.clear();
        }
    }
    return shown;
}

} // namespace

std::optional<FeedServer::Address> FeedServer::parseAddress(const QString &text, QString *error)
{
    Address a;
    QString host = QStringLiteral("127.0.0.1");
    QString port = text.trimmed();
    const qsizetype colon = port.lastIndexOf(u':');
    if (colon >= 0) {
        host = port.left(colon);
        port = port.mid(colon + 1);
        if (host.startsWith(u'[') && host.endsWith(u']'))
            host = host.mid(1, host.size() - 2);
        // The one name everybody types for this machine; other names would
        // need a lookup that could stall the start.
        if (host.compare(u"localhost", Qt::CaseInsensitive) == 0)
            host = QStringLiteral("127.0.0.1");
    }
    bool ok = false;
    const uint number = port.toUInt(&ok);
    if (!ok || number == 0 || number > 65535) {
        *error = QStringLiteral("'%1' is not a port (1 to 65535)").arg(port);
        return std::nullopt;
    }
    if (!a.host.setAddress(host)) {
        *error = QStringLiteral("'%1' is not an IP address").arg(host);
        return std::nullopt;
    }
    a.port = quint16(number);
    return a;
}

FeedServer::FeedServer(QObject *parent) : QAbstractHttpServer(parent)
{
    m_pictures = new FeedPictures(this);
    connect(m_pictures, &FeedPictures::read, this, [this] {
        if (m_published && picturesToTell() != m_toldPictures)
            tell();
    });
    // On time, so that a keep-alive is never late, and otherwise asleep: each
    // wake-up of this thread looks at every client's socket.
    m_keepAlive.setTimerType(Qt::PreciseTimer);
    m_keepAlive.setSingleShot(true);
    connect(&m_keepAlive, &QTimer::timeout, this, &FeedServer::keepAlive);
    connect(this, &QAbstractHttpServer::newWebSocketConnection, this, &FeedServer::takeWebSockets);
}

FeedServer::~FeedServer()
{
    for (QWebSocket *client : std::as_const(m_clients)) {
        client->disconnect(this);
        client->abort();
        delete client;
    }
}

bool FeedServer::start(const Address &address, QString *error)
{
    auto tcp = std::make_unique<GuardedTcpServer>();
    if (!tcp->listen(address.host, address.port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(address.host.toString())
                     .arg(address.port)
                     .arg(tcp->errorString());
        return false;
    }
    // A page of another site may not follow the feed through the browser of
    // the scoreboard PC; our own pages and other programs (which send no
    // origin) may. Refused before the WebSocket layer sees the socket.
    tcp->setOpeningCheck([](const RequestHeads::Opening &o, const QHostAddress &local) {
        if (o.host.isNull() || o.hostTwice ||
            !HostNames::namesThisMachine(QString::fromLatin1(o.host), local) ||
            !HostNames::originAllowed(o.origin, o.host, local))
            return QByteArray("403 Forbidden");
        if (QUrl(QString::fromLatin1(o.target)).path() != u"/ws")
            return QByteArray("404 Not Found");
        return QByteArray();
    });
    m_tcp = tcp.release();
    bind(m_tcp);
    return true;
}

quint16 FeedServer::port() const
{
    return m_tcp ? m_tcp->serverPort() : 0;
}

bool FeedServer::sameNews(const ShownBoard &a, const ShownBoard &b)
{
    // A running clock's text moves by itself: the pages run it from the
    // bout, so only a change besides that is news.
    return a.bout.sameBout(b.bout) &&
           (a.sameShown(b) || withoutRunningClocks(a).sameShown(withoutRunningClocks(b)));
}

void FeedServer::showNow(const ShownBoard &shown)
{
    const QMutexLocker lock(&m_nowLock);
    m_now = shown;
    m_nowKnown = true;
}

void FeedServer::publish(const ShownBoard &shown)
{
    boardRefreshed();
    const bool news = !m_published || !sameNews(shown, m_toldShown);
    m_shown = shown;
    if (!news)
        return;
    for (const ShownBoard::Picture &p : shown.pictures)
        m_pictures->show(p.which, p.path);
    tell();
}

QByteArray FeedServer::json() const
{
    if (!m_published)
        return QByteArray();
    ShownBoard now = m_shown;
    {
        // The board's texts of this moment, unless they hold news not yet
        // numbered here.
        const QMutexLocker lock(&m_nowLock);
        if (m_nowKnown && sameNews(m_now, m_toldShown))
            now = m_now;
    }
    now.pictures = m_toldPictures;
    return now.toJson(m_seq);
}

QList<ShownBoard::Picture> FeedServer::picturesToTell() const
{
    QList<ShownBoard::Picture> pictures = m_shown.pictures;
    for (ShownBoard::Picture &p : pictures) {
        if (!m_pictures->shows(p.which))
            p.path.clear();
    }
    return pictures;
}

void FeedServer::tell()
{
    // A picture gets its address once it is known to be one, so that a
    // page never asks for a file the board cannot show.
    m_toldShown = m_shown;
    ShownBoard told = m_shown;
    told.pictures = m_toldPictures = picturesToTell();
    const QJsonObject state = told.toJsonObject(++m_seq);
    const QJsonObject change = m_published ? JsonDelta::between(m_state, state) : state;
    m_published = true;
    m_state = state;
    m_json = QJsonDocument(state).toJson(QJsonDocument::Compact);
    m_changeFrame = WebSocketFrames::text(QJsonDocument(change).toJson(QJsonDocument::Compact));
    const QList<QWebSocket *> clients = m_clients;
    for (QWebSocket *client : clients)
        send(client, m_changeFrame);
    m_sinceSent.start();
}

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

void FeedServer::boardRefreshed()
{
    m_boardRefreshedMs.store(steadyMs(), std::memory_order_relaxed);
}

void FeedServer::boardRefreshedAt(qint64 boardNs)
{
    m_boardClockAheadNs.store(boardNs - steadyNs(), std::memory_order_relaxed);
    boardRefreshed();
}

void FeedServer::keepAlive()
{
    // As often as the keep-alive is enough for bounds counted in
    // half-megabytes and half-minutes; each look asks the kernel about
    // every client.
    if (!m_sinceLook.isValid() || m_sinceLook.elapsed() >= KeepAliveMs - KeepAliveLookMs) {
        m_sinceLook.start();
        lookAtBacklogs();
    }
    if (m_clients.isEmpty())
        return;
    // Due when nothing has been sent for KeepAliveMs.
    const qint64 quiet = m_sinceSent.isValid() ? m_sinceSent.elapsed() : KeepAliveMs;
    if (!m_published || quiet < KeepAliveMs) {
        m_keepAlive.start(int(KeepAliveMs - (m_published ? quiet : 0)));
        return;
    }
    // A board that has stopped refreshing (its thread stalled) is not live,
    // however well this thread runs: looked at again shortly.
    if (steadyMs() - m_boardRefreshedMs.load(std::memory_order_relaxed) > BoardStallMs) {
        m_keepAlive.start(KeepAliveLookMs);
        return;
    }
    const QByteArray alive = aliveFrame();
    const QList<QWebSocket *> clients = m_clients;
    for (QWebSocket *client : clients)
        send(client, alive);
    m_sinceSent.start();
    m_keepAlive.start(KeepAliveMs);
}

QByteArray FeedServer::aliveFrame() const
{
    // The number of the state they have and the board's clock now: nothing
    // to show, only a sign of life by which the pages keep their clocks
    // with the board's.
    const qint64 boardNs = steadyNs() + m_boardClockAheadNs.load(std::memory_order_relaxed);
    return WebSocketFrames::text(
        QStringLiteral("{\"seq\":%1,\"monotonicNs\":%2}").arg(m_seq).arg(boardNs).toUtf8());
}

void FeedServer::lookAtBacklogs()
{
    // What Qt writes by itself (the answers to a client's pings) grows a
    // backlog too: looked at once a second.
    const QList<QWebSocket *> clients = m_clients;
    for (QWebSocket *client : clients) {
        QTcpSocket *wire = m_wires.value(client);
        const qint64 bytes = wire ? unsent(wire) + client->bytesToWrite() : 0;
        Backlog &b = m_backlogs[client];
        if (bytes == 0 || bytes < b.bytes || !b.since.isValid())
            b.since.start();
        b.bytes = bytes;
        if (!wire || bytes > MaxBacklog || (bytes > 0 && b.since.hasExpired(m_tcp->idleMs())))
            drop(client);
    }
}

void FeedServer::send(QWebSocket *client, const QByteArray &frame)
{
    // A client that does not keep up is dropped rather than followed by an
    // ever longer queue: it reconnects and starts from the present.
    QTcpSocket *wire = m_wires.value(client);
    if (!wire || wire->bytesToWrite() > MaxBacklog) {
        drop(client);
        return;
    }
    // After a closing handshake has begun, nothing more may follow it.
    if (client->state() == QAbstractSocket::ConnectedState && WebSocketFrames::write(wire, frame))
        m_buffered.insert(client);
}

void FeedServer::drop(QWebSocket *client)
{
    m_talk.remove(client);
    m_backlogs.remove(client);
    m_wires.remove(client);
    m_buffered.remove(client);
    if (!m_clients.removeOne(client))
        return;
    client->disconnect(this);
    client->abort();
    client->deleteLater();
}

void FeedServer::takeWebSockets()
{
    while (hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = nextPendingWebSocketConnection();
        if (!socket)
            continue;
        // Its host, origin and path were checked as its opening arrived.
        QWebSocket *client = socket.release();
        client->setParent(nullptr);
        m_wires.insert(client, m_tcp->becameWebSocket(client->peerAddress(), client->peerPort()));
        // Clients only listen; what they send is read and thrown away, and
        // no message may grow large.
        client->setMaxAllowedIncomingFrameSize(4096);
        client->setMaxAllowedIncomingMessageSize(4096);
        connect(client, &QWebSocket::disconnected, this, [this, client] { drop(client); });
        // A page sends nothing; a client that sends frames faster than any
        // page would is no page.
        const auto counted = [this, client] {
            Talk &talk = m_talk[client];
            if (!talk.since.isValid() || talk.since.elapsed() >= 1000) {
                talk.since.start();
                talk.frames = 0;
            }
            if (++talk.frames > MaxFramesPerSecond)
                drop(client);
        };
        connect(client, &QWebSocket::textFrameReceived, this, counted);
        connect(client, &QWebSocket::binaryFrameReceived, this, counted);
        connect(client, &QWebSocket::pong, this, counted);
        // Qt answers a client's pings by itself and says nothing of them;
        // but our own messages go to the socket straight, so what Qt writes
        // for a client is (nearly) all answers to its pings: each write
        // counts as a frame it sent.
        connect(client, &QWebSocket::bytesWritten, this, [this, client, counted] {
            // Our own message, written on as the socket drains, is not.
            QTcpSocket *wire = m_wires.value(client);
            if (m_buffered.contains(client)) {
                if (!wire || wire->bytesToWrite() == 0)
                    m_buffered.remove(client);
                return;
            }
            counted();
        });
        m_clients.append(client);
        if (!m_keepAlive.isActive())
            m_keepAlive.start(KeepAliveMs);
        if (m_published) {
            // The clock's reading at once, so that a page runs the clocks
            // from the start.
            send(client, WebSocketFrames::text(m_json));
            send(client, aliveFrame());
        }
    }
}

bool FeedServer::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QByteArray host = request.value("host");
    if (!host.isEmpty() &&
        !HostNames::namesThisMachine(QString::fromLatin1(host), socket->localAddress())) {
        makeResponder(request, socket).write(Status::Forbidden);
        return true;
    }
    // A WebSocket's opening request (checked as it arrived) is answered by
    // the WebSocket handshake that follows.
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0 &&
        request.value("connection").toLower().contains("upgrade"))
        return true;
    // A client that sends requests and never reads the answers is cut off,
    // so that no device's unread answers grow without bound.
    if (socket->bytesToWrite() > MaxBacklog ||
        m_tcp->unsentFrom(socket->peerAddress()) > MaxUnsentPerAddress) {
        socket->abort();
        return true;
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    // Every browser and client names the host; a request without (or one
    // whose headers the parser gave up on) is not one to answer.
    if (request.value("host").isEmpty()) {
        responder.write(Status::BadRequest);
        return true;
    }
    const QString path = request.url().path();
    const bool known = path == u"/" || path == u"/state.json" || path == u"/ws" ||
                       path.startsWith(u"/pictures/") ||
                       std::any_of(std::begin(Pages), std::end(Pages),
                                   [&](const Page &p) { return path == QLatin1String(p.path); });
    if (!known) {
        responder.write(Status::NotFound);
        return true;
    }
    if (request.method() != QHttpServerRequest::Method::Get) {
        responder.write({{"Allow", "GET"}}, Status::MethodNotAllowed);
        return true;
    }
    const QHttpServerResponder::HeaderList noCache = {{"Cache-Control", "no-store"}};
    if (path == u"/") {
        responder.write(frontPage(), {{"Content-Type", "text/html; charset=utf-8"},
                                      {"Cache-Control", "no-store"}});
    } else if (path == u"/state.json" && !m_published) {
        // Nothing false before the board: there is no bout to tell yet.
        responder.write(QByteArray("The board is not open yet.\n"),
                        {{"Content-Type", "text/plain"}, {"Retry-After", "1"}},
                        Status::ServiceUnavailable);
    } else if (path == u"/state.json") {
        responder.write(json(),
                        {{"Content-Type", "application/json"}, {"Cache-Control", "no-store"}});
    } else if (path == u"/ws") {
        responder.write(QByteArray("Open a WebSocket here to follow the feed.\n"),
                        {{"Content-Type", "text/plain"}}, Status::BadRequest);
    } else if (path.startsWith(u"/pictures/")) {
        const QString which = path.mid(10);
        if (which == u"home" || which == u"visitor" || which == u"board")
            m_pictures->serve(which, socket);
        else
            responder.write(Status::NotFound);
    } else {
        for (const Page &p : Pages) {
            if (path == QLatin1String(p.path))
                responder.write(resource(p.resource),
                                {{"Content-Type", p.type}, noCache.begin()[0]});
        }
    }
    return true;
}

void FeedServer::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket).write(Status::NotFound);
}
