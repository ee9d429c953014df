#pragma once

#include <QModbusRequest>
#include <QModbusResponse>

// The drive's user-defined Modbus function for firmware flashing. Qt frames only the
// standard function codes by itself; both ends must register these size calculators
// (once, before any Modbus object is used from another thread) or the frames are not
// recognised: the server stays silent and the client times out.
//
// Request data:  model hi, model lo, sub-command                       (3 bytes)
//                model hi, model lo, sub-command, block hi, block lo,
//                128 image bytes                                      (133 bytes, sub-commands 5 and 6)
// Reply data:    model hi, model lo, sub-command (an echo of the first 3 request bytes)
// Exception:     function 0xE4 and one exception-code byte.
namespace firmwarefunction {

constexpr quint8 kFunctionCode = 0x64;
constexpr int kBlockSize = 128;
constexpr int kCommandDataSize = 3;
constexpr int kBlockDataSize = kCommandDataSize + 2 + kBlockSize;
constexpr int kReplyDataSize = 3;

enum SubCommand : quint8 {
    AnnounceMotor = 1,
    AnnounceUser = 2,
    ResetRenesas = 3,
    ResetAtmel = 4,  // also "mark the new firmware as good" after a user-controller update
    MotorBlock = 5,
    UserBlock = 6,
    EraseMotor = 7,
    EraseUser = 8,
};

inline int requestDataSize(const QModbusRequest &request) {
    const QByteArray data = request.data();
    if (data.size() < kCommandDataSize) {
        return -1;  // the sub-command decides the length: wait for it
    }
    const auto sub = quint8(data.at(2));
    return (sub == MotorBlock || sub == UserBlock) ? kBlockDataSize : kCommandDataSize;
}

inline int responseDataSize(const QModbusResponse &response) {
    // Called for exception replies (0xE4) too: those carry only the exception code.
    return response.isException() ? 1 : kReplyDataSize;
}

}  // namespace firmwarefunction

inline void registerFirmwareFunctionSizes() {
    const auto code = QModbusPdu::FunctionCode(firmwarefunction::kFunctionCode);
    QModbusRequest::registerDataSizeCalculator(code, &firmwarefunction::requestDataSize);
    QModbusResponse::registerDataSizeCalculator(code, &firmwarefunction::responseDataSize);
}
