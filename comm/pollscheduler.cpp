#include "comm/pollscheduler.h"

PollScheduler::Next PollScheduler::next(const Line &line) {
    if (line.busy) {
        return Next::Wait;
    }
    if (line.flashing) {
        m_writesInARow = 0;
        return Next::Cycle;
    }
    const bool writeMayGo = line.write && line.answering && m_writesInARow < kWritesBetweenReads;
    if (line.priorityWrite || writeMayGo) {
        ++m_writesInARow;
        return Next::Write;
    }
    m_writesInARow = 0;
    return Next::Cycle;
}

bool PollScheduler::readInputsAfterWrite(bool deviceWrite, bool moreWrites) {
    return deviceWrite || moreWrites;
}
