#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QVector>
#include <atomic>

#include "comm/polltickhook.h"
#include "test/xml_test_reader.h"

class Modbus;

// The production-test engine. It runs one step at the start of each poll tick of its worker,
// judging the values the poll cycle last received, and reports through the worker's signals
// (testResult, test_stop, disableTestBTN, send_status), so the window sees one object.
//
// A step never passes on what it has not seen: a write step waits for the drive to take its
// write, and a read step waits for values read after the last failed exchange. A lost line
// cancels the run at once.
//
// Threads: its owner (the window, mvxctl) creates it and installs it as the worker's tick
// hook; from then on it runs in the worker's thread. loadTest() reads and
// checks the file in the caller's thread and hands the result over by value; startTest(),
// stopTest() and setSerial() are queued into the worker's thread, so a stop never
// interleaves with a step.
class TestEngine : public PollTickHook {
    // Messages for the log area go through tr(); step-result texts stay as built (they reach
    // the result log) and are only marked for the window to translate.
    Q_DECLARE_TR_FUNCTIONS(TestEngine)

  public:
    explicit TestEngine(Modbus *worker);
    ~TestEngine() override;

    // Reads and checks the test file; false (with the reasons in the log area) when it
    // cannot be run. Safe from any thread.
    bool loadTest(const QString &path);
    bool serialRequired() const { return m_serialRequired.load(); }
    void setSerial(const QString &serial);
    void startTest();
    void stopTest();
    // 1 passed, -1 failed, 0 stopped (or not run).
    int isTestOK() const { return m_result.load(); }
    bool doFullLog() const { return m_fullLog.load(); }
    bool doSummaryLog() const { return m_summaryLog.load(); }
    bool doResultLog() const { return m_resultLog.load(); }
    bool isRunning() const { return m_runningFlag.load(); }
    // The last run ended because the line was lost.
    bool endedByLineLoss() const { return m_lineLost.load(); }
    int boardsTested() const { return m_boardsTested.load(); }
    int failures() const { return m_failures.load(); }

    // PollTickHook, worker's thread.
    void onPollTick(Modbus &worker) override;
    void onReadSucceeded() override;
    void onInputWords(const QVector<uint16_t> &words) override;
    void onHoldingWords(const QVector<uint16_t> &words) override;
    void onBitWords(bool coils, int start, const QVector<uint16_t> &words) override;
    void onExchangeFailed() override;
    void onWriteFinished(quint64 ticket, bool ok) override;
    void onLineLost() override;

  private:
    enum class Outcome { Stays, Next, Fails };

    void install(const TestDefinition &def);
    void announce();
    void runTestStep();
    Outcome perform(const test_step_t &step);
    void advance();
    void failureEnd();
    void passEnd();
    void finish();

    Outcome espera(int num, int seconds);
    Outcome readInput(int num, const read_input_t &r);
    Outcome readHolding(int num, const read_holding_t &r);
    Outcome writeRegister(int num, const write_register_t &r);
    Outcome readBit(int num, bool coil, const read_bit_t &r);
    Outcome writeCoil(int num, const write_coil_t &r);
    Outcome isCommUpdated(int seconds);
    Outcome diffInitial(int num, const diff_measure_t &r);
    Outcome diffFinal(int num, const diff_measure_t &r);
    Outcome stopIfAlarm(int position);
    Outcome serialNumber(int num);
    // A write step's second and later ticks: its verdict once the drive has answered.
    Outcome judgeWrite(int num, int kind, const QString &name, float value);
    // False while the values a read step needs predate a failed exchange; fails the step
    // after kFreshWaitTicks.
    bool valuesFresh(bool inputs, Outcome *outcome);

    bool markedRowKind(int kind) const;
    QString stepName(const test_step_t &step) const;
    float inputValue(int position) const;
    void say(const QString &text);
    void result(int num, int kind, const QString &txt, float res, float min, float max, int ok);

    Modbus *m_worker;
    TestDefinition m_def;
    QString m_serial;
    int m_currentStep = 0;
    uint32_t m_loopCounter = 0;
    bool m_running = false;
    QElapsedTimer m_waitTimer;
    bool m_commUpdated = false;
    QVector<float> m_slots;

    // A coil or discrete-input step asks the drive for the bit and judges it on a later tick,
    // giving up when no answer has come in this many ticks.
    static constexpr int kBitReadTicks = 20;
    struct BitRead {
        bool pending = false;
        bool arrived = false;
        bool state = false;
        int ticksWaited = 0;
    } m_bitRead;

    // The write a write step waits for; ticket 0 while it has not been asked for.
    static constexpr int kWriteWaitTicks = 50;
    struct WriteWait {
        quint64 ticket = 0;
        bool finished = false;
        bool ok = false;
        int ticksWaited = 0;
    } m_write;
    // A write step that ends runs the next step in the same tick, so that waiting for the
    // drive's answer costs a board no time while the drive answers.
    bool m_chainNext = false;

    static constexpr int kFreshWaitTicks = 20;
    bool m_inputsFresh = false;
    bool m_holdingsFresh = false;
    int m_staleTicks = 0;

    std::atomic<bool> m_lineLost{false};
    std::atomic<bool> m_serialRequired{false};
    std::atomic<bool> m_fullLog{false};
    std::atomic<bool> m_summaryLog{false};
    std::atomic<bool> m_resultLog{false};
    std::atomic<bool> m_runningFlag{false};
    std::atomic<int> m_result{0};
    std::atomic<int> m_boardsTested{0};
    std::atomic<int> m_failures{0};
    // Settings that a test file leaves unchanged keep the values of the previous one.
    TestConfig m_lastConfig;
    SerialRule m_lastSerialRule;
};
