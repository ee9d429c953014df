#pragma once

#include <QString>
#include <QtGlobal>

// When to try a lost line again. Attempts back off (1, 2, 4 … 30 s after the loss or the last
// failed attempt), but a line seen to come back (its device path reappears, its gateway
// accepts a connection again) is tried at once, so that a returning adapter is polled again
// within a presence check's interval instead of the rest of a 30 s wait. Times are milliseconds
// of a monotonic clock; nothing here does I/O.
class ReconnectBackoff {
  public:
    static constexpr int kFirstDelayMs = 1000;
    static constexpr int kLongestDelayMs = 30000;

    // The line was lost at nowMs: the first attempt is due kFirstDelayMs later.
    void start(qint64 nowMs);
    // The user closed the line, or it is open again: nothing is due any more.
    void stop();
    bool isActive() const { return m_active; }

    // A presence check's answer; true when it makes an attempt due at once (the line was seen
    // absent since the last attempt and is there now).
    bool notePresence(bool present);
    bool isDue(qint64 nowMs) const;
    // An attempt starts: its number (1 for the first after a loss).
    int beginAttempt();
    // The attempt did not open the line: the next waits twice as long as the last, up to
    // kLongestDelayMs.
    void attemptFailed(qint64 nowMs);

    // The attempt that comes next, and the whole seconds until it is due (rounded up).
    int nextAttempt() const { return m_attempts + 1; }
    int secondsToNext(qint64 nowMs) const;
    static int delayAfterAttempts(int attempts);

    // "reconnecting (attempt 3, next in 4 s)"
    static QString statusText(int attempt, int seconds);

  private:
    bool m_active = false;
    bool m_returned = false;
    bool m_seenAbsent = false;
    int m_attempts = 0;
    qint64 m_dueMs = 0;
};
