#pragma once

#include <QByteArray>
#include <QModbusRequest>
#include <QString>
#include <QVector>
#include <cstdint>

#include "comm/driveregisters.h"

// Hand-built request PDUs. Multi-byte fields are big-endian.
namespace pdu {

constexpr int kMaxWriteMultipleRegisters = 123;
constexpr int kMaxPasswordCharacters = 32;
constexpr int kPasswordStartRegister = driveregisters::kPasswordStart;
constexpr quint8 kFirmwareFunction = 0x64;
constexpr int kFirmwareBlockSize = 128;

QModbusRequest writeSingleRegister(uint16_t address, uint16_t value);
QModbusRequest writeSingleCoil(uint16_t address, uint16_t value);
// The caller keeps words within 1..kMaxWriteMultipleRegisters.
QModbusRequest writeMultipleRegisters(uint16_t start, const QVector<uint16_t> &words);
// Level outside 0..3 is sent as 0; only the first 32 characters travel, one Latin-1 byte each.
QModbusRequest accessLevel(int level, const QString &password);
QModbusRequest firmwareCommand(uint16_t model, quint8 subCommand);
// block must be kFirmwareBlockSize bytes.
QModbusRequest firmwareBlock(uint16_t model, quint8 subCommand, uint16_t blockNumber,
                             const QByteArray &block);

// " [HH] [LL]" per word, as the multiple-write log line shows them.
QString wordBytesText(const QVector<uint16_t> &words);

}  // namespace pdu
