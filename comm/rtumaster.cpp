#include "comm/rtumaster.h"

#include "comm/customfunction.h"

namespace {

bool isFirmwareReply(const QModbusResponse &response) {
    return response.functionCode() == QModbusPdu::FunctionCode(firmwarefunction::kFunctionCode);
}

}  // namespace

RtuMaster::RtuMaster(QObject *parent) : QModbusRtuSerialMaster(parent) {}

void RtuMaster::registerCustomFunctions() {
    static const bool registered = [] {
        registerFirmwareFunctionSizes();
        return true;
    }();
    Q_UNUSED(registered)
}

bool RtuMaster::processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) {
    // The raw reply is all the caller needs.
    return isFirmwareReply(response) || QModbusRtuSerialMaster::processPrivateResponse(response, data);
}

TcpMaster::TcpMaster(QObject *parent) : QModbusTcpClient(parent) {}

bool TcpMaster::processPrivateResponse(const QModbusResponse &response, QModbusDataUnit *data) {
    return isFirmwareReply(response) || QModbusTcpClient::processPrivateResponse(response, data);
}
