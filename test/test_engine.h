#pragma once

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
// Threads: the worker owns the engine and runs it in its own thread. loadTest() reads and
// checks the file in the caller's thread and hands the result over by value; startTest(),
// stopTest() and setSerial() are queued into the worker's thread, so a stop never
// interleaves with a step.
class TestEngine : public PollTickHook {
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
    int boardsTested() const { return m_boardsTested.load(); }
    int failures() const { return m_failures.load(); }

    // PollTickHook, worker's thread.
    void onPollTick(Modbus &worker) override;
    void onReadSucceeded() override;
    void onBitWords(bool coils, int start, const QVector<uint16_t> &words) override;

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
