#pragma once

#include <QModbusRequest>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "comm/firmwareimage.h"

// One firmware transfer over function 0x64, without I/O: the file, the controller it is for
// and the frames that carry it, from the announce and the erase through the 128-byte blocks to
// the resets (motor controller) or the mark that the new firmware is good (user controller).
// The worker sends the frames, one per tick, and judges their answers.
class FlashSequence {
  public:
    // Reads and checks a firmware file for `model` (a model in the file name wins); false with
    // the reasons in *messages when it cannot be sent. The log lines of a good file go there too.
    bool load(int model, const QString &path, QStringList *messages);
    void clear();

    bool motor() const { return m_motor; }
    qint64 bytes() const { return m_bytes; }
    // "MOTOR uC" or "USER uC", for the verdict.
    QString controller() const;

    QModbusRequest announceFrame() const;
    // Rewinds to the first block.
    QModbusRequest eraseFrame();
    bool blocksDone() const { return m_nextBlock >= m_image.blockCount(); }
    int nextBlock() const { return m_nextBlock; }
    // The next block's frame; the transfer moves on to the block after it.
    QModbusRequest takeBlockFrame();
    // The progress shown once the block just taken has gone out.
    float progressAfterLastBlock() const;
    QModbusRequest resetRenesasFrame() const;
    // The Atmel reset that ends a motor transfer, or the mark-good of a user transfer (the
    // drive takes the same sub-command for both).
    QModbusRequest finishFrame() const;

  private:
    QModbusRequest command(quint8 subCommand) const;

    FirmwareImage m_image;
    uint16_t m_model = 0;
    bool m_motor = true;
    qint64 m_bytes = 0;
    int m_nextBlock = 0;
};
