#include "comm/tracedecode.h"

#include <cstring>

namespace tracedecode {

namespace {

constexpr int kCaptureEnd = kBlockSize * kChannels;  // registers per capture area

uint16_t swapBytes(uint16_t word) {
    return uint16_t((word << 8) | (word >> 8));
}

bool inArea(int offset) {
    return offset >= 0 && offset < kCaptureEnd;
}

QString axisHeader(int axis) {
    static const char *const names[kChannels] = {" X axis;", " Y axis;", " Z axis;"};
    return QString::fromLatin1(names[axis]);
}

}  // namespace

Kind kindOf(int startReg) {
    if (inArea(startReg - kBufferBase)) {
        return Kind::Buffer;
    }
    if (inArea(startReg - kAccelerometerBase)) {
        return Kind::Accelerometer;
    }
    return Kind::None;
}

float decodeBufferFloat(uint16_t w0, uint16_t w1) {
    const uint32_t bits = (uint32_t(swapBytes(w1)) << 16) | swapBytes(w0);
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void encodeBufferFloat(float value, uint16_t *w0, uint16_t *w1) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    *w0 = swapBytes(uint16_t(bits & 0xFFFF));
    *w1 = swapBytes(uint16_t(bits >> 16));
}

QVector<Sample> decodeBufferReply(int startReg, const QVector<uint16_t> &words) {
    QVector<Sample> samples;
    samples.reserve(words.size() / 2);
    int i = ((startReg - kBufferBase) % 2 != 0) ? 1 : 0;
    for (; i + 1 < words.size(); i += 2) {
        const int offset = startReg - kBufferBase + i;
        if (!inArea(offset)) {
            continue;
        }
        const float value = decodeBufferFloat(words.at(i), words.at(i + 1));
        samples.append({offset / kBlockSize, (offset % kBlockSize) / 2, double(value)});
    }
    return samples;
}

QVector<Sample> decodeAccelerometerReply(int startReg, const QVector<uint16_t> &words) {
    QVector<Sample> samples;
    samples.reserve(words.size());
    for (int i = 0; i < words.size(); ++i) {
        const int offset = startReg - kAccelerometerBase + i;
        if (!inArea(offset)) {
            continue;
        }
        const double value = int16_t(words.at(i)) * kAccelerometerScale;
        samples.append({offset / kBlockSize, offset % kBlockSize, value});
    }
    return samples;
}

QString accelerometerEntry(int index, double value) {
    return QStringLiteral("[%1,%2];").arg(index * kAccelerometerPeriod, 0, 'g', 6).arg(value, 0, 'g', 6);
}

AccelerometerText::Output AccelerometerText::feed(int startReg, const QVector<uint16_t> &words) {
    Output out;
    if (kindOf(startReg) != Kind::Accelerometer) {
        return out;
    }
    for (const Sample &sample : decodeAccelerometerReply(startReg, words)) {
        if (sample.index == 0) {
            if (sample.channel > 0 && !m_text.isEmpty()) {
                out.lines.append(m_text);
            }
            m_text = axisHeader(sample.channel);
        }
        m_text += accelerometerEntry(sample.index, sample.value);
    }
    if (startReg + words.size() >= kAccelerometerBase + kCaptureEnd - 1) {
        if (!m_text.isEmpty()) {
            out.lines.append(m_text);
        }
        m_text.clear();
        out.finished = true;
    }
    return out;
}

}  // namespace tracedecode
