#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QModbusTcpServer>
#include <QObject>
#include <QQueue>
#include <QTcpServer>

class DriveServer;
class QTcpSocket;

// One simulated drive as a Modbus TCP server: Qt frames requests and answers, the drive
// itself (registers, request log, faults) answers them. It listens on a loopback port of its
// own that only the gateway uses, because a Modbus TCP server answers a single unit id.
class UnitServer : public QModbusTcpServer {
    Q_OBJECT

  public:
    UnitServer(DriveServer *drive, QObject *parent = nullptr);

    // What becomes of an answer: Qt's server writes a frame for every request, even one the
    // drive leaves unanswered, so the gateway keeps or drops each frame as planned here.
    struct Plan {
        bool send = true;
        int delayMs = 0;
    };

    bool start(QString *error);
    quint16 port() const;
    // The plan of the oldest answer not yet taken.
    Plan takePlan();

  protected:
    QModbusResponse processRequest(const QModbusPdu &request) override;

  private:
    DriveServer *m_drive;
    QQueue<Plan> m_plans;
    bool m_planned = false;
    bool m_corrupt = false;
    int m_delayMs = 0;
};

// The simulator's Modbus TCP front end, standing for a TCP/RTU gateway in a cabinet: one
// listening port, each request routed by its unit id to the drive with that address. A unit
// id without a drive gets no answer, as an address nobody has on a serial bus.
class TcpGateway : public QObject {
    Q_OBJECT

  public:
    explicit TcpGateway(QObject *parent = nullptr);

    // listenOn is "[HOST:]PORT" (host 127.0.0.1 by default; port 0 takes a free one). An IPv6
    // host may be bracketed: "[::1]:5020" or "::1:5020".
    bool listen(const QString &listenOn, const QList<DriveServer *> &drives, QString *error);
    // "tcp://HOST:PORT" as actually listened on, an IPv6 host in brackets ("tcp://[::1]:5020"),
    // as mvxctl --port and the window's port box take it.
    QString endpoint() const;

  private:
    void acceptClients();

    QTcpServer m_listener;
    QMap<int, UnitServer *> m_units;
};

// One client connection of the gateway, with a connection of its own to every unit server.
class GatewayConnection : public QObject {
    Q_OBJECT

  public:
    GatewayConnection(QTcpSocket *client, const QMap<int, UnitServer *> &units, QObject *parent);

  private:
    void fromClient();
    void fromUnit(int unit);
    void toClient(const QByteArray &frame);

    QTcpSocket *m_client;
    QMap<int, UnitServer *> m_units;
    QMap<int, QTcpSocket *> m_upstream;
    QByteArray m_fromClient;
    QMap<int, QByteArray> m_fromUnits;
};
