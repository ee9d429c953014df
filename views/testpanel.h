#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>

#include "map/descriptors.h"
#include "records/runreport.h"
#include "test/test_logs.h"

class QLabel;
class QWidget;
class RunRecorder;
struct RecordsSettings;
class TestEngine;
class TestStepTable;
class logger;

// The questions the production test asks the operator; replaceable so that tests run
// without modal dialogs. Each returns false when the operator cancels.
struct TestPrompts {
    // "Serial number": the board's serial number.
    std::function<bool(QWidget *parent, QString *serial)> askSerial;
    // "Motivo": a short reason why the board failed.
    std::function<bool(QWidget *parent, QString *reason)> askFailureReason;

    static TestPrompts interactive();
};

// The window's side of the production test: starting a test on the worker's engine (with
// the serial-number prompt), the "Test steps" table, stopping, and the finish that asks why a
// board failed and completes the three test logs. Messages for the log area leave through
// statusMessage, shaped for the window's showStatus.
class TestPanel : public QObject {
    Q_OBJECT
  public:
    struct Loggers {
        logger *full;
        logger *result;
        logger *summary;
    };
    using Clock = std::function<QDateTime()>;

    TestPanel(TestStepTable *table, Loggers loggers, QWidget *window,
              TestPrompts prompts = TestPrompts::interactive());

    // The engine of the current worker; null while there is none.
    void setEngine(TestEngine *engine) { m_engine = engine; }
    void setPrompts(TestPrompts prompts) { m_prompts = std::move(prompts); }
    // The time source for the step table and the summary line (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Records every run in the results database these settings name (see RecordsSettings).
    void useRecords(const RecordsSettings &records, const QString &logDir);
    // The map and the input registers the drive's identity is read from when a run starts.
    void setDriveContext(const QString &mapFile, const QVector<input_reg_t *> &inputs);
    RunRecorder *recorder() const { return m_recorder; }
    // Today's boards, failures and first-pass yield at this station.
    QLabel *statsLabel() const { return m_statsLabel; }

    bool isRunning() const { return m_running; }
    QString serialNumber() const { return m_serial; }
    TestStepTable *table() const { return m_table; }

    // Loads the test file and, after the serial-number prompt when the test has such a step,
    // starts it. dataLogger (may be null) receives the serial-number line. False when no test
    // started: one already runs, the file could not be loaded, or the prompt was cancelled.
    bool start(const QString &testFile, const QString &logDir, logger *dataLogger);
    // Asks the engine to stop a running test; its test_stop then ends it as cancelled.
    void stop();
    // A line of the data log written while the test runs.
    void dataLine(const QString &line);
    // The worker's testResult.
    void onStepResult(int num, int tipo, const QString &txt, float res, float min, float max, int ok,
                      bool reg);
    // The worker's test_stop: the result, the failure reason for a failed board, the logs.
    void finish(const QVector<holding_t *> &holdings);
    // The engine goes away (a new worker, or exit) while a test runs: the test ends as cancelled.
    void abandon(const QVector<holding_t *> &holdings);

  signals:
    void statusMessage(bool timestamp, bool toStatus, bool toBrowser, QString text);
    void started();
    void finished(int result);

  private:
    bool askSerial();
    void openLogs(const QString &logDir, logger *dataLogger);
    void reportUnopenedLogs(const QString &logDir);
    void complete(int result, const QVector<holding_t *> &holdings);
    void say(const QString &text);
    void showToday(const YieldFigures &today);
    void warnEarlierRuns(const QString &serial, const QVector<BoardRun> &runs);

    TestStepTable *m_table;
    Loggers m_loggers;
    TestLogs m_logs;
    QWidget *m_window;
    TestPrompts m_prompts;
    Clock m_clock;
    TestEngine *m_engine = nullptr;
    TestLogs::Flags m_flags;
    QString m_serial;
    bool m_running = false;
    RunRecorder *m_recorder = nullptr;
    QLabel *m_statsLabel;
    QString m_mapFile;
    QVector<input_reg_t *> m_inputs;
};
