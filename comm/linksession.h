#pragma once

#include <QModbusDevice>
#include <QObject>
#include <QString>

#include "comm/modbuslink.h"

class QModbusClient;
class QTimer;

// The worker's link to the drive: one client per open, made for the link as configured, the
// connection time-out of a gateway and the loss of an open port. It reports each open's
// outcome once (opened or openFailed) and a loss once (lost); closing it on purpose reports
// nothing. Each successful open gets a new number, so that whatever was asked for on an
// earlier one can be told apart. Lives in the worker's thread.
class LinkSession : public QObject {
    Q_OBJECT

  public:
    explicit LinkSession(QObject *parent = nullptr);
    ~LinkSession() override;

    void setLink(const ModbusLink &link) { m_link = link; }
    const ModbusLink &link() const { return m_link; }

    // Starts opening; false (and nothing else happens) while open or opening. A serial port
    // reports at once, a gateway when it accepts or refuses, or after kConnectTimeoutMs.
    bool open();
    // Closes the port; the client stays for the next open's replacement.
    void close();
    // Closes and deletes the client without hearing from it again.
    void drop();

    bool isOpen() const { return m_open; }
    bool isOpening() const { return m_opening; }
    // The open that is (or was last) in use; 0 before the first.
    quint32 number() const { return m_number; }
    QModbusClient *client() const { return m_client; }

  signals:
    void opened();
    void openFailed(const QString &reason);
    void lost(const QString &reason);

  private:
    void replaceClient();
    void deleteClient();
    void failOpen(int attempt, const QString &reason);
    void finishOpen();
    void onTimeout();
    void onStateChanged(QModbusDevice::State state);
    void onError(QModbusDevice::Error error);
    void reportLoss();
    void closeClient();

    ModbusLink m_link;
    QModbusClient *m_client = nullptr;
    QTimer *m_connectTimer = nullptr;
    bool m_open = false;
    bool m_opening = false;
    bool m_closing = false;
    bool m_lossQueued = false;
    int m_attempt = 0;
    quint32 m_number = 0;
};
