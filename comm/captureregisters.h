#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

// The drive's holding registers that configure a trace capture.
namespace captureregisters {

constexpr int kTraceCount = 3;
constexpr int kScaleBase = 0x4FF0;  // two registers per trace, high half first
constexpr int kPointsAfterAlarm = 0x4FF7;
constexpr int kVariableSelection = 0x4FFF;  // 5 bits per trace: red, green, blue

// The variables a trace can record, by the index written into the selection register.
// As built; the window shows them through the "captureregisters" translation context.
const QStringList &variableNames();

// red + green × 32 + blue × 1024, each index masked to 5 bits.
uint16_t selectionWord(int red, int green, int blue);

// First register of trace (0, 1, 2) scale.
int scaleRegister(int trace);
// The IEEE-754 single of value as {high 16 bits, low 16 bits}.
QVector<uint16_t> scaleWords(float value);

// The texts of the scale and points fields. False for text that is not a finite number,
// or for points outside 0..65535.
bool parseScale(const QString &text, float *value);
bool parsePointsAfterAlarm(const QString &text, uint16_t *points);

}  // namespace captureregisters
