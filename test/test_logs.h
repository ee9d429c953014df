#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

#include "map/descriptors.h"

class logger;

// What a production test writes into its three logs (full, result, summary). The loggers
// belong to the caller (the window or the headless runner) and outlive the test.
class TestLogs {
  public:
    struct Flags {
        bool full = false;
        bool result = false;
        bool summary = false;
    };

    TestLogs(logger *full, logger *result, logger *summary);

    // At the start of a test with a serial-number step: opens the logs the test file asks for
    // and writes the serial-number lines. dataLogger may be null.
    void begin(const QString &logDir, Flags flags, const QString &serial, logger *dataLogger);
    // One step result, as the worker reports it.
    void stepResult(int num, int tipo, const QString &txt, float res, float min, float max, int ok, bool reg);
    // One data-log line of input-register values written while the test runs.
    void dataLine(const QString &line);
    // At the end of the test. result: 1 passed, -1 failed, 0 stopped. reason is written when
    // reasonGiven is set. finishedAt is when the finish began.
    void finish(int result, const QVector<holding_t *> &holdings, bool reasonGiven, const QString &reason,
                const QDateTime &finishedAt, const QString &serial);

    static QString resultWord(int result);
    // A text as the one-line-per-board summary holds it: line breaks and backslashes escaped.
    static QString summaryField(const QString &text);

  private:
    logger *m_full;
    logger *m_result;
    logger *m_summary;
    Flags m_flags;
};
