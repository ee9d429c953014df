#include "comm/rtumaster.h"

#include "comm/customfunction.h"

RtuMaster::RtuMaster(QObject *parent) : QModbusRtuSerialMaster(parent) {}

void RtuMaster::registerCustomFunctions() {
    static const bool registered = [] {
        registerFirmwareFunctionSizes();
        return true;
    }();
    Q_UNUSED(registered)
}

bool RtuMaster::processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) {
    if (response.functionCode() == QModbusPdu::FunctionCode(firmwarefunction::kFunctionCode)) {
        return true;  // the raw reply is all the caller needs
    }
    return QModbusRtuSerialMaster::processPrivateResponse(response, data);
}
