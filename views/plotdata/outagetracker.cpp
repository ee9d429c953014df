#include "views/plotdata/outagetracker.h"

#include <algorithm>

void OutageTracker::start(qint64 nowMs) {
    if (m_open) {
        return;
    }
    m_open = true;
    // Without a reply so far the outage can only be dated from the report itself.
    m_beginMs = m_lastReplyMs.value_or(nowMs);
}

std::optional<OutageTracker::Outage> OutageTracker::stop(qint64 nowMs) {
    if (!m_open) {
        return std::nullopt;
    }
    m_open = false;
    return Outage{m_beginMs, std::max(m_beginMs, nowMs)};
}
