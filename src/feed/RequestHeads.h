#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Follows the requests on one HTTP connection as their bytes arrive, before
// anything is buffered: where each request's head (request line and header
// lines) ends, how large it grew, and whether it announces a body or a
// WebSocket. It keeps no more than the start of the line it is in, so a
// client that sends a head without end costs a counter, not memory.
class RequestHeads {
public:
    enum class Verdict {
        Reading,   // nothing wrong so far
        TooLarge,  // a head passed the limit before it ended
        HasBody,   // a head announced a body (the feed takes none)
        WebSocket, // a head asked for a WebSocket: what follows is frames
    };
    // What a WebSocket's opening named, as far as it was kept (a value
    // longer than that is cut, and so matches nothing).
    struct Opening {
        QByteArray target; // "/ws?x"
        QByteArray host;
        QByteArray origin;
        bool hostTwice = false;
    };

    explicit RequestHeads(qsizetype maxHeadBytes) : m_max(maxHeadBytes) {}

    // Takes the next bytes of the connection. Once the verdict is other than
    // Reading it stays, and later bytes are not looked at.
    Verdict take(QByteArrayView bytes);
    Verdict verdict() const { return m_verdict; }
    // How many of the bytes last taken were looked at: those after it came
    // once the verdict was given (a WebSocket's first frames).
    qsizetype lookedAt() const { return m_lookedAt; }
    // Whether the next request has begun (blank lines before it included)
    // and its head has not ended yet.
    bool midRequest() const { return m_headBytes > 0; }
    // How many heads have ended.
    int completed() const { return m_completed; }
    // The head that asked for the WebSocket.
    const Opening &opening() const { return m_opening; }

private:
    void endLine();
    void endHead();

    qsizetype m_max;
    Verdict m_verdict = Verdict::Reading;
    qsizetype m_headBytes = 0; // of the head being read, blank lines before it counted
    qsizetype m_lineBytes = 0; // of the line being read, its CR not counted
    QByteArray m_lineStart;    // enough of the line to know its header's name and value
    bool m_sawRequestLine = false;
    bool m_body = false;
    bool m_upgrade = false;
    bool m_connectionUpgrade = false;
    Opening m_opening;
    int m_completed = 0;
    qsizetype m_lookedAt = 0;
};
