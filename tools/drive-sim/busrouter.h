#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <QVector>

#include "serialsettings.h"

class PtyLink;

// The shared RS-485 line: every byte that arrives on the external port is copied to every
// drive's link (each drive ignores frames for other addresses), and every reply a drive
// releases goes out on the external port.
class BusRouter : public QObject {
    Q_OBJECT

  public:
    explicit BusRouter(QObject *parent = nullptr);

    static constexpr int kHangUpCheckMs = 250;

    bool open(const QString &portName, const SerialSettings &settings, QString *error);
    // Creates the link for one more drive; null with a message when no pty can be made.
    PtyLink *addLink(QString *error);

  signals:
    void portLost(const QString &message);

  private:
    void forwardFromBus();
    void sendToBus(const QByteArray &reply);
    void onPortError(QSerialPort::SerialPortError error);
    void checkHangUp();
    void lose(const QString &reason);

    QSerialPort m_port;
    QVector<PtyLink *> m_links;
    QTimer m_hangUpCheck;
};
