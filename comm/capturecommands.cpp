#include "comm/capturecommands.h"

#include <QPointer>

#include "comm/modbus.h"

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
