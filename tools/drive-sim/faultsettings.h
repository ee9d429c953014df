#pragma once

#include <QModbusPdu>
#include <QVector>
#include <optional>

// Faults injected into one simulated drive's answers, set from the command console.
class FaultSettings {
  public:
    enum class Fate { Send, Silent, Drop, Corrupt };

    struct ExceptionRule {
        quint8 functionCode = 0;
        std::optional<quint16> startRegister;  // empty: any request of that function
        quint8 exceptionCode = 0;
    };

    void setSilent(bool silent) { m_silent = silent; }
    void setDelayMs(int delayMs) { m_delayMs = delayMs; }
    int delayMs() const { return m_delayMs; }
    // Every Nth answer from now on (0 = off); the count starts again with each setting.
    void setDropEvery(int n);
    void setCorruptEvery(int n);
    void addException(const ExceptionRule &rule);
    void clearExceptions() { m_exceptions.clear(); }

    // The exception to answer instead of the normal processing, if a rule matches. The
    // register compared is the first two data bytes (the start register of reads and writes).
    std::optional<quint8> exceptionFor(const QModbusPdu &request) const;

    // Decides what happens to the next answer and counts it.
    Fate nextFate();

  private:
    bool m_silent = false;
    int m_delayMs = 0;
    int m_dropEvery = 0;
    int m_corruptEvery = 0;
    quint64 m_dropCount = 0;
    quint64 m_corruptCount = 0;
    QVector<ExceptionRule> m_exceptions;
};
