#include "tcpgateway.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include "comm/endpoint.h"
#include "driveserver.h"
#include "tools/drive-sim/gatewayframes.h"

namespace {

const QString kLoopback = QStringLiteral("127.0.0.1");

// An IPv6 host may come as a URL writes it, "[::1]"; QHostAddress takes it bare.
QString withoutBrackets(const QString &host) {
    return host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')) ? host.mid(1, host.size() - 2)
                                                                                : host;
}

}  // namespace

UnitServer::UnitServer(DriveServer *drive, QObject *parent) : QModbusTcpServer(parent), m_drive(drive) {
    setServerAddress(drive->address());
    connect(drive, &DriveServer::replyPlanned, this, [this](int delayMs, bool corrupt) {
        m_planned = true;
        m_delayMs = delayMs;
        m_corrupt = corrupt;
    });
}

bool UnitServer::start(QString *error) {
    setConnectionParameter(QModbusDevice::NetworkAddressParameter, kLoopback);
    setConnectionParameter(QModbusDevice::NetworkPortParameter, 0);
    if (!connectDevice() || state() != QModbusDevice::ConnectedState || port() == 0) {
        *error = QStringLiteral("drive %1 cannot listen on %2: %3")
                     .arg(m_drive->address())
                     .arg(kLoopback, errorString());
        return false;
    }
    return true;
}

quint16 UnitServer::port() const {
    // The server's own listener is its child; port 0 asked for a free one.
    const QTcpServer *listener = findChild<QTcpServer *>();
    return listener ? listener->serverPort() : 0;
}

UnitServer::Plan UnitServer::takePlan() {
    return m_plans.isEmpty() ? Plan{} : m_plans.dequeue();
}

QModbusResponse UnitServer::processRequest(const QModbusPdu &request) {
    m_planned = false;
    const QModbusResponse response = m_drive->processRequest(request);
    if (!m_planned || !response.isValid()) {
        m_plans.enqueue({false, 0});  // silent or dropped: the client hears nothing
        return QModbusResponse();
    }
    m_plans.enqueue({true, m_delayMs});
    if (m_corrupt) {
        // A gateway does not pass on an answer whose CRC fails on its serial side.
        return QModbusExceptionResponse(request.functionCode(),
                                        QModbusPdu::GatewayTargetDeviceFailedToRespond);
    }
    return response;
}

TcpGateway::TcpGateway(QObject *parent) : QObject(parent), m_listener(this) {
    connect(&m_listener, &QTcpServer::newConnection, this, &TcpGateway::acceptClients);
}

bool TcpGateway::listen(const QString &listenOn, const QList<DriveServer *> &drives, QString *error) {
    const int colon = listenOn.lastIndexOf(QLatin1Char(':'));
    const QString host = colon > 0 ? withoutBrackets(listenOn.left(colon)) : kLoopback;
    bool ok = false;
    const int port = listenOn.mid(colon + 1).toInt(&ok);
    const QHostAddress address(host);
    if (!ok || port < 0 || port > 0xFFFF || address.isNull()) {
        *error = QStringLiteral("--tcp needs [HOST:]PORT with a numeric host, not '%1'").arg(listenOn);
        return false;
    }
    for (DriveServer *drive : drives) {
        auto *unit = new UnitServer(drive, this);
        m_units.insert(drive->address(), unit);
        if (!unit->start(error)) {
            return false;
        }
    }
    if (!m_listener.listen(address, quint16(port))) {
        *error = QStringLiteral("cannot listen on %1: %2").arg(listenOn, m_listener.errorString());
        return false;
    }
    return true;
}

QString TcpGateway::endpoint() const {
    return Endpoint::tcp(m_listener.serverAddress().toString(), m_listener.serverPort()).toString();
}

void TcpGateway::acceptClients() {
    while (QTcpSocket *client = m_listener.nextPendingConnection()) {
        new GatewayConnection(client, m_units, this);
    }
}

GatewayConnection::GatewayConnection(QTcpSocket *client, const QMap<int, UnitServer *> &units,
                                     QObject *parent)
    : QObject(parent), m_client(client), m_units(units) {
    client->setParent(this);
    for (auto it = units.cbegin(); it != units.cend(); ++it) {
        auto *upstream = new QTcpSocket(this);
        const int unit = it.key();
        connect(upstream, &QTcpSocket::readyRead, this, [this, unit] { fromUnit(unit); });
        upstream->connectToHost(QHostAddress(kLoopback), it.value()->port());
        m_upstream.insert(unit, upstream);
    }
    connect(client, &QTcpSocket::readyRead, this, &GatewayConnection::fromClient);
    connect(client, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void GatewayConnection::fromClient() {
    m_fromClient += m_client->readAll();
    const gatewayframes::Split split =
        gatewayframes::route(&m_fromClient, [this](int unit) { return m_upstream.contains(unit); });
    for (const gatewayframes::Routed &routed : split.frames) {
        m_upstream.value(routed.unit)->write(routed.frame);  // written once connected, if it is not yet
    }
    if (split.malformed) {
        m_client->abort();  // not Modbus TCP
    }
}

void GatewayConnection::fromUnit(int unit) {
    QByteArray &buffer = m_fromUnits[unit];
    buffer += m_upstream.value(unit)->readAll();
    int size = 0;
    while ((size = gatewayframes::frameSize(buffer)) > 0) {
        const QByteArray frame = buffer.left(size);
        buffer.remove(0, size);
        const UnitServer::Plan plan = m_units.value(unit)->takePlan();
        if (!plan.send) {
            continue;
        }
        if (plan.delayMs > 0) {
            QTimer::singleShot(plan.delayMs, this, [this, frame] { toClient(frame); });
        } else {
            toClient(frame);
        }
    }
}

void GatewayConnection::toClient(const QByteArray &frame) {
    if (m_client->state() == QAbstractSocket::ConnectedState) {
        m_client->write(frame);
    }
}
