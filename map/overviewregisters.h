#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

// Which input registers the bus overview reads from every watched drive: those the map marks
// with overview="true"; without marks, the state, alarm, speed and bus voltage registers the map
// has (found by their element names); with none of those, the first four.
namespace overviewregisters {

QVector<int> positions(const QVector<input_reg_t *> &inputs);
// "status, alarm, speed, vbus (marked)" or "... (by name)" / "(the first four)".
QString describe(const QVector<input_reg_t *> &inputs);

// A word of one of them as the overview shows it: a list register's item text, else the value
// with its unit ("1500 rpm").
QString valueText(const input_reg_t &reg, uint16_t word);
// An alarm register (element name "alarm") holding anything but 0.
bool isActiveAlarm(const input_reg_t &reg, uint16_t word);

}  // namespace overviewregisters
