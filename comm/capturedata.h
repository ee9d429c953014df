#pragma once

#include <QString>
#include <QVector>
#include <array>
#include <cstdint>

#include "comm/tracedecode.h"

// What the secondary graph plots: per channel (A, B, C) the 512 samples of the trace
// buffer, and per accelerometer axis (X, Y, Z) its 1024 samples. An accelerometer read
// also fills the first 512 samples of the matching buffer array, which is what the
// clipboard export copies.
class CaptureData {
  public:
    struct Applied {
        tracedecode::Kind kind = tracedecode::Kind::None;
        QVector<int> channels;  // channels that received a sample, in ascending order
    };

    CaptureData();

    // A reply of the capture area; kind None (and no change) for any other start register.
    Applied apply(int startReg, const QVector<uint16_t> &words);

    const QVector<double> &bufferIndex() const { return m_bufferIndex; }  // 0..511
    const QVector<double> &buffer(int channel) const { return m_buffers.at(channel); }
    const QVector<double> &accelerometerIndex() const { return m_accelerometerIndex; }  // 0..1023
    const QVector<double> &accelerometer(int axis) const { return m_accelerometer.at(axis); }

    // 512 lines "k;A[k];B[k];C[k]\r\n", values with 6 significant digits.
    QString clipboardText() const;

  private:
    QVector<double> m_bufferIndex;
    QVector<double> m_accelerometerIndex;
    std::array<QVector<double>, tracedecode::kChannels> m_buffers;
    std::array<QVector<double>, tracedecode::kChannels> m_accelerometer;
};
