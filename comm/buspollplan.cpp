#include "comm/buspollplan.h"

#include <algorithm>

namespace {

constexpr int kLastAddress = 247;
// Weight of a new measurement in the running estimate of an exchange's time.
constexpr double kMeasuredWeight = 0.2;

}  // namespace

void BusPollPlan::setPollList(const QVector<int> &addresses) {
    m_list.clear();
    for (const int address : addresses) {
        if (address >= 1 && address <= kLastAddress && !m_list.contains(address)) {
            m_list << address;
        }
    }
    QHash<int, Drive> kept;
    for (const int address : qAsConst(m_list)) {
        kept.insert(address, m_drives.value(address));
    }
    m_drives = kept;
    m_cursor = 0;
}

void BusPollPlan::setSelected(int address) {
    m_selected = address;
}

bool BusPollPlan::hasOverview() const {
    return std::any_of(m_list.begin(), m_list.end(), [this](int address) { return address != m_selected; });
}

void BusPollPlan::setExpectedExchangeMs(double ms) {
    m_expectedMs = std::max(0.0, ms);
}

BusPollPlan::Next BusPollPlan::nextFast() {
    if (!m_overviewTurn || !hasOverview()) {
        m_overviewTurn = hasOverview();
        return Next{};
    }
    m_overviewTurn = false;
    const int address = takeOverviewDrive();
    return address == 0 ? Next{} : requestFor(address);
}

BusPollPlan::Next BusPollPlan::nextInFreeTime(double msUntilTick, double responseTimeoutMs) {
    const double needed = std::max(m_expectedMs * kTickMarginFactor, kShortestTimeoutMs) + kTickMarginMs;
    if (!hasOverview() || msUntilTick < needed) {
        return Next{Request::Selected, 0, 0.0};
    }
    const int address = takeOverviewDrive();
    if (address == 0) {
        return Next{Request::Selected, 0, 0.0};
    }
    Next next = requestFor(address);
    next.timeoutMs = std::min(responseTimeoutMs, msUntilTick - kTickMarginMs);
    return next;
}

int BusPollPlan::takeOverviewDrive() {
    // At most two passes: an absent drive whose retry round this is not is passed over.
    for (int step = 0; step < 2 * m_list.size(); ++step) {
        if (m_cursor >= m_list.size()) {
            m_cursor = 0;
            ++m_round;
        }
        const int address = m_list.at(m_cursor++);
        if (address == m_selected && m_drives.value(address).identified) {
            continue;  // its own poll cycle reads it; only its identification is asked for
        }
        if (isAbsent(address) && m_round % kAbsentRetryRounds != 0) {
            continue;
        }
        return address;
    }
    return 0;
}

BusPollPlan::Next BusPollPlan::requestFor(int address) const {
    const Request request = m_drives.value(address).identified ? Request::Overview : Request::Identify;
    return Next{request, address, 0.0};
}

void BusPollPlan::recordAnswer(int address, double exchangeMs) {
    m_drives[address].consecutive = 0;
    if (exchangeMs > 0.0) {
        m_expectedMs = m_expectedMs <= 0.0
                           ? exchangeMs
                           : (1.0 - kMeasuredWeight) * m_expectedMs + kMeasuredWeight * exchangeMs;
    }
}

void BusPollPlan::recordFailure(int address) {
    Drive &drive = m_drives[address];
    ++drive.failures;
    ++drive.consecutive;
}
