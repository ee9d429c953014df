#include "comm/endpoint.h"

#include <QUrl>

namespace {

const QString kTcpScheme = QStringLiteral("tcp://");

// Only an IPv6 address has a colon in its host; in a URL it is bracketed so that its colons are
// not read as the one before the port, and the zone after its '%' ("fe80::1%eth0") is escaped
// ("%25eth0"), or the zone would read back as an escape or end the host early.
QString bracketedIfIpv6(const QString &host) {
    if (!host.contains(QLatin1Char(':'))) {
        return host;
    }
    const int zone = host.indexOf(QLatin1Char('%'));
    if (zone < 0) {
        return QStringLiteral("[%1]").arg(host);
    }
    return QLatin1Char('[') + host.left(zone) + QLatin1String("%25") +
           QString::fromLatin1(QUrl::toPercentEncoding(host.mid(zone + 1))) + QLatin1Char(']');
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
            endpoint.m_error =
                QStringLiteral("'%1': only serial devices and tcp://HOST[:PORT] are known").arg(trimmed);
            return endpoint;
        }
        endpoint.m_device = trimmed;
        endpoint.m_error.clear();
        return endpoint;
    }
    endpoint.m_transport = Transport::Tcp;
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString usage = QStringLiteral("'%1': write tcp://HOST or tcp://HOST:PORT").arg(trimmed);
    const QString authority = trimmed.mid(kTcpScheme.size()).section(QLatin1Char('/'), 0, 0);
    const bool bareIpv6 = authority.count(QLatin1Char(':')) > 1 && !authority.startsWith(QLatin1Char('[')) &&
                          !authority.contains(QLatin1Char('@'));
    if (bareIpv6) {
        endpoint.m_error =
            QStringLiteral("'%1': write an IPv6 address in brackets, tcp://[ADDRESS]:PORT").arg(trimmed);
        return endpoint;
    }
    const bool emptyPort = authority.endsWith(QLatin1Char(':'));
    if (!url.isValid() || url.host().isEmpty() || emptyPort || !url.userInfo().isEmpty() ||
        (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() || url.hasFragment()) {
        endpoint.m_error = usage;
        return endpoint;
    }
    endpoint.m_host = url.host();
    endpoint.m_port = url.port(kDefaultTcpPort);
    if (endpoint.m_port < 1) {
        endpoint.m_error = QStringLiteral("'%1': the TCP port must be 1 to 65535").arg(trimmed);
        return endpoint;
    }
    endpoint.m_error.clear();
    return endpoint;
}

Endpoint Endpoint::tcp(const QString &host, int port) {
    return parse(kTcpScheme + QStringLiteral("%1:%2").arg(bracketedIfIpv6(host)).arg(port));
}

QString Endpoint::hostInUrl() const {
    return bracketedIfIpv6(m_host);
}

QString Endpoint::toString() const {
    if (!isTcp()) {
        return m_device;
    }
    return QStringLiteral("tcp://%1:%2").arg(hostInUrl()).arg(m_port);
}

QString Endpoint::describe() const {
    if (!isTcp()) {
        return QStringLiteral("serial port %1").arg(m_device);
    }
    return QStringLiteral("Modbus TCP gateway %1 port %2").arg(hostInUrl()).arg(m_port);
}
