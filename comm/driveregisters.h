#pragma once

#include <cstdint>

// Where a drive keeps what the program relies on beyond its register map: the one place that
// names these addresses for the worker, the window, mvxctl and the simulated drive.
namespace driveregisters {

// Holding registers 1000..1003: status, motor-controller version, user-controller version, model.
constexpr int kIdentificationStart = 1000;
constexpr int kIdentificationCount = 4;

// The aux holdings (everything after the map's first address gap) start here, and the window
// reads this many with "Read aux holdings".
constexpr int kAuxStart = 1000;
constexpr int kAuxReadCount = 64;

// Function 16 to this holding asks for an access level with a password.
constexpr int kPasswordStart = 2000;

// The capture areas, input registers: the accelerometer's three axes and the trace buffers
// A, B and C, each area 0xC00 registers long.
constexpr int kAccelerometerStart = 0x4000;
constexpr int kTraceBufferStart = 0x5000;
constexpr int kCaptureAreaSize = 0xC00;
// Writing 1 to this holding arms a capture; this bit of the status word says it is ready.
constexpr int kCaptureTrigger = 0x5000;
constexpr uint16_t kCaptureReadyBit = 0x1000;

// Writing 0 here stops the motor (the alarm watch, a failed board, Stop by default); maps with
// more than kSmallMapHoldings holdings have their stop at kLargeMapStop instead.
constexpr int kStop = 66;
constexpr int kSmallMapHoldings = 64;
constexpr int kLargeMapStop = 125;

inline bool isCaptureArea(int startRegister) {
    return (startRegister >= kAccelerometerStart && startRegister < kAccelerometerStart + kCaptureAreaSize) ||
           (startRegister >= kTraceBufferStart && startRegister < kTraceBufferStart + kCaptureAreaSize);
}

}  // namespace driveregisters
