#include "comm/capturecommands.h"

#include <QPointer>

#include "comm/modbus.h"

namespace {

template <typename... Args>
std::function<void(Args...)> gated(const std::function<void(Args...)> &command,
                                   const std::function<bool()> &mayGo) {
    if (!command) {
        return command;
    }
    return [command, mayGo](Args... args) {
        if (mayGo()) {
            command(args...);
        }
    };
}

}  // namespace

CaptureCommands CaptureCommands::forWorker(Modbus *worker) {
    const QPointer<Modbus> target(worker);
    CaptureCommands commands;
    commands.writeHolding = [target](int address, int value, bool echo) {
        if (target) {
            target->writeHolding(address, value, echo);
        }
    };
    commands.writeHoldings = [target](int start, QVector<uint16_t> words) {
        if (target) {
            target->writeHoldings(start, words);
        }
    };
    commands.triggerCapture = [target] {
        if (target) {
            target->triggerCapture();
        }
    };
    commands.startAccelerometerRead = [target] {
        if (target) {
            target->startAccelerometerRead();
        }
    };
    return commands;
}

CaptureCommands CaptureCommands::gatedBy(const std::function<bool()> &mayGo) const {
    CaptureCommands commands;
    commands.writeHolding = gated(writeHolding, mayGo);
    commands.writeHoldings = gated(writeHoldings, mayGo);
    commands.triggerCapture = gated(triggerCapture, mayGo);
    commands.startAccelerometerRead = gated(startAccelerometerRead, mayGo);
    return commands;
}
