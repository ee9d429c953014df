#include "views/connectionstatuswidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

#include "app/statusline.h"
#include "comm/endpoint.h"

namespace {
const int kAgeRefreshMs = 1000;
}

ConnectionStatusWidget::ConnectionStatusWidget(QWidget *parent)
    : QWidget(parent), m_ageTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("connectionStatus"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_port = addLabel(QStringLiteral("labStatusPort"));
    m_line = addLabel(QStringLiteral("labStatusLine"));
    m_address = addLabel(QStringLiteral("labStatusAddress"));
    m_state = addLabel(QStringLiteral("labStatusState"));
    m_reply = addLabel(QStringLiteral("labStatusReply"));
    m_level = addLabel(QStringLiteral("labStatusLevel"));
    m_ageTimer->setInterval(kAgeRefreshMs);
    connect(m_ageTimer, &QTimer::timeout, this, &ConnectionStatusWidget::showReplyAge);
    setConnected(false);
    setAccessLevel(-1);
    showReplyAge();
}

QLabel *ConnectionStatusWidget::addLabel(const QString &objectName) {
    auto *label = new QLabel(this);
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    layout()->addWidget(label);
    return label;
}

void ConnectionStatusWidget::setLine(const QString &port, int speed, int framingIndex) {
    // A gateway runs the serial line itself: its address is what there is to know.
    const Endpoint endpoint = Endpoint::parse(port);
    if (endpoint.isTcp() && endpoint.isValid()) {
        m_port->setText(QStringLiteral("%1:%2").arg(endpoint.hostInUrl()).arg(endpoint.port()));
        m_line->setText(tr("Modbus TCP"));
        return;
    }
    m_port->setText(port.isEmpty() ? tr("no port") : port);
    m_line->setText(statusline::lineText(speed, framingIndex));
}

void ConnectionStatusWidget::setAddress(int address) {
    m_address->setText(tr("address %1").arg(address));
}

void ConnectionStatusWidget::setConnected(bool connected) {
    m_state->setText(connected ? tr("connected") : tr("disconnected"));
    m_state->setStyleSheet(connected ? QStringLiteral("color: darkgreen; font-weight: bold;")
                                     : QStringLiteral("color: darkred;"));
    if (connected) {
        m_ageTimer->start();
        return;
    }
    // Nothing answers any more: no age to count, no level granted.
    m_ageTimer->stop();
    m_lastReply = QDateTime();
    showReplyAge();
    setAccessLevel(-1);
}

void ConnectionStatusWidget::setConnecting() {
    m_state->setText(tr("connecting..."));
    m_state->setStyleSheet(QStringLiteral("color: #8a5a00; font-weight: bold;"));
    m_ageTimer->stop();
}

// The reply age keeps counting: it tells how long the drive has been out of reach.
void ConnectionStatusWidget::setReconnecting(const QString &text) {
    m_state->setText(text);
    m_state->setStyleSheet(QStringLiteral("color: #8a5a00; font-weight: bold;"));
    if (!m_ageTimer->isActive()) {
        m_ageTimer->start();
    }
}

void ConnectionStatusWidget::setLastReply(const QDateTime &when) {
    m_lastReply = when;
    showReplyAge();
}

void ConnectionStatusWidget::setAccessLevel(int level) {
    m_level->setText(tr("access %1").arg(statusline::accessLevel(level)));
}

void ConnectionStatusWidget::showReplyAge() {
    const qint64 age = m_lastReply.isValid() ? m_lastReply.msecsTo(QDateTime::currentDateTime()) : -1;
    m_reply->setText(tr("last reply %1").arg(statusline::replyAge(age)));
}

QString ConnectionStatusWidget::text() const {
    return QStringList{m_port->text(),  m_line->text(),  m_address->text(),
                       m_state->text(), m_reply->text(), m_level->text()}
        .join(QStringLiteral(" | "));
}
