#pragma once

#include <QList>
#include <QObject>

#include "driveprofile.h"
#include "simoptions.h"

class BusRouter;
class DriveServer;
class RequestLog;
class TcpGateway;

// Everything one simulator process runs: the bus on the external port, one drive per
// address, and the shared request log.
class Simulator : public QObject {
    Q_OBJECT

  public:
    Simulator(const SimOptions &options, const DriveProfile &profile, QObject *parent = nullptr);
    ~Simulator() override;

    bool start(QString *error);
    QList<DriveServer *> drives() const { return m_drives; }
    // "tcp://HOST:PORT" when the drives are served over Modbus TCP, else empty.
    QString tcpEndpoint() const;

  signals:
    void fatalError(const QString &message);

  private:
    bool addDrive(int address, bool primary, QString *error);

    SimOptions m_options;
    DriveProfile m_profile;
    RequestLog *m_log;
    BusRouter *m_bus;
    TcpGateway *m_gateway = nullptr;
    QList<DriveServer *> m_drives;
};
