#include "comm/capturesequence.h"

#include "comm/driveregisters.h"

namespace {
// A reply this short is not the ordinary input poll that carries the status word.
constexpr int kShortestStatusReply = 12;
}  // namespace

bool CaptureSequence::takeReadyStatus(const QVector<uint16_t> &words) {
    if (!m_armed || words.size() < kShortestStatusReply) {
        return false;
    }
    if (m_statusIndex < 0 || m_statusIndex >= words.size() ||
        !(words.at(m_statusIndex) & driveregisters::kCaptureReadyBit)) {
        return false;
    }
    m_armed = false;
    m_bufferSteps = 1;
    return true;
}

CaptureSequence::Area CaptureSequence::due() const {
    if (m_accelerometerSteps > 0) {
        return Area::Accelerometer;
    }
    return m_bufferSteps > 0 ? Area::Buffers : Area::None;
}

void CaptureSequence::begin(Area area) {
    const int base = area == Area::Buffers ? CaptureReader::kBufferBase : CaptureReader::kAccelerometerBase;
    // A capture read interrupted by a write goes on where it stopped.
    if (!m_reader.active() || m_reader.base() != base) {
        m_reader.restart(base);
    }
}

CaptureSequence::Step CaptureSequence::next(Area area) {
    Step step;
    int &steps = stepsOf(area);
    if (steps < kSteps) {
        ++steps;
        if (area == Area::Buffers) {
            step.progress = float(steps) / kSteps * 100.0f;
        }
    }
    step.chunk = m_reader.next();
    if (m_reader.active()) {
        return step;
    }
    steps = 0;
    step.last = true;
    return step;
}
