#include "comm/linksession.h"

#include <QModbusClient>
#include <QTimer>

LinkSession::LinkSession(QObject *parent) : QObject(parent), m_connectTimer(new QTimer(this)) {
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, &LinkSession::onTimeout);
}

LinkSession::~LinkSession() {
    drop();
}

bool LinkSession::open() {
    if (m_open || m_opening) {
        return false;
    }
    const int attempt = ++m_attempt;
    m_opening = true;
    if (!m_link.endpoint.isValid()) {
        failOpen(attempt, m_link.endpoint.error());
        return true;
    }
    replaceClient();
    // A serial port opens (or fails) at once; a gateway answers later through stateChanged.
    if (!m_client->connectDevice()) {
        failOpen(attempt, m_client->errorString());
        return true;
    }
    if (m_opening) {
        m_connectTimer->start(ModbusLink::kConnectTimeoutMs);
    }
    return true;
}

void LinkSession::close() {
    m_connectTimer->stop();
    m_opening = false;
    m_open = false;
    closeClient();
}

void LinkSession::drop() {
    m_connectTimer->stop();
    m_opening = false;
    m_open = false;
    deleteClient();
}

void LinkSession::deleteClient() {
    if (!m_client) {
        return;
    }
    m_client->disconnect(this);
    closeClient();
    delete m_client;
    m_client = nullptr;
}

// Each connection gets a fresh client made for the current link, so that a changed port, or a
// gateway connection given up half-way, leaves nothing behind.
void LinkSession::replaceClient() {
    deleteClient();
    m_client = m_link.createClient(this);
    connect(m_client, &QModbusDevice::stateChanged, this, &LinkSession::onStateChanged);
    connect(m_client, &QModbusDevice::errorOccurred, this, &LinkSession::onError);
}

void LinkSession::closeClient() {
    if (m_client) {
        m_closing = true;
        m_client->disconnectDevice();
        m_closing = false;
    }
}

void LinkSession::finishOpen() {
    if (!m_opening) {
        return;
    }
    m_opening = false;
    m_connectTimer->stop();
    m_open = true;
    ++m_number;
    emit opened();
}

void LinkSession::failOpen(int attempt, const QString &reason) {
    if (!m_opening || attempt != m_attempt) {
        return;
    }
    m_opening = false;
    m_connectTimer->stop();
    emit openFailed(reason);
}

void LinkSession::onTimeout() {
    if (!m_opening) {
        return;
    }
    // Deleting the client abandons the connection attempt; the next open makes a new one.
    deleteClient();
    failOpen(m_attempt, tr("no answer from %1 within %2 s")
                            .arg(m_link.endpoint.describe())
                            .arg(ModbusLink::kConnectTimeoutMs / 1000));
}

void LinkSession::onStateChanged(QModbusDevice::State state) {
    if (m_opening && state == QModbusDevice::ConnectedState) {
        finishOpen();
        return;
    }
    if (m_opening && state == QModbusDevice::UnconnectedState) {
        // A TCP client reports the reason just after this signal.
        const int attempt = m_attempt;
        QMetaObject::invokeMethod(
            this, [this, attempt] { failOpen(attempt, m_client ? m_client->errorString() : QString()); },
            Qt::QueuedConnection);
        return;
    }
    if (state == QModbusDevice::UnconnectedState && m_open && !m_closing) {
        reportLoss();
    }
}

void LinkSession::onError(QModbusDevice::Error error) {
    // A vanished device shows up as a read or connection error that repeats for as long as the
    // port stays open; close it once, outside the serial port's own signal handling.
    const bool portFailed = error == QModbusDevice::ConnectionError || error == QModbusDevice::ReadError;
    if (!portFailed || !m_open || m_closing || m_lossQueued) {
        return;
    }
    m_lossQueued = true;
    QMetaObject::invokeMethod(this, &LinkSession::reportLoss, Qt::QueuedConnection);
}

void LinkSession::reportLoss() {
    m_lossQueued = false;
    if (!m_open) {
        return;
    }
    m_open = false;
    const QString reason = m_client->errorString();
    closeClient();
    emit lost(reason);
}
