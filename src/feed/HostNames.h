#pragma once

#include <QByteArrayView>
#include <QHostAddress>
#include <QStringView>

// Which names a request may give for this machine. A browser sends the name
// it used; any other name is a web page that made its name lead here (DNS
// rebinding) to read the feed through the browser of the scoreboard PC.
namespace HostNames {

// Whether a Host header's value (or an origin's host, with or without its
// port) names this machine: its own name or that name under .local, one of
// its addresses (the one the connection came to, at least), loopback, or
// localhost.
bool namesThisMachine(QStringView host, const QHostAddress &local);

// Whether a WebSocket opening's Origin may follow the feed: none (another
// program), one whose host names this machine, or one equal to the Host.
bool originAllowed(QByteArrayView origin, QByteArrayView host, const QHostAddress &local);

} // namespace HostNames
