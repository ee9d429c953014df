#include "faultsettings.h"

void FaultSettings::setDropEvery(int n) {
    m_dropEvery = n;
    m_dropCount = 0;
}

void FaultSettings::setCorruptEvery(int n) {
    m_corruptEvery = n;
    m_corruptCount = 0;
}

void FaultSettings::addException(const ExceptionRule &rule) {
    // A new rule for the same function and register replaces the old one.
    for (ExceptionRule &existing : m_exceptions) {
        if (existing.functionCode == rule.functionCode && existing.startRegister == rule.startRegister) {
            existing = rule;
            return;
        }
    }
    m_exceptions.append(rule);
}

std::optional<quint8> FaultSettings::exceptionFor(const QModbusPdu &request) const {
    const QByteArray data = request.data();
    std::optional<quint16> start;
    if (data.size() >= 2) {
        start = quint16((quint8(data.at(0)) << 8) | quint8(data.at(1)));
    }
    for (const ExceptionRule &rule : m_exceptions) {
        if (rule.functionCode != request.functionCode()) {
            continue;
        }
        if (!rule.startRegister || rule.startRegister == start) {
            return rule.exceptionCode;
        }
    }
    return std::nullopt;
}

FaultSettings::Fate FaultSettings::nextFate() {
    if (m_silent) {
        return Fate::Silent;
    }
    if (m_dropEvery > 0 && ++m_dropCount % quint64(m_dropEvery) == 0) {
        return Fate::Drop;
    }
    if (m_corruptEvery > 0 && ++m_corruptCount % quint64(m_corruptEvery) == 0) {
        return Fate::Corrupt;
    }
    return Fate::Send;
}
