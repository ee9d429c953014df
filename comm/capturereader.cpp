#include "comm/capturereader.h"

#include <algorithm>

void CaptureReader::restart(int base) {
    m_base = base;
    m_next = base;
}

CaptureReader::Chunk CaptureReader::next() {
    const int blockEnd = (m_next / kBlockSize + 1) * kBlockSize;
    Chunk chunk{m_next, std::min(kMaxChunk, blockEnd - m_next)};
    m_next += chunk.count;
    return chunk;
}
