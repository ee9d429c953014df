#pragma once

#include <QModbusRtuSerialMaster>

// RTU master that accepts the replies of the drive's firmware function 0x64.
class RtuMaster : public QModbusRtuSerialMaster {
    Q_OBJECT

  public:
    explicit RtuMaster(QObject *parent = nullptr);

    // The size calculators for 0x64; call once before the first master is used.
    static void registerCustomFunctions();

  protected:
    bool processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) override;
};
