#include "tools/drive-sim/gatewayframes.h"

namespace gatewayframes {

int frameSize(const QByteArray &buffer) {
    if (buffer.size() < kHeaderSize) {
        return 0;
    }
    const int size = 6 + ((quint8(buffer.at(4)) << 8) | quint8(buffer.at(5)));
    if (size < kHeaderSize + 1 || size > kMaxFrameSize) {
        return -1;
    }
    return buffer.size() >= size ? size : 0;
}

Split route(QByteArray *buffer, const std::function<bool(int unit)> &unitExists) {
    Split split;
    int size = 0;
    while ((size = frameSize(*buffer)) > 0) {
        const QByteArray frame = buffer->left(size);
        buffer->remove(0, size);
        if (unitExists(unitId(frame))) {
            split.frames.append({unitId(frame), frame});
        }
    }
    split.malformed = size < 0;
    return split;
}

}  // namespace gatewayframes
