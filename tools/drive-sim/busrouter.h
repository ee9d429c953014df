#pragma once

#include <QObject>
#include <QSerialPort>
#include <QTimer>
#include <QVector>

#include "serialsettings.h"

class PtyLink;

// The shared RS-485 line: every frame that arrives on the external port is copied to every
// drive's link (each drive ignores frames for other addresses), and every reply a drive
// releases goes out on the external port. A master sends a frame without pauses, but the
// pseudo-terminals may hand it over in pieces; Qt's RTU server drops the first pieces when the
// next comes more than 3.5 characters later (easily, on a loaded machine), so a frame is
// passed on only once it is whole. Bytes that make no frame go on once the line is quiet.
class BusRouter : public QObject {
    Q_OBJECT

  public:
    explicit BusRouter(QObject *parent = nullptr);

    static constexpr int kHangUpCheckMs = 250;
    static constexpr int kQuietLineMs = 100;

    bool open(const QString &portName, const SerialSettings &settings, QString *error);
    // Creates the link for one more drive; null with a message when no pty can be made.
    PtyLink *addLink(QString *error);

  signals:
    void portLost(const QString &message);

  private:
    void forwardFromBus();
    void forwardWholeFrames();
    void forwardPending();
    void sendToBus(const QByteArray &reply);
    void onPortError(QSerialPort::SerialPortError error);
    void checkHangUp();
    void lose(const QString &reason);

    QSerialPort m_port;
    QVector<PtyLink *> m_links;
    QTimer m_hangUpCheck;
    QTimer m_quietLine;
    QByteArray m_pending;
};
