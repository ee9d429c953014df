#pragma once

#include <QVector>
#include <cstdint>
#include <functional>

class Modbus;

// What the secondary graph asks of the worker. Each member may be empty (nothing is sent).
struct CaptureCommands {
    std::function<void(int address, int value, bool echo)> writeHolding;
    std::function<void(int start, QVector<uint16_t> words)> writeHoldings;
    std::function<void()> triggerCapture;
    std::function<void()> startAccelerometerRead;

    // Commands sent to worker; they do nothing once the worker is gone.
    static CaptureCommands forWorker(Modbus *worker);
    // The same commands, each sent only when mayGo() allows it at that moment (mayGo reports a
    // refusal itself).
    CaptureCommands gatedBy(const std::function<bool()> &mayGo) const;
};
