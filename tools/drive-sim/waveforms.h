#pragma once

#include <QtGlobal>
#include <cmath>

// The simulated drive's capture buffers and accelerometer samples. Tests include this
// header to know what a correct read and decode must produce.
namespace waveforms {

constexpr int kBufferSamples = 512;
constexpr int kAccelSamples = 1024;

constexpr quint16 kBufferABase = 0x5000;
constexpr quint16 kBufferBBase = 0x5400;
constexpr quint16 kBufferCBase = 0x5800;
constexpr quint16 kBufferEnd = 0x5C00;  // one past buffer C

constexpr quint16 kAccelXBase = 0x4000;
constexpr quint16 kAccelYBase = 0x4400;
constexpr quint16 kAccelZBase = 0x4800;
constexpr quint16 kAccelEnd = 0x4C00;

inline float bufferA(int k) {
    return float(k);
}

inline float bufferB(int k) {
    const double pi = 3.14159265358979323846;
    return float(std::round(1000.0 * std::sin(2.0 * pi * k / 128.0) * 100.0) / 100.0);
}

inline float bufferC(int k) {
    return (k % 64 < 32) ? 500.f : -500.f;
}

// buffer: 0 = A, 1 = B, 2 = C
inline float bufferSample(int buffer, int k) {
    switch (buffer) {
        case 0:
            return bufferA(k);
        case 1:
            return bufferB(k);
        default:
            return bufferC(k);
    }
}

inline qint16 accelX(int n) {
    return qint16(n - 512);
}
inline qint16 accelY(int n) {
    return qint16(2 * n);
}
inline qint16 accelZ(int n) {
    return qint16(-n);
}

// axis: 0 = X, 1 = Y, 2 = Z
inline qint16 accelSample(int axis, int n) {
    switch (axis) {
        case 0:
            return accelX(n);
        case 1:
            return accelY(n);
        default:
            return accelZ(n);
    }
}

}  // namespace waveforms
