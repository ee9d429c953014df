#include "accesslevels.h"

namespace {

quint16 bigEndian16(const QByteArray &data, int at) {
    return quint16((quint8(data.at(at)) << 8) | quint8(data.at(at + 1)));
}

}  // namespace

AccessLevels::AccessLevels(const QVector<HoldingDefault> &holdings, int powerUpLevel)
    : m_powerUpLevel(powerUpLevel), m_granted(powerUpLevel) {
    for (const HoldingDefault &holding : holdings) {
        if (holding.level > 0) {
            m_needed.insert(holding.address, holding.level);
        }
    }
}

std::optional<quint8> AccessLevels::refusal(const QModbusPdu &request) const {
    const QByteArray data = request.data();
    if (data.size() < 4) {
        return std::nullopt;
    }
    int count = 0;
    if (request.functionCode() == QModbusPdu::WriteSingleRegister) {
        count = 1;
    } else if (request.functionCode() == QModbusPdu::WriteMultipleRegisters) {
        count = bigEndian16(data, 2);
    }
    const int start = bigEndian16(data, 0);
    for (int address = start; address < start + count; ++address) {
        if (m_needed.value(address, 0) > m_granted) {
            return kRefusalException;
        }
    }
    return std::nullopt;
}
