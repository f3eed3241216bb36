#include "RequestHeads.h"

namespace {

// Long enough for "transfer-encoding:" and a value of any sense.
constexpr qsizetype KeptOfALine = 64;

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
    for (const char c : bytes) {
        if (m_verdict != Verdict::Reading)
            break;
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
    if (m_lineBytes == 0) {
        // Blank lines before a request line are allowed and ignored; one
        // after it ends the head.
        if (m_sawRequestLine)
            endHead();
        return;
    }
    m_headBytes += 2;
    if (m_headBytes > m_max) {
        m_verdict = Verdict::TooLarge;
        return;
    }
    if (!m_sawRequestLine) {
        m_sawRequestLine = true;
    } else if (namedAs(m_lineStart, "content-length")) {
        const QByteArray value = valueOf(m_lineStart);
        m_body = m_body || value.isEmpty() || value.toLongLong() != 0 ||
                 value.count('0') != value.size();
    } else if (namedAs(m_lineStart, "transfer-encoding")) {
        m_body = true;
    } else if (namedAs(m_lineStart, "upgrade")) {
        m_upgrade = valueOf(m_lineStart).compare("websocket", Qt::CaseInsensitive) == 0;
    }
    m_lineBytes = 0;
    m_lineStart.clear();
}

void RequestHeads::endHead()
{
    ++m_completed;
    if (m_body)
        m_verdict = Verdict::HasBody;
    else if (m_upgrade)
        m_verdict = Verdict::WebSocket;
    m_headBytes = 0;
    m_lineBytes = 0;
    m_lineStart.clear();
    m_sawRequestLine = false;
    m_body = false;
    m_upgrade = false;
}
