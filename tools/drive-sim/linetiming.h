#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QModbusPdu>

// A pseudo-terminal carries an answer at once; a real line needs the time of the request and
// the answer at the bus speed, the silence that ends the request and the drive's processing.
// This clock tells when an answer could at the earliest be complete on such a line; the silence
// after the answer is the master's to keep before its next request, not the drive's to add.
class LineTiming {
  public:
    static constexpr double kDefaultProcessingMs = 1.0;

    LineTiming(int speed, double processingMs);

    // Called as the drive takes up a request: the exchange is counted from here.
    void requestTaken();
    // The earliest moment the answer to the request just taken may reach the master.
    QDeadlineTimer answerDue(const QModbusPdu &request, const QModbusPdu &answer) const;

  private:
    int m_speed;
    double m_processingMs;
    QElapsedTimer m_sinceRequest;
};
