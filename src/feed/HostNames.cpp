#include "HostNames.h"

#include <QDeadlineTimer>
#include <QList>
#include <QMutex>
#include <QNetworkInterface>
#include <QSysInfo>
#include <QUrl>

namespace {

// The machine's addresses change with its networks; read again at most once
// a second, so that a flood of requests cannot make a lookup each.
bool isOwnAddress(const QHostAddress &address)
{
    static QMutex lock;
    static QList<QHostAddress> known;
    static QDeadlineTimer fresh;
    const auto listed = [&address] {
        return std::any_of(known.cbegin(), known.cend(), [&address](QHostAddress a) {
            a.setScopeId(QString());
            return a.isEqual(address, QHostAddress::TolerantConversion);
        });
    };
    QMutexLocker locked(&lock);
    if (listed())
        return true;
    if (!fresh.hasExpired())
        return false;
    known = QNetworkInterface::allAddresses();
    fresh.setRemainingTime(1000);
    return listed();
}

} // namespace

bool HostNames::namesThisMachine(QStringView hostAndPort, const QHostAddress &local)
{
    QString host = hostAndPort.trimmed().toString();
    if (host.startsWith(u'[')) {
        const qsizetype end = host.indexOf(u']');
        const QStringView after = QStringView(host).mid(end + 1);
        if (end < 0 || !(after.isEmpty() || after.startsWith(u':')))
            return false;
        host = host.mid(1, end - 1);
    } else if (host.count(u':') == 1) {
        host = host.left(host.indexOf(u':'));
    }
    if (host.endsWith(u'.'))
        host.chop(1);
    if (host.isEmpty())
        return false;
    QHostAddress address;
    if (address.setAddress(host)) {
        if (address.isLoopback() || !address.scopeId().isEmpty())
            return address.isLoopback();
        QHostAddress at = local;
        at.setScopeId(QString());
        return address.isEqual(at, QHostAddress::TolerantConversion) || isOwnAddress(address);
    }
    const QString own = QSysInfo::machineHostName();
    const auto is = [&host](const QString &name) {
        return !name.isEmpty() && host.compare(name, Qt::CaseInsensitive) == 0;
    };
    return is(QStringLiteral("localhost")) || is(own) ||
           (!own.isEmpty() && is(own + QStringLiteral(".local")));
}

bool HostNames::originAllowed(QByteArrayView origin, QByteArrayView host, const QHostAddress &local)
{
    if (origin.isNull())
        return true;
    const QUrl url(QString::fromLatin1(origin), QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https") ||
        url.host().isEmpty() || !url.path().isEmpty() || url.hasQuery() ||
        !url.userInfo().isEmpty())
        return false;
    const QString authority = url.authority();
    return (!host.isEmpty() &&
            authority.compare(QString::fromLatin1(host), Qt::CaseInsensitive) == 0) ||
           namesThisMachine(authority, local);
}
