#include "RequestHeads.h"

#include <QList>

namespace {

// Long enough for a header's name and a value of any sense (an origin, a
// host with its port).
constexpr qsizetype KeptOfALine = 256;

bool namedAs(const QByteArray &line, QByteArrayView name)
{
    return line.size() > name.size() && line[name.size()] == ':' &&
           QByteArrayView(line).first(name.size()).compare(name, Qt::CaseInsensitive) == 0;
}

QByteArray valueOf(const QByteArray &line)
{
    return line.mid(line.indexOf(':') + 1).trimmed();
}

} // namespace

RequestHeads::Verdict RequestHeads::take(QByteArrayView bytes)
{
    m_lookedAt = 0;
    for (const char c : bytes) {
        if (m_verdict != Verdict::Reading)
            break;
        ++m_lookedAt;
        if (c == '\n') {
            endLine();
            continue;
        }
        if (c == '\r')
            continue;
        ++m_lineBytes;
        ++m_headBytes;
        if (m_lineStart.size() < KeptOfALine)
            m_lineStart += c;
        if (m_headBytes > m_max)
            m_verdict = Verdict::TooLarge;
    }
    return m_verdict;
}

void RequestHeads::endLine()
{
    const bool blank = m_lineBytes == 0;
    if (blank && m_sawRequestLine) {
        endHead();
        return;
    }
    // Blank lines before a request line are allowed, but count: they begin
    // the next request's time and size, or a newline now and then would
    // hold a connection for ever.
    m_headBytes += 2;
    if (m_headBytes > m_max) {
        m_verdict = Verdict::TooLarge;
        return;
    }
    if (blank)
        return;
    // A name kept only in part names nothing.
    const bool cut = m_lineBytes > KeptOfALine;
    if (!m_sawRequestLine) {
        m_sawRequestLine = true;
        m_opening = Opening{};
        const QList<QByteArray> words = m_lineStart.split(' ');
        if (words.size() > 1)
            m_opening.target = words[1];
    } else if (namedAs(m_lineStart, "content-length")) {
        const QByteArray value = valueOf(m_lineStart);
        m_body = m_body || value.isEmpty() || value.toLongLong() != 0 ||
                 value.count('0') != value.size();
    } else if (namedAs(m_lineStart, "transfer-encoding")) {
        m_body = true;
    } else if (namedAs(m_lineStart, "upgrade")) {
        m_upgrade = valueOf(m_lineStart).compare("websocket", Qt::CaseInsensitive) == 0;
    } else if (namedAs(m_lineStart, "connection")) {
        for (const QByteArray &token : valueOf(m_lineStart).split(','))
            m_connectionUpgrade |= token.trimmed().compare("upgrade", Qt::CaseInsensitive) == 0;
    } else if (namedAs(m_lineStart, "host")) {
        m_opening.hostTwice = !m_opening.host.isNull();
        const QByteArray value = valueOf(m_lineStart);
        m_opening.host = cut ? "-" : value.isNull() ? QByteArray("") : value;
    } else if (namedAs(m_lineStart, "origin")) {
        m_opening.origin = cut ? "-" : valueOf(m_lineStart);
    }
    m_lineBytes = 0;
    m_lineStart.clear();
}

void RequestHeads::endHead()
{
    ++m_completed;
    if (m_body)
        m_verdict = Verdict::HasBody;
    else if (m_upgrade && m_connectionUpgrade)
        m_verdict = Verdict::WebSocket; // without both, an answer follows as to any request
    m_headBytes = 0;
    m_lineBytes = 0;
    m_lineStart.clear();
    m_sawRequestLine = false;
    m_body = false;
    m_upgrade = false;
    m_connectionUpgrade = false;
}
