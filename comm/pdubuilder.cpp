#include "comm/pdubuilder.h"

namespace pdu {

namespace {

void appendWord(QByteArray &data, uint16_t word) {
    data.append(char(word >> 8));
    data.append(char(word & 0xFF));
}

QByteArray twoWords(uint16_t first, uint16_t second) {
    QByteArray data;
    appendWord(data, first);
    appendWord(data, second);
    return data;
}

QByteArray multipleWriteHeader(uint16_t start, int count) {
    QByteArray data;
    appendWord(data, start);
    appendWord(data, uint16_t(count));
    data.append(char(count * 2));
    return data;
}

QString hexByte(int byte) {
    return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

QModbusRequest writeSingleRegister(uint16_t address, uint16_t value) {
    return QModbusRequest(QModbusPdu::WriteSingleRegister, twoWords(address, value));
}

QModbusRequest writeSingleCoil(uint16_t address, uint16_t value) {
    return QModbusRequest(QModbusPdu::WriteSingleCoil, twoWords(address, value));
}

QModbusRequest writeMultipleRegisters(uint16_t start, const QVector<uint16_t> &words) {
    QByteArray data = multipleWriteHeader(start, words.size());
    for (uint16_t word : words) {
        appendWord(data, word);
    }
    return QModbusRequest(QModbusPdu::WriteMultipleRegisters, data);
}

QModbusRequest accessLevel(int level, const QString &password) {
    // One register per character, so each character must be one byte.
    const QByteArray bytes = password.left(kMaxPasswordCharacters).toLatin1();
    const int registers = bytes.size() + 2;
    QByteArray data = multipleWriteHeader(kPasswordStartRegister, registers);
    appendWord(data, uint16_t((level >= 0 && level <= 3) ? level : 0));
    for (char byte : bytes) {
        appendWord(data, uint16_t(quint8(byte)));
    }
    appendWord(data, 0);
    return QModbusRequest(QModbusPdu::WriteMultipleRegisters, data);
}

QModbusRequest firmwareCommand(uint16_t model, quint8 subCommand) {
    QByteArray data;
    appendWord(data, model);
    data.append(char(subCommand));
    return QModbusRequest(QModbusPdu::FunctionCode(kFirmwareFunction), data);
}

QModbusRequest firmwareBlock(uint16_t model, quint8 subCommand, uint16_t blockNumber,
                             const QByteArray &block) {
    QByteArray data;
    appendWord(data, model);
    data.append(char(subCommand));
    appendWord(data, blockNumber);
    data.append(block);
    return QModbusRequest(QModbusPdu::FunctionCode(kFirmwareFunction), data);
}

QString wordBytesText(const QVector<uint16_t> &words) {
    QString text;
    for (uint16_t word : words) {
        text += QStringLiteral(" [%1] [%2]").arg(hexByte(word >> 8), hexByte(word));
    }
    return text;
}

}  // namespace pdu
