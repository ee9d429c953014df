#include "comm/reconnector.h"

#include <QFileInfo>
#include <QTcpSocket>
#include <QTimer>

Reconnector::Reconnector(QObject *parent)
    : QObject(parent), m_timer(new QTimer(this)), m_probeTimer(new QTimer(this)) {
    m_clock.start();
    m_timer->setInterval(kPresenceCheckMs);
    connect(m_timer, &QTimer::timeout, this, &Reconnector::tick);
    m_probeTimer->setSingleShot(true);
    connect(m_probeTimer, &QTimer::timeout, this, [this] { endProbe(false); });
}

void Reconnector::start(const Endpoint &endpoint) {
    m_endpoint = endpoint;
    m_attempting = false;
    m_shownAttempt = -1;
    m_backoff.start(m_clock.elapsed());
    m_timer->start();
    showCountdown();
}

void Reconnector::stop() {
    m_backoff.stop();
    m_timer->stop();
    m_attempting = false;
    if (m_probe) {
        endProbe(false);
    }
}

void Reconnector::attemptFailed() {
    if (!m_attempting) {
        return;
    }
    m_attempting = false;
    m_backoff.attemptFailed(m_clock.elapsed());
    showCountdown();
}

void Reconnector::tick() {
    if (m_attempting || !isActive()) {
        return;
    }
    checkPresence();
    if (!m_backoff.isDue(m_clock.elapsed())) {
        showCountdown();
        return;
    }
    m_attempting = true;
    emit attemptDue(m_backoff.beginAttempt());
}

void Reconnector::checkPresence() {
    if (m_endpoint.isTcp()) {
        probeGateway();
    } else {
        m_backoff.notePresence(QFileInfo::exists(m_endpoint.device()));
    }
}

// The probe's answer counts at the next tick; one probe at a time.
void Reconnector::probeGateway() {
    if (m_probe) {
        return;
    }
    m_probe = new QTcpSocket(this);
    connect(m_probe, &QTcpSocket::connected, this, [this] { endProbe(true); });
    connect(m_probe, &QTcpSocket::errorOccurred, this, [this] { endProbe(false); });
    m_probeTimer->start(kProbeTimeoutMs);
    m_probe->connectToHost(m_endpoint.host(), quint16(m_endpoint.port()));
}

void Reconnector::endProbe(bool present) {
    if (!m_probe) {
        return;
    }
    m_probeTimer->stop();
    QTcpSocket *probe = m_probe;
    m_probe = nullptr;
    probe->disconnect(this);
    probe->abort();
    probe->deleteLater();
    m_backoff.notePresence(present);
}

void Reconnector::showCountdown() {
    const int attempt = m_backoff.nextAttempt();
    const int seconds = m_backoff.secondsToNext(m_clock.elapsed());
    if (attempt != m_shownAttempt || seconds != m_shownSeconds) {
        m_shownAttempt = attempt;
        m_shownSeconds = seconds;
        emit countdown(attempt, seconds);
    }
}
