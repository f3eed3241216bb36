// Looks into pages of the live feed open in a headless browser, through the
// browser's DevTools protocol, and times keys pressed on the board until a
// page shows their effect:
//   feed_probe <devtools port> open <url>
//       opens another page
//   feed_probe <devtools port> wait <url part> <script> <expected> [seconds]
//       runs the script in that page until it gives the expected text
//   feed_probe <devtools port> latency <url part> <presses>
//       types "+1" on the board's selected score (X test keys), each time
//       timing the "1" until the page's home score changes; prints median
//       and 99th percentile
//   feed_probe <devtools port> clocks <feed port> <seconds>
//       reads the period and jam clocks of /board and /overlay and of the
//       board itself (the feed's /state.json, read off its displays) in
//       turn; each page's text must be one the board showed within a tenth
//       of a second of it
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray fetch(const QString &url, bool put = false)
{
    QNetworkAccessManager net;
    QNetworkRequest request{QUrl(url)};
    QNetworkReply *reply = put ? net.put(request, QByteArray()) : net.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

// The DevTools socket of the first page whose address holds `part`.
QString pageSocket(int port, const QString &part)
{
    const QJsonArray pages =
        QJsonDocument::fromJson(fetch(QStringLiteral("http://127.0.0.1:%1/json/list").arg(port)))
            .array();
    for (const QJsonValue &p : pages) {
        const QJsonObject o = p.toObject();
        if (o.value(QStringLiteral("type")).toString() == u"page" &&
            o.value(QStringLiteral("url")).toString().contains(part))
            return o.value(QStringLiteral("webSocketDebuggerUrl")).toString();
    }
    return QString();
}

class Page {
public:
    bool open(const QString &socketUrl)
    {
        QEventLoop loop;
        QObject::connect(&m_ws, &QWebSocket::connected, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        m_ws.open(QUrl(socketUrl));
        loop.exec();
        return m_ws.state() == QAbstractSocket::ConnectedState;
    }
    // Runs a script (awaiting a promise it gives); its value as text.
    QString evaluate(const QString &script, int timeoutMs = 5000)
    {
        return call(QStringLiteral("Runtime.evaluate"),
                    QJsonObject{{QStringLiteral("expression"), script},
                                {QStringLiteral("awaitPromise"), true},
                                {QStringLiteral("returnByValue"), true}},
                    timeoutMs);
    }
    QString call(const QString &method, const QJsonObject &params, int timeoutMs = 5000)
    {
        const int id = ++m_id;
        QString result;
        QEventLoop loop;
        auto c =
            QObject::connect(&m_ws, &QWebSocket::textMessageReceived, &loop, [&](const QString &m) {
                const QJsonObject o = QJsonDocument::fromJson(m.toUtf8()).object();
                if (o.value(QStringLiteral("id")).toInt() != id)
                    return;
                const QJsonValue v =
                    o[QStringLiteral("result")][QStringLiteral("result")][QStringLiteral("value")];
                result = v.isString() ? v.toString() : QString::number(v.toDouble());
                loop.quit();
            });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        const QJsonObject call{{QStringLiteral("id"), id},
                               {QStringLiteral("method"), method},
                               {QStringLiteral("params"), params}};
        m_ws.sendTextMessage(QString::fromUtf8(QJsonDocument(call).toJson(QJsonDocument::Compact)));
        loop.exec();
        QObject::disconnect(c);
        return result;
    }

private:
    QWebSocket m_ws;
    int m_id = 0;
};

void press(Display *d, KeySym sym)
{
    const KeyCode key = XKeysymToKeycode(d, sym);
    XTestFakeKeyEvent(d, key, True, CurrentTime);
    XTestFakeKeyEvent(d, key, False, CurrentTime);
    XFlush(d);
}

} // namespace

// The period and jam clocks' texts at a moment of the steady clock.
struct Clocks {
    qint64 ns = 0;
    QString period, jam;
    const char *where = "the board";
};

// Each page's clocks against the board's: a page's text must be one the
// board showed within a tenth of a second either side (or, across a change
// of the board's clock, a last digit off one: the change is on its way).
int compareClocks(int cdp, int feedPort, int seconds)
{
    Page board, overlay;
    if (!board.open(pageSocket(cdp, QStringLiteral("/board"))) ||
        !overlay.open(pageSocket(cdp, QStringLiteral("/overlay"))))
        return 1;
    const QString onBoard = QStringLiteral(
        "['tledPeriod', 'tledJam'].map((n) => document.getElementById('led-' + n).dataset.text)"
        ".join('/')");
    const QString onOverlay = QStringLiteral(
        "['period-clock', 'jam-clock'].map((n) => document.getElementById(n).textContent)"
        ".join('/')");
    QNetworkAccessManager net;
    const QUrl state(QStringLiteral("http://127.0.0.1:%1/state.json").arg(feedPort));
    QElapsedTimer clock;
    clock.start();
    std::vector<Clocks> truth, shown;
    const auto read = [&](Page &page, const QString &script, const char *where) {
        const qint64 before = clock.nsecsElapsed();
        const QStringList t = page.evaluate(script).split(u'/');
        if (t.size() == 2)
            shown.push_back({(before + clock.nsecsElapsed()) / 2, t[0], t[1], where});
    };
    while (clock.elapsed() < seconds * 1000) {
        const qint64 before = clock.nsecsElapsed();
        QNetworkReply *reply = net.get(QNetworkRequest(state));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        const QJsonObject s = QJsonDocument::fromJson(reply->readAll()).object();
        reply->deleteLater();
        truth.push_back({(before + clock.nsecsElapsed()) / 2,
                         s[QStringLiteral("period")][QStringLiteral("clock")].toString(),
                         s[QStringLiteral("jam")][QStringLiteral("clock")].toString()});
        read(board, onBoard, "/board");
        read(overlay, onOverlay, "/overlay");
    }
    constexpr qint64 Tenth = 100'000'000;
    // A clock's text in tenths of a second, and its last digit's worth.
    const auto tenthsOf = [](const QString &text, int *unit) -> qint64 {
        const bool tenths = text.contains(u'.');
        const QStringList parts = text.trimmed().split(tenths ? u'.' : u':');
        *unit = tenths ? 1 : 10;
        if (parts.size() != 2)
            return -1000;
        return tenths ? parts[0].toLongLong() * 10 + parts[1].toLongLong()
                      : (parts[0].toLongLong() * 60 + parts[1].toLongLong()) * 10;
    };
    // The same text, or, where the board's clock was set or started within
    // the window, one last digit off a reading of the board: the page goes
    // on with what it had until the change reaches it.
    const auto agrees = [&](const QString &page, const QString &board, bool changed) {
        int unit = 1, boardUnit = 1;
        const qint64 p = tenthsOf(page, &unit);
        return page == board ||
               (changed && std::abs(p - tenthsOf(board, &boardUnit)) <= std::max(unit, boardUnit));
    };
    int checked = 0, wrong = 0, tenths = 0;
    for (const Clocks &p : shown) {
        bool period = false, jam = false, near = false;
        // Whether the board's clocks jumped (set, or two readings more
        // than a digit apart) within the window.
        bool periodJumped = false, jamJumped = false;
        const Clocks *last = nullptr;
        for (const Clocks &b : truth) {
            if (std::abs(b.ns - p.ns) > Tenth)
                continue;
            if (last) {
                periodJumped = periodJumped || !agrees(b.period, last->period, true) ||
                               b.period.contains(u'.') != last->period.contains(u'.');
                jamJumped = jamJumped || !agrees(b.jam, last->jam, true);
            }
            last = &b;
        }
        for (const Clocks &b : truth) {
            if (std::abs(b.ns - p.ns) > Tenth)
                continue;
            near = true;
            period = period || agrees(p.period, b.period, periodJumped);
            jam = jam || agrees(p.jam, b.jam, jamJumped);
        }
        if (!near)
            continue; // the machine was busy: nothing of the board to compare with
        ++checked;
        tenths += p.period.contains(u'.');
        if (!(period && jam) && ++wrong % 200 == 1) {
            QStringList around;
            for (const Clocks &b : truth) {
                if (std::abs(b.ns - p.ns) <= Tenth)
                    around << b.period + QStringLiteral(" / ") + b.jam;
            }
            around.removeDuplicates();
            std::fprintf(stderr, "feed_probe: at %.3f s %s showed %s / %s; the board %s\n",
                         double(p.ns) / 1e9, p.where, qPrintable(p.period), qPrintable(p.jam),
                         qPrintable(around.join(QStringLiteral(", "))));
        }
    }
    std::printf("clocks: %d page readings against the board's (%d in the last minute), "
                "%d differ by more than a tenth; %zu readings of the board\n",
                checked, tenths, wrong, truth.size());
    return wrong == 0 && checked >= 100 && tenths >= 20 ? 0 : 1;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const int port = QByteArray(argv[1]).toInt();
    const QByteArray command = argv[2];
    const QString part = QString::fromLocal8Bit(argv[3]);
    if (command == "clocks" && argc >= 5)
        return compareClocks(port, part.toInt(), QByteArray(argv[4]).toInt());
    if (command == "open") {
        // A window of its own: a page behind another in its window is hidden
        // and draws nothing.
        const QString browser =
            QJsonDocument::fromJson(
                fetch(QStringLiteral("http://127.0.0.1:%1/json/version").arg(port)))
                .object()
                .value(QStringLiteral("webSocketDebuggerUrl"))
                .toString();
        Page b;
        if (!b.open(browser))
            return 1;
        b.call(QStringLiteral("Target.createTarget"),
               QJsonObject{{QStringLiteral("url"), part}, {QStringLiteral("newWindow"), true}});
        return 0;
    }
    Page page;
    QString socket;
    for (int i = 0; i < 50 && socket.isEmpty(); ++i) {
        socket = pageSocket(port, part);
        if (socket.isEmpty())
            QThread::msleep(100);
    }
    if (socket.isEmpty() || !page.open(socket)) {
        std::fprintf(stderr, "feed_probe: no page at %s\n", argv[3]);
        return 1;
    }
    if (command == "wait" && argc >= 6) {
        const QString script = QString::fromLocal8Bit(argv[4]);
        const QString expected = QString::fromLocal8Bit(argv[5]);
        const int seconds = argc > 6 ? QByteArray(argv[6]).toInt() : 10;
        QElapsedTimer t;
        t.start();
        QString got;
        while (t.elapsed() < seconds * 1000) {
            got = page.evaluate(script);
            if (got == expected) {
                std::printf("%s\n", qPrintable(got));
                return 0;
            }
            QThread::msleep(50);
        }
        std::fprintf(stderr, "feed_probe: %s gave '%s', not '%s'\n", argv[4], qPrintable(got),
                     qPrintable(expected));
        return 1;
    }
    if (command == "latency" && argc >= 5) {
        Display *d = XOpenDisplay(nullptr);
        if (!d)
            return 1;
        const int presses = QByteArray(argv[4]).toInt();
        const QString waitForChange = QStringLiteral(
            "new Promise((done) => { const el = document.getElementById('%1');"
            " const before = %2; const t0 = performance.now();"
            " const o = new MutationObserver(() => { if (%2 !== before) { o.disconnect();"
            " done(String(performance.now() - t0)); } });"
            " o.observe(el, {attributes: true, childList: true, subtree: true, characterData: "
            "true});"
            " setTimeout(() => done('timeout'), 3000); })");
        const QString element = part.contains(u"overlay") ? QStringLiteral("home-score")
                                                          : QStringLiteral("led-nledHomeScore");
        const QString value = part.contains(u"overlay") ? QStringLiteral("el.textContent")
                                                        : QStringLiteral("el.dataset.text");
        std::vector<double> ms;
        for (int i = 0; i < presses; ++i) {
            // Armed first, then the key: the page's clock runs from arming,
            // so the key's own time is measured here, outside the page.
            QElapsedTimer t;
            QString result;
            // "+" then "1" adds a point; the "1" is the key timed.
            press(d, XK_equal);
            QTimer::singleShot(30, [&] {
                t.start();
                press(d, XK_1);
            });
            result = page.evaluate(waitForChange.arg(element, value), 4000);
            if (result == u"timeout" || result.isEmpty()) {
                std::fprintf(stderr, "feed_probe: press %d was not seen\n", i);
                return 1;
            }
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            QThread::msleep(60);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("key to page: median %.1f ms, p99 %.1f ms (%d presses)\n", ms[ms.size() / 2],
                    ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], presses);
        XCloseDisplay(d);
        return 0;
    }
    return 2;
}
