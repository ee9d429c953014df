#pragma once

#include <QVector>
#include <QtGlobal>
#include <cstdint>

class Modbus;

// Something that runs inside the worker's poll cycle, such as the production-test engine.
// All calls come from the worker's thread.
class PollTickHook {
  public:
    virtual ~PollTickHook() = default;
    // First thing of every poll tick.
    virtual void onPollTick(Modbus &worker) = 0;
    // A complete ordinary input-register read (from register 0).
    virtual void onInputWords(const QVector<uint16_t> &words) { Q_UNUSED(words) }
    // A complete ordinary holding read (from register 0).
    virtual void onHoldingWords(const QVector<uint16_t> &words) { Q_UNUSED(words) }
    // A coil (coils == true) or discrete-input read asked for with Modbus::readBits.
    virtual void onBitWords(bool coils, int start, const QVector<uint16_t> &words) {
        Q_UNUSED(coils)
        Q_UNUSED(start)
        Q_UNUSED(words)
    }
    // Any read that arrived complete and without error.
    virtual void onReadSucceeded() {}
    // An exchange with the drive got no usable answer (time-out, garbled reply, failed read):
    // what the worker holds from earlier reads may no longer be what the drive has.
    virtual void onExchangeFailed() {}
    // A write asked for with Modbus::queueHoldingWrite or queueCoilWrite has ended: ok when
    // the drive took it, false on an exception or no answer after the retries.
    virtual void onWriteFinished(quint64 ticket, bool ok) {
        Q_UNUSED(ticket)
        Q_UNUSED(ok)
    }
    // The line is gone (adapter pulled, gateway closed): no tick follows until a new Connect.
    virtual void onLineLost() {}
};
