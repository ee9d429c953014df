#pragma once

#include <QtGlobal>
#include <optional>

// Communication outages as intervals on the time axis. An outage begins at the last good
// reply before the worker reported lost contact and ends when contact is back.
class OutageTracker {
  public:
    struct Outage {
        qint64 beginMs = 0;
        qint64 endMs = 0;
    };

    // The time of the latest good reply.
    void noteReply(qint64 ms) { m_lastReplyMs = ms; }
    // Lost contact, reported at nowMs. A second start while open keeps the first.
    void start(qint64 nowMs);
    // Contact is back at nowMs: the finished outage, or nothing when none was open (the
    // worker also reports a stop for the first good reply after it was built).
    std::optional<Outage> stop(qint64 nowMs);
    bool isOpen() const { return m_open; }

  private:
    std::optional<qint64> m_lastReplyMs;
    qint64 m_beginMs = 0;
    bool m_open = false;
};
