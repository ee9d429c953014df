#pragma once

#include <QVector>
#include <cstdint>

#include "comm/capturereader.h"

// A capture read, without I/O: an accelerometer read asked for, or the trace buffers once the
// drive's status word says they are ready after a trigger; the chunks that read the area and
// the progress shown for the buffers (28 steps).
class CaptureSequence {
  public:
    enum class Area { None, Accelerometer, Buffers };
    static constexpr int kSteps = 28;

    // The progress of a step, or -1 when this step shows none.
    struct Step {
        CaptureReader::Chunk chunk;
        float progress = -1.0f;
        bool last = false;  // the area is read: back to the ordinary cycle (the buffers' progress to 0)
    };

    // The map option `flags`: the input position of the capture-status word.
    void setStatusIndex(int index) { m_statusIndex = index; }
    // A trigger went out: the buffers are read once the status word says they are ready.
    void armAfterTrigger() { m_armed = true; }
    bool isArmed() const { return m_armed; }
    void requestAccelerometer() { m_accelerometerSteps = 1; }

    // An ordinary input reply; true when it says an armed capture is ready to read.
    bool takeReadyStatus(const QVector<uint16_t> &words);
    // What the next input tick should read instead of the inputs.
    Area due() const;
    // Starts (or, after an interruption, goes on with) reading `area`.
    void begin(Area area);
    Step next(Area area);

  private:
    int &stepsOf(Area area) { return area == Area::Buffers ? m_bufferSteps : m_accelerometerSteps; }

    CaptureReader m_reader;
    int m_statusIndex = -1;
    bool m_armed = false;
    int m_accelerometerSteps = 0;
    int m_bufferSteps = 0;
};
