#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

#include "comm/driveregisters.h"

// The drive's capture data as it arrives in input-register replies: three trace buffers of
// 512 byte-swapped floats (two registers each) from 0x5000, and three accelerometer axes of
// 1024 signed words from 0x4000, each buffer or axis in a block of 0x400 registers.
namespace tracedecode {

constexpr int kChannels = 3;
constexpr int kBlockSize = 0x400;
constexpr int kBufferBase = driveregisters::kTraceBufferStart;
constexpr int kBufferSamples = 512;
constexpr int kAccelerometerBase = driveregisters::kAccelerometerStart;
constexpr int kAccelerometerSamples = 1024;
constexpr double kAccelerometerScale = 0.122;
constexpr double kAccelerometerPeriod = 0.005;  // seconds between samples

enum class Kind { None, Buffer, Accelerometer };

// Which capture a reply starting at startReg belongs to; None for every other reply.
Kind kindOf(int startReg);

// bits = (bswap16(w1) << 16) | bswap16(w0), read as an IEEE-754 single.
float decodeBufferFloat(uint16_t w0, uint16_t w1);
// The inverse: the register pair (w0, w1) that carries value.
void encodeBufferFloat(float value, uint16_t *w0, uint16_t *w1);

struct Sample {
    int channel = 0;  // buffer A, B, C or axis X, Y, Z
    int index = 0;    // sample number within its buffer or axis
    double value = 0.0;
};

// Each sample is placed by the register its words came from, so a reply may start anywhere
// (a word that is the second half of a sample is skipped) and words outside the capture
// area are dropped.
QVector<Sample> decodeBufferReply(int startReg, const QVector<uint16_t> &words);
QVector<Sample> decodeAccelerometerReply(int startReg, const QVector<uint16_t> &words);

// "[%1,%2];" with the sample's time in seconds and its value, 6 significant digits.
QString accelerometerEntry(int index, double value);

// The text of an accelerometer read, one line per axis: " X axis;" followed by the entries
// of every sample of the axis, then " Y axis;" ..., " Z axis;" ...
class AccelerometerText {
  public:
    struct Output {
        QStringList lines;      // completed axis lines, to be written to the log
        bool finished = false;  // the reply reached the end of the Z axis
    };

    // Accelerometer replies in the order they arrive.
    Output feed(int startReg, const QVector<uint16_t> &words);
    // The axis line being built.
    QString pending() const { return m_text; }
    void clear() { m_text.clear(); }

  private:
    QString m_text;
};

}  // namespace tracedecode
