// The other drives of the poll list, read in the line time the selected drive leaves free, and
// fast mode, where each request follows the previous answer at once.
#include <QModbusReply>
#include <QTimer>
#include <algorithm>

#include "comm/driveregisters.h"
#include "comm/linksession.h"
#include "comm/modbus.h"
#include "comm/wiretime.h"

namespace {

constexpr int kMaxOverviewSpan = 125;  // one read request
constexpr double kDriveProcessingMs = 1.0;
// Read request PDU: function, start, count.
constexpr int kReadRequestPdu = 5;

struct Span {
    int start = 0;
    int count = 0;
};

// `positions` is never empty: the worker starts with the first four registers.
Span spanOf(const QVector<int> &positions) {
    const auto [low, high] = std::minmax_element(positions.begin(), positions.end());
    return {*low, std::min(*high - *low + 1, kMaxOverviewSpan)};
}

// The words of `positions` out of a read of the input registers from `start`; empty when the
// read does not cover them all.
QVector<uint16_t> pick(const QVector<uint16_t> &words, int start, const QVector<int> &positions) {
    QVector<uint16_t> out;
    for (const int position : positions) {
        const int i = position - start;
        if (i < 0 || i >= words.size()) {
            return {};
        }
        out << words.at(i);
    }
    return out;
}

}  // namespace

void Modbus::setPollList(const QVector<int> &addresses) {
    if (deferToWorkerThread([=] { setPollList(addresses); })) {
        return;
    }
    m_busPlan.setPollList(addresses);
}

void Modbus::setOverviewRegisters(const QVector<int> &positions) {
    if (deferToWorkerThread([=] { setOverviewRegisters(positions); })) {
        return;
    }
    QVector<int> sorted;
    for (const int position : positions) {
        if (position >= 0 && position <= 0xFFFF && !sorted.contains(position)) {
            sorted << position;
        }
    }
    std::sort(sorted.begin(), sorted.end());
    m_overviewPositions = sorted.isEmpty() ? QVector<int>{0, 1, 2, 3} : sorted;
    updateOverviewEstimate();
}

void Modbus::setFastPolling(bool fast) {
    m_fastPolling = fast;
    runInWorkerThread([this] {
        if (m_fastPolling && m_connected) {
            scheduleFastStep();
        }
    });
}

void Modbus::updateOverviewEstimate() {
    const int answerPdu = 2 + 2 * spanOf(m_overviewPositions).count;
    m_busPlan.setExpectedExchangeMs(wiretime::exchangeMs(kReadRequestPdu + wiretime::kFrameOverheadBytes,
                                                         answerPdu + wiretime::kFrameOverheadBytes, m_speed,
                                                         kDriveProcessingMs));
}

bool Modbus::overviewAllowed() const {
    return m_pollingEnabled && m_connected && !isFlashing() && !m_searchActive &&
           (m_state == ESTADO_R_INPUTS || m_state == ESTADO_R_HOLDINGS) && m_busPlan.hasOverview();
}

// Every exchange of the worker's own requests ends here once its reply is handled.
void Modbus::afterExchange() {
    if (m_inFlight > 0 || !m_connected || !master() || !m_line->isOpen()) {
        return;
    }
    if (m_fastPolling) {
        fastStep();  // the answer has been handled: nothing of it is left for the next request
        return;
    }
    if (!overviewAllowed() || !m_pollTimer->isActive()) {
        return;
    }
    const BusPollPlan::Next next = m_busPlan.nextInFreeTime(m_pollTimer->remainingTime(), m_responseTimeout);
    if (next.address != 0) {
        sendOverviewRequest(next);
    }
}

void Modbus::scheduleFastStep() {
    if (m_fastStepQueued) {
        return;
    }
    m_fastStepQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_fastStepQueued = false;
        fastStep();
    });
}

void Modbus::fastStep() {
    if (!m_fastPolling || m_inFlight > 0 || !master() || !m_connected || !m_line->isOpen()) {
        return;
    }
    if (overviewAllowed() && m_queue.isEmpty()) {
        const BusPollPlan::Next next = m_busPlan.nextFast();
        if (next.request != BusPollPlan::Request::Selected) {
            sendOverviewRequest(next);
            return;
        }
    }
    poll();
}

void Modbus::sendOverviewRequest(const BusPollPlan::Next &next) {
    const bool identify = next.request == BusPollPlan::Request::Identify;
    const Span span = spanOf(m_overviewPositions);
    const QModbusDataUnit unit =
        identify ? QModbusDataUnit(QModbusDataUnit::HoldingRegisters, driveregisters::kIdentificationStart,
                                   driveregisters::kIdentificationCount)
                 : QModbusDataUnit(QModbusDataUnit::InputRegisters, span.start, quint16(span.count));
    master()->setNumberOfRetries(0);
    master()->setTimeout(next.timeoutMs > 0 ? int(next.timeoutMs) : m_responseTimeout);
    QModbusReply *reply = master()->sendReadRequest(unit, next.address);
    if (!reply) {
        return;
    }
    if (reply->isFinished()) {
        reply->deleteLater();
        return;
    }
    if (!m_exchangeClock.isValid()) {
        m_exchangeClock.start();
    }
    const qint64 sentAt = m_exchangeClock.nsecsElapsed();
    ++m_inFlight;
    connect(reply, &QModbusReply::finished, this,
            [this, reply, next, sentAt] { onOverviewFinished(reply, next, sentAt); });
}

void Modbus::onOverviewFinished(QModbusReply *reply, const BusPollPlan::Next &next, qint64 sentAtNs) {
    --m_inFlight;
    reply->deleteLater();
    if (reply->error() == QModbusDevice::ReplyAbortedError) {
        return;  // the port was closed: not the drive's fault
    }
    const bool identify = next.request == BusPollPlan::Request::Identify;
    const QVector<quint16> values = reply->result().values();
    OverviewReading reading;
    reading.address = next.address;
    reading.positions = m_overviewPositions;
    const int expected = identify ? driveregisters::kIdentificationCount : spanOf(m_overviewPositions).count;
    if (reply->error() == QModbusDevice::NoError && values.size() == expected) {
        reading.answered = true;
        m_busPlan.recordAnswer(next.address, (m_exchangeClock.nsecsElapsed() - sentAtNs) / 1e6);
        if (identify) {
            m_busPlan.recordIdentified(next.address);
            m_identities.insert(next.address, values);
        } else {
            reading.words = pick(values, spanOf(m_overviewPositions).start, m_overviewPositions);
        }
    } else {
        m_busPlan.recordFailure(next.address);
    }
    reading.identification = m_identities.value(next.address);
    reading.failures = m_busPlan.failures(next.address);
    emit overviewReading(reading);
    afterExchange();
}

// The selected drive's own input reads stand for its overview reads.
void Modbus::reportSelectedReading(bool answered, const QVector<uint16_t> &inputWords) {
    if (m_busPlan.pollList().isEmpty()) {
        return;
    }
    if (answered) {
        m_busPlan.recordAnswer(m_serverAddress, 0.0);
    } else {
        m_busPlan.recordFailure(m_serverAddress);
    }
    OverviewReading reading;
    reading.address = m_serverAddress;
    reading.answered = answered;
    reading.positions = m_overviewPositions;
    reading.words = answered ? pick(inputWords, 0, m_overviewPositions) : QVector<uint16_t>();
    reading.identification = m_identities.value(m_serverAddress);
    reading.failures = m_busPlan.failures(m_serverAddress);
    emit overviewReading(reading);
}
