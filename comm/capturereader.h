#pragma once

#include <cstdint>

#include "comm/driveregisters.h"

// Chunk arithmetic of a capture read: three blocks of 0x400 input registers from a base
// (0x4000 accelerometer, 0x5000 trace buffers), at most 120 registers per request and no
// request crossing a block end.
class CaptureReader {
  public:
    static constexpr int kBlockSize = 0x400;
    static constexpr int kBlocks = 3;
    static constexpr int kMaxChunk = 120;
    static constexpr int kAccelerometerBase = driveregisters::kAccelerometerStart;
    static constexpr int kBufferBase = driveregisters::kTraceBufferStart;

    struct Chunk {
        int start = 0;
        int count = 0;
    };

    void restart(int base);
    // True while chunks remain in the range started last.
    bool active() const { return m_next >= m_base && m_next < end(); }
    int base() const { return m_base; }
    // The next chunk; advances. Only valid while active().
    Chunk next();

  private:
    int end() const { return m_base + kBlocks * kBlockSize; }

    int m_base = 0;
    int m_next = 0;
};
