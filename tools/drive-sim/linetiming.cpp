#include "linetiming.h"

#include <algorithm>
#include <cmath>

#include "comm/wiretime.h"

LineTiming::LineTiming(int speed, double processingMs) : m_speed(speed), m_processingMs(processingMs) {
    m_sinceRequest.start();
}

void LineTiming::requestTaken() {
    m_sinceRequest.restart();
}

QDeadlineTimer LineTiming::answerDue(const QModbusPdu &request, const QModbusPdu &answer) const {
    const double exchangeMs =
        wiretime::answerArrivesMs(request.size() + wiretime::kFrameOverheadBytes,
                                  answer.size() + wiretime::kFrameOverheadBytes, m_speed, m_processingMs);
    const auto exchangeNs = qint64(std::ceil(exchangeMs * 1e6));
    QDeadlineTimer due(Qt::PreciseTimer);
    due.setPreciseRemainingTime(0, std::max<qint64>(0, exchangeNs - m_sinceRequest.nsecsElapsed()),
                                Qt::PreciseTimer);
    return due;
}
