// The live feed: what it serves, to whom, and what it makes of bad clients.
#include "BoardFeed.h"
#include "BoardHarness.h"
#include "BoardReading.h"
#include "Digmar.h"
#include "FeedFiles.h"
#include "FeedPictures.h"
#include "FeedServer.h"
#include "GuardedTcpServer.h"
#include "JsonDelta.h"
#include "Pinlux.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTcpSocket>
#include <QTest>
#include <QWebSocket>

using namespace Qt::StringLiterals;

namespace {

ShownBoard shownWith(const QString &homeScore, const QString &picture = QString())
{
    ShownBoard s;
    s.title = u"Final"_s;
    s.homeScore = homeScore;
    s.pictures = {{u"home"_s, picture, QRectF(0, 0, 0.1, 0.1)}};
    return s;
}

// Sends raw bytes as an HTTP client, the server running meanwhile, and
// returns the status line ("" when it closed without an answer).
QByteArray ask(quint16 port, const QByteArray &request, QByteArray *body = nullptr)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    socket.write(request);
    QByteArray answer;
    QElapsedTimer waited;
    waited.start();
    const auto complete = [&] {
        const qsizetype end = answer.indexOf("\r\n\r\n");
        if (end < 0)
            return false;
        const qsizetype at = answer.toLower().indexOf("content-length:");
        const qint64 length =
            at < 0 ? 0
                   : answer.mid(at + 15, answer.indexOf('\r', at) - at - 15).trimmed().toLongLong();
        return answer.size() >= end + 4 + length;
    };
    while (waited.elapsed() < 3000 && !complete() &&
           (socket.state() != QAbstractSocket::UnconnectedState || socket.bytesAvailable())) {
        QTest::qWait(5);
        answer += socket.readAll();
    }
    if (body)
        *body = answer.mid(answer.indexOf("\r\n\r\n") + 4);
    return answer.left(answer.indexOf("\r\n"));
}

qint64 resident()
{
    QFile status(u"/proc/self/status"_s);
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryMeasured = false; // its quarantine keeps what was freed resident
#else
constexpr bool MemoryMeasured = true;
#endif

// The pace the board's event loop keeps: the longest wait between ticks of
// a 50 ms timer, as the board's refresh would see it.
class BoardPace {
public:
    BoardPace()
    {
        m_since.start();
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.elapsed() - m_last);
            m_last = m_since.elapsed();
        });
        m_tick.start(50);
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace

class tst_Feed : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FeedServer m_server;

    QString picture()
    {
        const QString path = m_dir.filePath(u"home.png"_s);
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(path);
        return path;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start({QHostAddress::LocalHost, 0}, &error), qPrintable(error));
        m_server.publish(shownWith(u"57"_s, picture()));
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("bare port: this machine only") << u"8750"_s << u"127.0.0.1"_s << 8750;
        QTest::newRow("every network") << u"0.0.0.0:8750"_s << u"0.0.0.0"_s << 8750;
        QTest::newRow("IPv6") << u"[::1]:9000"_s << u"::1"_s << 9000;
        QTest::newRow("no port") << u"0.0.0.0:"_s << QString() << 0;
        QTest::newRow("port too large") << u"70000"_s << QString() << 0;
        QTest::newRow("this machine by name") << u"localhost:8750"_s << u"127.0.0.1"_s << 8750;
        QTest::newRow("a name") << u"scoreboard.local:80"_s << QString() << 0;
    }
    void addresses()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        QString error;
        const auto a = FeedServer::parseAddress(text, &error);
        QCOMPARE(bool(a), !host.isEmpty());
        if (a) {
            QCOMPARE(a->host.toString(), host);
            QCOMPARE(int(a->port), port);
        } else {
            QVERIFY(!error.isEmpty());
        }
    }

    void aPortInUseIsSaid()
    {
        FeedServer second;
        QString error;
        QVERIFY(!second.start({QHostAddress::LocalHost, m_server.port()}, &error));
        QVERIFY2(error.contains(QString::number(m_server.port())), qPrintable(error));
    }

    // What each request gets; the server keeps answering after every one.
    void requests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        const auto get = [](const QByteArray &path) -> QByteArray {
            return "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        };
        QTest::newRow("state") << get("/state.json") << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("board page") << get("/board") << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("overlay page") << get("/overlay") << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("home picture") << get("/pictures/home") << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("no board picture") << get("/pictures/board") << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("unknown path") << get("/secret") << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("dots") << get("/pictures/../../etc/passwd") << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("encoded dots")
            << get("/pictures/%2e%2e/%2e%2e/etc/passwd") << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("a file's name")
            << get("/pictures/" + QByteArray(QUELVANE_TEST_DATA).toPercentEncoding())
            << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("POST") << "POST /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"_ba
                              << "HTTP/1.1 405 Method Not Allowed"_ba;
        QTest::newRow("a body")
            << "POST /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 2\r\n\r\n{}"_ba
            << "HTTP/1.1 413 Content Too Large"_ba;
        QTest::newRow("no body said twice")
            << "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 00\r\n\r\n"_ba
            << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("DELETE") << "DELETE /board HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"_ba
                                << "HTTP/1.1 405 Method Not Allowed"_ba;
        QTest::newRow("headers over 64 KiB")
            << "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Big: " +
                   QByteArray(70 * 1024, 'a') + "\r\n\r\n"
            << "HTTP/1.1 431 Request Header Fields Too Large"_ba;
        QTest::newRow("many short header lines")
            << "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n" + "X-A: b\r\n"_ba.repeated(9000) +
                   "\r\n"
            << "HTTP/1.1 431 Request Header Fields Too Large"_ba;
        QTest::newRow("two at once") << "GET /board HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"
                                        "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"_ba
                                     << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("front page") << get("/") << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("this machine by name")
            << "GET /state.json HTTP/1.1\r\nHost: localhost:8750\r\n\r\n"_ba
            << "HTTP/1.1 200 OK"_ba;
        QTest::newRow("another site's name (DNS rebinding)")
            << "GET /state.json HTTP/1.1\r\nHost: feed.example.com:8750\r\n\r\n"_ba
            << "HTTP/1.1 403 Forbidden"_ba;
        QTest::newRow("no host") << "GET /state.json HTTP/1.1\r\n\r\n"_ba
                                 << "HTTP/1.1 400 Bad Request"_ba;
        QTest::newRow("not HTTP") << "\x16\x03\x01 hello\r\n\r\n"_ba << QByteArray();
        // The names a browser may give this machine, exactly; a refused
        // WebSocket opening is answered and never switches.
        const QByteArray own = QSysInfo::machineHostName().toLatin1();
        const auto named = [](const QByteArray &host, const QByteArray &more = {}) -> QByteArray {
            return "GET /state.json HTTP/1.1\r\nHost: " + host + "\r\n" + more + "\r\n";
        };
        const auto opening = [](const QByteArray &host, const QByteArray &origin,
                                const QByteArray &path = "/ws") -> QByteArray {
            return "GET " + path + " HTTP/1.1\r\nHost: " + host +
                   "\r\nUpgrade: websocket\r\nConnection: keep-alive, Upgrade\r\n" +
                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
                   (origin.isNull() ? QByteArray() : "Origin: " + origin + "\r\n") + "\r\n";
        };
        const QByteArray ok = "HTTP/1.1 200 OK", forbidden = "HTTP/1.1 403 Forbidden",
                         switched = "HTTP/1.1 101 Switching Protocols";
        QTest::newRow("own name") << named(own + ":8750") << ok;
        QTest::newRow("own name .local") << named(own + ".local.") << ok;
        QTest::newRow("own name under another") << named(own + ".evil.example") << forbidden;
        QTest::newRow("loopback v6") << named("[::1]:80") << ok;
        QTest::newRow("another address") << named("203.0.113.7") << forbidden;
        QTest::newRow("every address") << named("0.0.0.0") << forbidden;
        QTest::newRow("WebSocket") << opening("127.0.0.1", {}) << switched;
        QTest::newRow("WebSocket, our page")
            << opening("localhost:1", "http://127.0.0.1:2") << switched;
        QTest::newRow("WebSocket, origin is the host") << opening(own, "http://" + own) << switched;
        QTest::newRow("WebSocket, foreign host") << opening(own + ".evil.example", {}) << forbidden;
        QTest::newRow("WebSocket, no host")
            << opening({}, {}).replace("Host: \r\n", "") << forbidden;
        QTest::newRow("WebSocket, origin an address")
            << opening("127.0.0.1", "http://203.0.113.7") << forbidden;
        QTest::newRow("WebSocket, origin another site")
            << opening("127.0.0.1", "https://" + own + ".evil.example") << forbidden;
        QTest::newRow("WebSocket, origin null") << opening("127.0.0.1", "null") << forbidden;
        QTest::newRow("WebSocket, another path")
            << opening("127.0.0.1", {}, "/board") << "HTTP/1.1 404 Not Found"_ba;
        QTest::newRow("WebSocket without Connection: Upgrade")
            << named("127.0.0.1", "Upgrade: websocket\r\n") << ok;
    }
    void requests()
    {
        // Nothing a client sends is logged: a loop of them would fill the disk.
        QTest::failOnWarning(QRegularExpression(u".*"_s));
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, status);
        QByteArray body;
        QCOMPARE(ask(m_server.port(), request, &body), status);
        if (request.startsWith("GET /state.json") && status.endsWith("OK")) {
            const QJsonObject o = QJsonDocument::fromJson(body).object();
            QCOMPARE(o.value(u"home"_s).toObject().value(u"score"_s).toString(), u"57"_s);
        }
        QCOMPARE(ask(m_server.port(), "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"),
                 "HTTP/1.1 200 OK"_ba);
    }

    // Before the board: no state to tell, and a WebSocket client hears
    // nothing until there is one, then a keep-alive every other second. A page of
    // another site is refused its WebSocket, and a client that floods is
    // dropped.
    void nothingBeforeTheBoardNorForOtherSites()
    {
        FeedServer early;
        QString error;
        QVERIFY2(early.start({QHostAddress::LocalHost, 0}, &error), qPrintable(error));
        QByteArray answer;
        QCOMPARE(ask(early.port(), "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", &answer),
                 "HTTP/1.1 503 Service Unavailable"_ba);
        QWebSocket ours;
        QWebSocket theirs(u"http://feed.example.com"_s);
        QSignalSpy heard(&ours, &QWebSocket::textMessageReceived);
        QSignalSpy refused(&theirs, &QWebSocket::disconnected);
        ours.open(QUrl(u"ws://127.0.0.1:%1/ws"_s.arg(early.port())));
        theirs.open(QUrl(u"ws://127.0.0.1:%1/ws"_s.arg(early.port())));
        QTRY_COMPARE(early.clientCount(), 1);
        QTRY_VERIFY(!refused.isEmpty());
        QTest::qWait(FeedServer::KeepAliveMs * 3 / 2); // no keep-alive before the board either
        QVERIFY(heard.isEmpty());
        QTimer refreshes;
        connect(&refreshes, &QTimer::timeout, &early, &FeedServer::boardRefreshed);
        refreshes.start(50);
        early.publish(shownWith(u"3"_s, QString()));
        QTRY_COMPARE(heard.size(), 1);
        // Then a sign of life every other second while nothing changes and
        // the board refreshes; none once the board has stalled for 1.5 s.
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 3, 2 * FeedServer::KeepAliveMs + 1000);
        QVERIFY(heard.last().first().toString().startsWith(u"{\"seq\":1,\"monotonicNs\":"_s));
        refreshes.stop();
        QTest::qWait(FeedServer::BoardStallMs + FeedServer::KeepAliveMs / 2);
        const qsizetype stalled = heard.size();
        QTest::qWait(FeedServer::KeepAliveMs * 3 / 2);
        QCOMPARE(heard.size(), stalled);
        refreshes.start(50);
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), stalled + 1, 2000);
        // A client that sends faster than any page would is dropped: text
        // frames, or pings (which Qt answers by itself).
        for (const bool pings : {false, true}) {
            QWebSocket client;
            client.open(QUrl(u"ws://127.0.0.1:%1/ws"_s.arg(early.port())));
            QTRY_COMPARE(early.clientCount(), 2);
            QSignalSpy gone(&client, &QWebSocket::disconnected);
            for (int i = 0; i <= 3 * FeedServer::MaxFramesPerSecond && gone.isEmpty(); ++i) {
                if (pings)
                    client.ping();
                else
                    client.sendTextMessage(u"x"_s);
                QTest::qWait(5);
            }
            QTRY_VERIFY(!gone.isEmpty());
            QCOMPARE(early.clientCount(), 1);
        }
        // One that reads nothing, once the kernels hold no more for it: what
        // waits for it (far below the bound on its size) does not shrink, and
        // it is dropped after the idle time, shortened here to 2 s.
        early.connections()->setTimes(1000, 2000);
        QTcpSocket deaf;
        deaf.setReadBufferSize(1);
        QVERIFY(deaf.bind(QHostAddress::LocalHost));
        deaf.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1024);
        deaf.connectToHost(QHostAddress::LocalHost, early.port());
        deaf.write("GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                   "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                   "Sec-WebSocket-Version: 13\r\n\r\n");
        QTRY_COMPARE(early.clientCount(), 2);
        ShownBoard big = shownWith(u"4"_s);
        big.title = QString(100'000, u't');
        early.publish(big);
        QElapsedTimer since;
        since.start();
        QTRY_COMPARE_WITH_TIMEOUT(early.clientCount(), 1, 5000);
        QVERIFY2(since.elapsed() >= 2000, qPrintable(u"after %1 ms"_s.arg(since.elapsed())));
    }

    // 200 clients: each gets the state on opening, then every change once,
    // in order, and what they merge is the server's state; the same state
    // again sends nothing, and what they send is ignored. A client that
    // never reads is dropped, the others go on.
    void manyClientsEveryChangeInOrder()
    {
        constexpr int Clients = 200;
        // All from one address here.
        GuardedTcpServer *connections = m_server.connections();
        const int total = connections->maxConnections();
        connections->setMaxConnections(total, Clients + 1);
        const auto restored = qScopeGuard([&] { connections->setMaxConnections(total); });
        std::vector<std::unique_ptr<QWebSocket>> clients;
        std::vector<QList<qint64>> seen(Clients);
        std::vector<QJsonObject> merged(Clients / 20);
        for (int i = 0; i < Clients; ++i) {
            auto ws = std::make_unique<QWebSocket>();
            connect(ws.get(), &QWebSocket::textMessageReceived, this,
                    [&seen, &merged, i](const QString &m) {
                        const QJsonObject o = QJsonDocument::fromJson(m.toUtf8()).object();
                        if (!o.contains(u"monotonicNs"_s)) { // not a keep-alive
                            seen[size_t(i)] << o.value(u"seq"_s).toInteger();
                            if (i % 20 == 0) // merging is slow in QJsonObject: a sample
                                JsonDelta::merge(merged[size_t(i / 20)], o);
                        }
                    });
            ws->open(QUrl(u"ws://127.0.0.1:%1/ws"_s.arg(m_server.port())));
            clients.push_back(std::move(ws));
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server.clientCount(), Clients, 10000);
        const auto allSeen = [&seen](qsizetype n) {
            return std::all_of(seen.begin(), seen.end(), [n](auto &s) { return s.size() == n; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(allSeen(1), 10000);
        const qint64 first = seen[0].first();

        // One that connects and never reads.
        QTcpSocket stalled;
        stalled.setReadBufferSize(1);
        stalled.connectToHost(QHostAddress::LocalHost, m_server.port());
        QVERIFY(stalled.waitForConnected());
        stalled.write(
            "GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        QTRY_COMPARE(m_server.clientCount(), Clients + 1);

        clients[0]->sendTextMessage(u"{\"home\":{\"score\":\"999\"}}"_s);
        ShownBoard big = shownWith(QString());
        big.title = QString(20000, u't');
        for (int change = 1; change <= 300; ++change) {
            big.homeScore = QString::number(change);
            big.title[change % big.title.size()] = u'u'; // each change 20 KB
            m_server.publish(big);
            m_server.publish(big); // the same again: nothing sent
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_server.clientCount(), Clients, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(allSeen(301), 20000);
        for (const auto &s : seen) {
            for (int k = 0; k < s.size(); ++k)
                QCOMPARE(s[k], first + k);
        }
        const QJsonObject state = QJsonDocument::fromJson(m_server.json()).object();
        QVERIFY(std::all_of(merged.begin(), merged.end(), [&](auto &m) { return m == state; }));
        m_server.publish(shownWith(u"57"_s, picture()));
    }

    // Whatever changes, in any order, what a client merges is the state the
    // server holds at that number, and a change of the bout alone is sent.
    void changesMergeToTheState()
    {
        const quint32 seed = qEnvironmentVariableIsSet("QUELVANE_TEST_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("QUELVANE_TEST_SEED"))
                                 : QRandomGenerator::system()->generate();
        QRandomGenerator random(seed);
        const auto any = [&random](int n) { return random.bounded(n); };
        const auto fraction = [&random] { return QRectF(random.generateDouble(), 0, 0.1, 0.1); };
        FeedServer server;
        QString error;
        QVERIFY2(server.start({QHostAddress::LocalHost, 0}, &error), qPrintable(error));
        ShownBoard shown = shownWith(u"0"_s);
        for (const char *name : {"tledPeriod", "tledJam", "nledHomeScore"})
            shown.displays << ShownBoard::Display{QString::fromLatin1(name), u" 0"_s, u"#ff0000"_s,
                                                  false, QRectF()};
        shown.labels = {{u"lblTitle"_s, u"Final"_s, u"#ffffff"_s, QRectF(), 0.1},
                        {u"lblHome"_s, u"Home"_s, u"#ffffff"_s, QRectF(), 0.1}};
        shown.frames = {{u"Shape1"_s, u"#ffffff"_s, 0.01, QRectF()},
                        {u"Shape3"_s, u"#ffffff"_s, 0.01, QRectF()}};
        shown.colors = {{u"LEDBack"_s, u"#000000"_s}, {u"ScoreColor"_s, u"#ff0000"_s}};
        server.publish(shown);
        QHash<qint64, QJsonObject> states{{1, QJsonDocument::fromJson(server.json()).object()}};
        QJsonObject merged;
        QString wrong;
        QWebSocket client;
        connect(&client, &QWebSocket::textMessageReceived, this, [&](const QString &m) {
            const QJsonObject o = QJsonDocument::fromJson(m.toUtf8()).object();
            if (o.contains(u"monotonicNs"_s)) // a keep-alive
                return;
            JsonDelta::merge(merged, o);
            if (wrong.isEmpty() && merged != states.value(o.value(u"seq"_s).toInteger()))
                wrong = u"at %1: %2"_s.arg(o.value(u"seq"_s).toInteger()).arg(m.left(300));
        });
        client.open(QUrl(u"ws://127.0.0.1:%1/ws"_s.arg(server.port())));
        QTRY_COMPARE(merged.value(u"seq"_s).toInteger(), 1);
        for (int step = 0; step < 400; ++step) {
            const QString n = QString::number(any(100));
            switch (any(10)) {
            case 0:
                shown.displays[any(3)].cells = n;
                break;
            case 1:
                shown.displays[any(3)].lit = u"#00%1"_s.arg(n);
                break;
            case 2:
                shown.labels[any(2)].text = n;
                break;
            case 3:
                shown.frames[any(2)].place = fraction();
                break;
            case 4:
                shown.pictures[0].place = fraction();
                break;
            case 5:
                shown.colors[any(2)].second = u"#%1"_s.arg(n);
                break;
            case 6: // every length a frame can have
                shown.homeScore = n;
                shown.title = QString(std::array{1, 200, 70'000}[size_t(any(3))], u'x');
                break;
            case 7: // fields that come and go
                shown.periodRunning = !shown.periodRunning;
                shown.rulesShown = any(2) == 1;
                shown.status = n;
                break;
            case 8:
                std::rotate(shown.displays.begin(), shown.displays.begin() + 1,
                            shown.displays.end());
                break;
            default: // the bout alone: not shown, sent all the same
                shown.bout.numbers[any(3)] = any(5);
            }
            const quint64 before = server.seq();
            server.publish(shown);
            if (server.seq() != before)
                states.insert(qint64(server.seq()),
                              QJsonDocument::fromJson(server.json()).object());
            if (step % 20 == 0)
                QCoreApplication::processEvents();
        }
        QTRY_COMPARE(merged.value(u"seq"_s).toInteger(), qint64(server.seq()));
        QVERIFY2(wrong.isEmpty(),
                 qPrintable(u"seed %1 (QUELVANE_TEST_SEED) %2"_s.arg(seed).arg(wrong)));
        QVERIFY(states.size() > 300);
    }

    // A client that sends request after request and reads nothing is no
    // longer read while its answers are unsent: the feed holds a couple of
    // them at most (its requests wait in the kernels), never the bound on
    // an address, so the connection is held back rather than cut off.
    // Everyone else is still answered.
    void aClientThatNeverReadsIsHeldBack()
    {
        QTcpSocket greedy;
        greedy.setReadBufferSize(1);
        greedy.connectToHost(QHostAddress::LocalHost, m_server.port());
        QVERIFY(greedy.waitForConnected());
        QByteArray requests;
        for (int i = 0; i < 100; ++i)
            requests += "GET /board HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        const qint64 before = resident();
        qint64 mostUnsent = 0;
        for (int round = 0; round < 100; ++round) {
            if (greedy.bytesToWrite() < 64 * 1024)
                greedy.write(requests);
            QTest::qWait(20);
            mostUnsent =
                std::max(mostUnsent, m_server.connections()->unsentFrom(QHostAddress::LocalHost));
        }
        QCOMPARE(greedy.state(), QAbstractSocket::ConnectedState);
        QVERIFY2(mostUnsent < 64 * 1024, qPrintable(u"%1 bytes unsent"_s.arg(mostUnsent)));
        if (MemoryMeasured)
            QVERIFY2(resident() - before < 4 << 20,
                     qPrintable(u"%1 KiB more"_s.arg((resident() - before) >> 10)));
        QCOMPARE(ask(m_server.port(), "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"),
                 "HTTP/1.1 200 OK"_ba);
        greedy.abort();
        QTRY_COMPARE(m_server.connections()->connectionCount(), 0);
    }

    // Clients that hold on to the connection or keep sending: each is
    // answered (or not) and closed in time, while the program's memory stays
    // within a few MB and the board keeps its pace. A row's client sends its
    // opening, then its filler every 20 ms while the socket drains.
    void hostileClients_data()
    {
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<QByteArray>("filler");
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<int>("closedWithinMs");
        const QByteArray get = "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n"_ba;
        const QByteArray block(64 * 1024, 'a');
        // The times are shortened to 1 s for a request and 2 s of quiet.
        QTest::newRow("a header without end")
            << get + "X-Long: " << block << "HTTP/1.1 431 Request Header Fields Too Large"_ba
            << 500;
        QTest::newRow("a gigabyte body") << get + "Content-Length: 1000000000\r\n\r\n"
                                         << block << "HTTP/1.1 413 Content Too Large"_ba << 500;
        QTest::newRow("a chunked body") << get + "Transfer-Encoding: chunked\r\n\r\n"
                                        << "10000\r\n" + block + "\r\n"
                                        << "HTTP/1.1 413 Content Too Large"_ba << 500;
        QTest::newRow("a byte at a time") << get << "X"_ba << QByteArray() << 1500;
        QTest::newRow("nothing at all") << QByteArray() << QByteArray() << QByteArray() << 1500;
        QTest::newRow("quiet after a request") << get + "\r\n"
                                               << QByteArray() << "HTTP/1.1 200 OK"_ba << 2500;
        QTest::newRow("a newline now and then after a request") << get + "\r\n"
                                                                << "\r\n"_ba
                                                                << "HTTP/1.1 200 OK"_ba << 1500;
        QTest::newRow("Upgrade without Connection: Upgrade") << get + "Upgrade: websocket\r\n\r\n"
                                                             << "X"_ba
                                                             << "HTTP/1.1 200 OK"_ba << 1500;
        // A client's frames must be masked: after a masked one (whose payload
        // is the first two fillers), the header of one that is not (a binary
        // frame of 1,000 bytes) closes the connection before its payload comes.
        QTest::newRow("a WebSocket frame unmasked")
            << "GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
               "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               "Sec-WebSocket-Version: 13\r\n\r\n\x82\x88mask"_ba
            << "\x82\x7e\x03\xe8"_ba
            << "HTTP/1.1 101 Switching Protocols"_ba << 500;
    }
    void hostileClients()
    {
        QFETCH(QByteArray, opening);
        QFETCH(QByteArray, filler);
        QFETCH(QByteArray, status);
        QFETCH(int, closedWithinMs);
        GuardedTcpServer *connections = m_server.connections();
        connections->setTimes(1000, 2000);
        const auto restored = qScopeGuard(
            [&] { connections->setTimes(GuardedTcpServer::RequestMs, GuardedTcpServer::IdleMs); });
        const qint64 before = resident();
        BoardPace pace;
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, m_server.port());
        QVERIFY(client.waitForConnected());
        QElapsedTimer since;
        since.start();
        client.write(opening);
        QByteArray answer;
        qint64 closedAt = -1;
        while (since.elapsed() < closedWithinMs + 1000 && closedAt < 0) {
            if (client.bytesToWrite() < 64 * 1024)
                client.write(filler);
            QTest::qWait(20);
            answer += client.readAll();
            if (client.state() == QAbstractSocket::UnconnectedState)
                closedAt = since.elapsed();
        }
        QCOMPARE(answer.left(answer.indexOf("\r\n")), status);
        QVERIFY2(closedAt >= 0 && closedAt <= closedWithinMs,
                 qPrintable(u"closed after %1 ms"_s.arg(closedAt)));
        QVERIFY2(pace.longest() < 200, qPrintable(u"a tick waited %1 ms"_s.arg(pace.longest())));
        if (MemoryMeasured)
            QVERIFY2(resident() - before < 4 << 20,
                     qPrintable(u"%1 KiB more"_s.arg((resident() - before) >> 10)));
        QCOMPARE(ask(m_server.port(), "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"),
                 "HTTP/1.1 200 OK"_ba);
    }

    // A picture's address is in the state only once its file is read and
    // found to be one; a page never asks for what would be 404.
    void aPictureOnlyOnceItIsOne()
    {
        FeedServer server;
        const auto url = [&server] {
            return QJsonDocument::fromJson(
                       server.json())[u"layout"_s][u"pictures"_s][u"home"_s][u"url"_s]
                .toString();
        };
        server.publish(shownWith(u"1"_s, QFINDTESTDATA("tst_feed.cpp")));
        QTRY_VERIFY(!server.pictures()->reading());
        QCOMPARE(url(), QString());
        server.publish(shownWith(u"1"_s, picture()));
        QTRY_VERIFY(url().startsWith(u"/pictures/home?v="_s));
    }

    // One device holds at most its share, beyond which its new connections
    // are closed at once; an honest client elsewhere gets in meanwhile, also
    // with the server full (those without a whole request make room). A row
    // opens 256 connections from each of its addresses, reopening each one
    // closed, with the total held to 64.
    void oneDeviceLocksNoOneOut_data()
    {
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<QByteArray>("each200ms");
        QTest::addColumn<int>("addresses");
        QTest::newRow("idle, full") << QByteArray() << QByteArray() << 2;
        QTest::newRow("a byte now and then, full") << "G"_ba
                                                   << "E"_ba << 2;
        QTest::newRow("WebSockets reading nothing")
            << "GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
               "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
               "Sec-WebSocket-Version: 13\r\n\r\n"_ba
            << QByteArray() << 1;
    }
    void oneDeviceLocksNoOneOut()
    {
        QFETCH(QByteArray, opening);
        QFETCH(QByteArray, each200ms);
        QFETCH(int, addresses);
        GuardedTcpServer *connections = m_server.connections();
        const int total = connections->maxConnections();
        connections->setMaxConnections(64);
        const auto restored = qScopeGuard([&] { connections->setMaxConnections(total); });
        std::vector<std::unique_ptr<QTcpSocket>> held;
        const auto attack = [&] {
            for (int i = 0; i < 256 * addresses; ++i) {
                if (size_t(i) >= held.size())
                    held.push_back(nullptr);
                auto &c = held[size_t(i)];
                if (c && c->state() != QAbstractSocket::UnconnectedState) {
                    c->write(each200ms);
                    c->readAll();
                    continue;
                }
                c = std::make_unique<QTcpSocket>();
                c->setReadBufferSize(1);
                c->bind(QHostAddress(i % addresses ? u"127.0.0.3"_s : u"127.0.0.1"_s));
                c->connectToHost(QHostAddress::LocalHost, m_server.port());
                c->write(opening);
            }
        };
        QTimer attacking;
        connect(&attacking, &QTimer::timeout, this, attack);
        attack();
        attacking.start(200);
        QTRY_VERIFY(connections->connectionCount() >= 32 * addresses);
        QCOMPARE(connections->unsentFrom(QHostAddress(u"127.0.0.1"_s)), 0);
        int served = 0;
        for (int i = 0; i < 10; ++i) {
            QTcpSocket honest;
            honest.bind(QHostAddress(u"127.0.0.2"_s));
            honest.connectToHost(QHostAddress::LocalHost, m_server.port());
            honest.write("GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            QElapsedTimer waited;
            waited.start();
            while (!honest.canReadLine() && honest.state() != QAbstractSocket::UnconnectedState &&
                   waited.elapsed() < 1000)
                QTest::qWait(10);
            served += honest.readLine().startsWith("HTTP/1.1 200") ? 1 : 0;
        }
        QVERIFY2(served >= 8, qPrintable(u"%1 of 10 served"_s.arg(served)));
        QVERIFY(connections->connectionCount() <= GuardedTcpServer::MaxPerAddress * addresses + 1);
        attacking.stop();
        held.clear();
        QTRY_COMPARE(connections->connectionCount(), 0);
    }

    // What the board shows, in the feed's words.
    void boardTexts_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("periodClock");
        QTest::addColumn<QString>("homeScore");
        QTest::addColumn<QString>("penalty");
        QTest::newRow("loaded") << u""_s << u"10:00"_s << u"0"_s << QString();
        QTest::newRow("last minute") << u"59.4"_s << u"59.4"_s << u"0"_s << QString();
        QTest::newRow("time of day") << u"clock"_s << u"14:05"_s << u"0"_s << QString();
        QTest::newRow("blank score, a penalty")
            << u"blank"_s << u"10:00"_s << QString() << u"1:30"_s;
    }
    void boardTexts()
    {
        QFETCH(QString, setup);
        QFETCH(QString, periodClock);
        QFETCH(QString, homeScore);
        QFETCH(QString, penalty);
        BoardHarness h;
        if (setup == u"59.4") {
            h.board->tkPeriod->setTime(FixedTime::fromTicks(594000));
        } else if (setup == u"clock") {
            h.key(Settings.ClockSwitchKey);
        } else if (setup == u"blank") {
            h.board->nledHomeScore->setCaption(u"-1"_s);
            h.board->tledHomePenalty2->setValue(0);
            h.board->tkHomePenalty2->setTime(FixedTime::fromSeconds(90));
        }
        h.tick(50);
        const ShownBoard s = BoardReading::shownBoard(*h.board);
        QCOMPARE(s.periodClock, periodClock);
        QCOMPARE(s.homeScore, homeScore);
        QCOMPARE(s.penaltiesHome[1], penalty);
        QCOMPARE(s.penaltiesHome[0], QString());
        QCOMPARE(s.timeOfDay, setup == u"clock");
        const QJsonObject o = QJsonDocument::fromJson(s.toJson(7)).object();
        QCOMPARE(o.value(u"period"_s).toObject().value(u"clock"_s).toString(), periodClock);
        QCOMPARE(o.value(u"seq"_s).toInt(), 7);
        QCOMPARE(o.value(u"colors"_s).toObject().value(u"ScoreColor"_s).toString(), u"#ff0000"_s);
        // Both frames, the outer one and the period clock's, as the page draws them.
        const QJsonArray frames = o.value(u"layout"_s).toObject().value(u"frames"_s).toArray();
        QCOMPARE(frames.size(), 2);
        QVERIFY(frames[0].toObject().value(u"width"_s).toDouble() > 0);
    }

    // Ten clients fetch a 40 MB picture and never read: the program keeps
    // one copy, each client a few hundred KiB of it, and the event loop the
    // board runs on keeps its 50 ms pace.
    void aLargePictureHoldsUpNothing()
    {
        const QString path = m_dir.filePath(u"big.bmp"_s);
        {
            QImage big(3700, 2800, QImage::Format_RGB32);
            big.fill(Qt::blue);
            QVERIFY(big.save(path));
        }
        const qint64 size = QFileInfo(path).size();
        FeedServer server;
        QString error;
        QVERIFY2(server.start({QHostAddress::LocalHost, 0}, &error), qPrintable(error));
        server.publish(shownWith(u"1"_s, path));
        QTRY_VERIFY(!server.pictures()->reading());
        const qint64 before = resident();
        std::vector<std::unique_ptr<QTcpSocket>> clients;
        for (int i = 0; i < 10; ++i) {
            auto client = std::make_unique<QTcpSocket>();
            client->setReadBufferSize(1024); // it reads (next to) nothing
            client->connectToHost(QHostAddress::LocalHost, server.port());
            client->write("GET /pictures/home HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
            clients.push_back(std::move(client));
        }
        BoardPace pace;
        QTest::qWait(2000);
        QVERIFY2(pace.longest() < 200, qPrintable(u"a tick waited %1 ms"_s.arg(pace.longest())));
        if (MemoryMeasured)
            QVERIFY2(resident() - before < size,
                     qPrintable(u"%1 MB more for a %2 MB picture"_s.arg((resident() - before) >> 20)
                                    .arg(size >> 20)));
    }

    // Text files: whole, written only when their text changes, and written
    // again within a second or so when they, or their folder, have gone.
    void textFiles()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(u"texts"_s);
        FeedFiles files(folder);
        QVERIFY(files.usable());
        files.write(shownWith(u"57"_s));
        files.flush();
        const QString score = dir.filePath(u"texts/home-score.txt"_s);
        QFile f(score);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), "57"_ba);
        f.close();
        for (const QString &gone : QStringList{folder + u"/title.txt"_s, folder}) {
            QVERIFY(QFileInfo(gone).isDir() ? QDir(gone).removeRecursively() : QFile::remove(gone));
            // The board hands the files over at every refresh.
            QTRY_VERIFY_WITH_TIMEOUT((files.write(shownWith(u"58"_s)), files.flush(),
                                      QDir(folder).entryList(QDir::Files).size() == 8),
                                     3000);
        }
        FeedFiles blocked(score + u"/below"_s);
        QVERIFY(!blocked.usable());
    }
};

QTEST_MAIN(tst_Feed)
#include "tst_feed.moc"
