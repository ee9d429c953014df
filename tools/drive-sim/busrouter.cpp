#include "busrouter.h"

#include <poll.h>
#include <QModbusRequest>

#include "ptylink.h"

BusRouter::BusRouter(QObject *parent) : QObject(parent), m_port(this) {
    connect(&m_port, &QSerialPort::readyRead, this, &BusRouter::forwardFromBus);
    connect(&m_port, &QSerialPort::errorOccurred, this, &BusRouter::onPortError);
    m_hangUpCheck.setInterval(kHangUpCheckMs);
    connect(&m_hangUpCheck, &QTimer::timeout, this, &BusRouter::checkHangUp);
    m_quietLine.setSingleShot(true);
    m_quietLine.setInterval(kQuietLineMs);
    connect(&m_quietLine, &QTimer::timeout, this, &BusRouter::forwardPending);
}

bool BusRouter::open(const QString &portName, const SerialSettings &settings, QString *error) {
    m_port.setPortName(portName);
    if (!m_port.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open port %1: %2").arg(portName, m_port.errorString());
        return false;
    }
    // Pseudo-terminals accept any speed; real ports refuse what they cannot do.
    if (!m_port.setBaudRate(settings.speed) || !m_port.setDataBits(QSerialPort::Data8) ||
        !m_port.setParity(settings.parity) || !m_port.setStopBits(settings.stopBits) ||
        !m_port.setFlowControl(QSerialPort::NoFlowControl)) {
        *error = QStringLiteral("cannot configure port %1: %2").arg(portName, m_port.errorString());
        m_port.close();
        return false;
    }
    m_hangUpCheck.start();
    return true;
}

PtyLink *BusRouter::addLink(QString *error) {
    auto *link = new PtyLink(this);
    if (!link->open(error)) {
        delete link;
        return nullptr;
    }
    connect(link, &PtyLink::replyReady, this, &BusRouter::sendToBus);
    m_links.append(link);
    return link;
}

void BusRouter::forwardFromBus() {
    m_pending.append(m_port.readAll());
    forwardWholeFrames();
    if (m_pending.isEmpty()) {
        m_quietLine.stop();
    } else {
        m_quietLine.start();
    }
}

void BusRouter::forwardWholeFrames() {
    constexpr int kAddressAndFunction = 2;
    constexpr int kCrc = 2;
    while (m_pending.size() > kAddressAndFunction) {
        const QModbusRequest request(QModbusPdu::FunctionCode(quint8(m_pending.at(1))),
                                     m_pending.mid(kAddressAndFunction));
        const int dataSize = QModbusRequest::calculateDataSize(request);
        const int frameSize = kAddressAndFunction + dataSize + kCrc;
        if (dataSize < 0 || m_pending.size() < frameSize) {
            return;  // not whole yet, or no frame a drive knows: the quiet line decides
        }
        const QByteArray frame = m_pending.left(frameSize);
        m_pending.remove(0, frameSize);
        for (PtyLink *link : qAsConst(m_links)) {
            link->send(frame);
        }
    }
}

void BusRouter::forwardPending() {
    for (PtyLink *link : qAsConst(m_links)) {
        link->send(m_pending);
    }
    m_pending.clear();
}

void BusRouter::sendToBus(const QByteArray &reply) {
    if (m_port.isOpen()) {
        m_port.write(reply);
    }
}

void BusRouter::onPortError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::ResourceError) {
        lose(m_port.errorString());
    }
}

// A pseudo-terminal whose other end has gone reads as an endless end-of-file, which
// QSerialPort does not report as an error; poll() shows it as a hang-up.
void BusRouter::checkHangUp() {
    if (!m_port.isOpen()) {
        return;
    }
    pollfd descriptor{int(m_port.handle()), POLLIN, 0};
    if (::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & (POLLHUP | POLLNVAL))) {
        lose(QStringLiteral("the other end hung up"));
    }
}

void BusRouter::lose(const QString &reason) {
    const QString message = QStringLiteral("port %1 lost: %2").arg(m_port.portName(), reason);
    m_hangUpCheck.stop();
    m_port.close();
    emit portLost(message);
}
