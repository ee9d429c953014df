#include "comm/endpoint.h"

#include <QCoreApplication>
#include <QUrl>
#include <algorithm>

namespace {

const QString kTcpScheme = QStringLiteral("tcp://");

// Only an IPv6 address has a colon in its host; in a URL it is bracketed so that its colons are
// not read as the one before the port, and the '%' before a zone ("fe80::1%eth0") is written
// "%25", or the zone would read back as an escape.
QString bracketedIfIpv6(const QString &host) {
    if (!host.contains(QLatin1Char(':'))) {
        return host;
    }
    return QStringLiteral("[%1]").arg(QString(host).replace(QLatin1Char('%'), QLatin1String("%25")));
}

// The zone of an IPv6 address names an interface ("eth0", "3"). Anything else in it could not
// be printed back as the same address: QUrl reads the zone's escapes byte by byte.
bool zoneIsName(const QString &host) {
    const int percent = host.indexOf(QLatin1Char('%'));
    if (percent < 0) {
        return true;
    }
    const QString zone = host.mid(percent + 1);
    return !zone.isEmpty() && std::all_of(zone.cbegin(), zone.cend(), [](QChar c) {
        return c.unicode() < 0x80 && (c.isLetterOrNumber() || QStringLiteral("-._~").contains(c));
    });
}

}  // namespace

Endpoint Endpoint::parse(const QString &text) {
    Endpoint endpoint;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return endpoint;
    }
    if (!trimmed.startsWith(kTcpScheme, Qt::CaseInsensitive)) {
        if (trimmed.contains(QLatin1String("://"))) {
            endpoint.m_error = QCoreApplication::translate(
                                   "Endpoint", "'%1': only serial devices and tcp://HOST[:PORT] are known")
                                   .arg(trimmed);
            return endpoint;
        }
        endpoint.m_device = trimmed;
        endpoint.m_error.clear();
        return endpoint;
    }
    endpoint.m_transport = Transport::Tcp;
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString usage =
        QCoreApplication::translate("Endpoint", "'%1': write tcp://HOST or tcp://HOST:PORT").arg(trimmed);
    const QString authority = trimmed.mid(kTcpScheme.size()).section(QLatin1Char('/'), 0, 0);
    const bool bareIpv6 = authority.count(QLatin1Char(':')) > 1 && !authority.startsWith(QLatin1Char('[')) &&
                          !authority.contains(QLatin1Char('@'));
    if (bareIpv6) {
        endpoint.m_error = QCoreApplication::translate(
                               "Endpoint", "'%1': write an IPv6 address in brackets, tcp://[ADDRESS]:PORT")
                               .arg(trimmed);
        return endpoint;
    }
    const bool emptyPort = authority.endsWith(QLatin1Char(':'));
    if (!url.isValid() || url.host().isEmpty() || emptyPort || !url.userInfo().isEmpty() ||
        (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() || url.hasFragment()) {
        endpoint.m_error = usage;
        return endpoint;
    }
    // An IPvFuture literal ("[v1.x]") names nothing a socket can reach, and QUrl prints it
    // without its brackets, as a host name.
    if (authority.section(QLatin1Char('@'), -1).startsWith(QLatin1String("[v"), Qt::CaseInsensitive)) {
        endpoint.m_error = QCoreApplication::translate(
                               "Endpoint", "'%1': write a host name, an IPv4 address or an IPv6 address")
                               .arg(trimmed);
        return endpoint;
    }
    if (!zoneIsName(url.host())) {
        endpoint.m_error = QCoreApplication::translate(
                               "Endpoint", "'%1': the zone of an IPv6 address is an interface name or number")
                               .arg(trimmed);
        return endpoint;
    }
    endpoint.m_host = url.host();
    endpoint.m_port = url.port(kDefaultTcpPort);
    if (endpoint.m_port < 1) {
        endpoint.m_error =
            QCoreApplication::translate("Endpoint", "'%1': the TCP port must be 1 to 65535").arg(trimmed);
        return endpoint;
    }
    endpoint.m_error.clear();
    return endpoint;
}

Endpoint Endpoint::tcp(const QString &host, int port) {
    return parse(kTcpScheme + QStringLiteral("%1:%2").arg(bracketedIfIpv6(host), QString::number(port)));
}

QString Endpoint::hostInUrl() const {
    return bracketedIfIpv6(m_host);
}

QString Endpoint::toString() const {
    if (!isTcp()) {
        return m_device;
    }
    return QStringLiteral("tcp://%1:%2").arg(hostInUrl(), QString::number(m_port));
}

QString Endpoint::describe() const {
    if (!isTcp()) {
        return QCoreApplication::translate("Endpoint", "serial port %1").arg(m_device);
    }
    return QCoreApplication::translate("Endpoint", "Modbus TCP gateway %1 port %2")
        .arg(hostInUrl(), QString::number(m_port));
}
