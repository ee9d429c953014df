#include "comm/failurecounter.h"

FailureCounter::Outcome FailureCounter::recordFailure(Kind kind) {
    Outcome outcome;
    if (kind != Kind::SearchNoAnswer) {
        outcome.countError = true;
        if (m_limit <= 0) {
            m_quiet = true;
        } else if (m_consecutive == m_limit) {
            outcome.limitRun = true;
            m_quiet = true;
        }
    }
    ++m_consecutive;
    ++m_errorCount;
    return outcome;
}

bool FailureCounter::recordSuccess() {
    const bool endsQuiet = m_quiet;
    m_quiet = false;
    m_consecutive = 0;
    return endsQuiet;
}
