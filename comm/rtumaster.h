#pragma once

#include <QModbusRtuSerialMaster>
#include <QModbusTcpClient>

// The two Modbus clients of the worker: one for a serial line, one for a TCP gateway. Both
// accept the replies of the drive's firmware function 0x64, which Qt leaves to subclasses.
class RtuMaster : public QModbusRtuSerialMaster {
    Q_OBJECT

  public:
    explicit RtuMaster(QObject *parent = nullptr);

    // The size calculators for 0x64; call once before the first client is used.
    static void registerCustomFunctions();

  protected:
    bool processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) override;
};

class TcpMaster : public QModbusTcpClient {
    Q_OBJECT

  public:
    explicit TcpMaster(QObject *parent = nullptr);

  protected:
    bool processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) override;
};
