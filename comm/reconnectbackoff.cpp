#include "comm/reconnectbackoff.h"

void ReconnectBackoff::start(qint64 nowMs) {
    m_active = true;
    m_returned = false;
    m_seenAbsent = false;
    m_attempts = 0;
    m_dueMs = nowMs + kFirstDelayMs;
}

void ReconnectBackoff::stop() {
    m_active = false;
    m_returned = false;
}

bool ReconnectBackoff::notePresence(bool present) {
    if (!m_active) {
        return false;
    }
    if (!present) {
        m_seenAbsent = true;
    } else if (m_seenAbsent) {
        m_returned = true;
    }
    return m_returned;
}

bool ReconnectBackoff::isDue(qint64 nowMs) const {
    return m_active && (m_returned || nowMs >= m_dueMs);
}

int ReconnectBackoff::beginAttempt() {
    m_returned = false;
    m_seenAbsent = false;
    return ++m_attempts;
}

void ReconnectBackoff::attemptFailed(qint64 nowMs) {
    m_dueMs = nowMs + delayAfterAttempts(m_attempts);
}

int ReconnectBackoff::delayAfterAttempts(int attempts) {
    qint64 delay = kFirstDelayMs;
    for (int i = 0; i < attempts && delay < kLongestDelayMs; ++i) {
        delay *= 2;
    }
    return int(qMin<qint64>(delay, kLongestDelayMs));
}

int ReconnectBackoff::secondsToNext(qint64 nowMs) const {
    const qint64 left = qMax<qint64>(0, m_dueMs - nowMs);
    return int((left + 999) / 1000);
}

QString ReconnectBackoff::statusText(int attempt, int seconds) {
    return QStringLiteral("reconnecting (attempt %1, next in %2 s)").arg(attempt).arg(seconds);
}
