#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QModbusClient>
#include <QModbusDataUnit>
#include <QModbusDevice>
#include <QModbusRequest>
#include <QObject>
#include <QQueue>
#include <QSemaphore>
#include <QSerialPort>
#include <QString>
#include <QThread>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "comm/buspollplan.h"
#include "comm/capturesequence.h"
#include "comm/driveregisters.h"
#include "comm/failurecounter.h"
#include "comm/flashsequence.h"
#include "comm/modbuslink.h"
#include "comm/overviewreading.h"
#include "comm/pollscheduler.h"
#include "comm/requestqueue.h"
#include "comm/threadhandoff.h"
#include "map/descriptors.h"

class QModbusReply;
class QTimer;
class LinkSession;
class PollTickHook;
class Reconnector;

// The Modbus master of the application, on a serial line or through a Modbus TCP gateway. It
// lives in a thread of its own together with its poll timer and the Modbus client; each poll tick performs
// one step of a small state machine that, as a rule, sends one request: the ordinary cycle reads the input
// registers and the holding registers alternately, and writes, range reads, the device search, firmware
// flashing and capture reads take over the cycle for their ticks.
//
// The public operations may be called from any thread: from another thread they are queued
// into the worker's thread, from the worker's thread (the test engine) they run at once.
// Everything the worker reports travels in queued signals, register words by value.
class Modbus : public QObject {
    Q_OBJECT

  public:
    // The write states (2, 6, 18) are no longer entered: writes wait in a queue of their own
    // and go out before the state's request, so that none overwrites another.
    enum PollState : uint8_t {
        ESTADO_R_INPUTS = 0,
        ESTADO_R_HOLDINGS = 1,
        ESTADO_W_HOLDING = 2,
        ESTADO_W_DEVICE = 6,
        ESTADO_SEARCH = 10,
        ESTADO_R_RANGE = 11,
        ESTADO_W_USER_FILE = 13,
        ESTADO_W_BOOT_FILE = 14,
        ESTADO_RESET_RENESAS = 15,
        ESTADO_RESET_ATMEL = 16,
        ESTADO_MARK_GOOD = 17,
        ESTADO_W_MULTIPLE = 18,
        ESTADO_START_MOTOR = 20,
        ESTADO_ERASE_MOTOR = 21,
        ESTADO_START_USER = 22,
        ESTADO_ERASE_USER = 23,
        ESTADO_R_ACCEL = 24,
        ESTADO_R_BUFFERS = 25,
    };

    static constexpr int kLastSearchAddress = 247;
    static constexpr int kCaptureSteps = CaptureSequence::kSteps;
    static constexpr uint16_t kCaptureReadyBit = driveregisters::kCaptureReadyBit;
    static constexpr int kCaptureTriggerRegister = driveregisters::kCaptureTrigger;
    static constexpr int kAlarmStopRegister = driveregisters::kStop;

    // Starts the worker's thread. The worker has no parent: its owner deletes it (or calls
    // shutdown()) from the thread that created it.
    Modbus();
    ~Modbus() override;

    // Blocking, from the owner's thread: stops polling, closes the port in the worker's
    // thread, then ends and joins the thread. The worker may be deleted afterwards.
    void shutdown();

    void setupConnection(const QString &port, int time, int address, int speed, int cfg, int inputCount,
                         int holdingCount, int auxStart, int auxCount);
    void connectPort();
    // Disconnect also ends the retries after a loss.
    void disconnectPort();
    // After a lost port or a dropped gateway connection, open the line again by itself (see
    // Reconnector); off until asked for. Any thread.
    void setAutoReconnect(bool on);
    void setServerAddress(int address);
    // Only the multipliers (and the list size) are taken, in the calling thread.
    void setInputList(const QVector<input_reg_t *> &list);
    void setHoldingList(const QVector<holding_t *> &list);
    // Names for the write-error messages of registers outside the holding list (auxiliary
    // holdings, RAM parameters): record i is register firstAddress + i.
    void nameRegisters(int firstAddress, const QVector<holding_t *> &list);
    // Position, in the input-register reply, of the register that reports the granted access
    // level (the map option `access_level`); the password write is judged by it.
    void setAccessLevelIndex(int index);
    // Position, in the input-register reply, of the word whose bit 0x1000 says the trace
    // buffers are ready (the map option `flags`).
    void setCaptureStatusIndex(int index);

    // Writes are refused while the line is closed: a write belongs to the drive and the
    // session it was asked for in, and the queue is emptied whenever either changes.
    void writeHolding(int address, int value, bool log);
    // Writes 0 to the register that stops the motor, ahead of every other queued write.
    void writeStopCommand(int address);
    void writeOnDevice(int device, int address, int value, bool log);
    void writeHoldings(int start, QVector<uint16_t> words);
    void readHoldingRange(int start, int count);
    void readAuxHoldings();

    void startSearch();
    void stopSearch();
    void selectFirmwareFile(int model, const QString &path);

    // Writes are queued and go out in order, one per tick, before the poll state's request.
    // Writes 1 to the capture trigger and waits for the status bit to read the buffers.
    void triggerCapture();
    void startAccelerometerRead();

    // Reads `count` coils (or discrete inputs) from `start` at the next state-0 tick; the reply
    // comes as recv_coils / recv_discrete_inputs and through the tick hook.
    void readBits(bool coils, int start, int count);

    bool isConnected() const { return m_connected.load(); }
    bool isSearching() const { return m_searching.load(); }
    // Sizes of the lists last handed over with setInputList / setHoldingList.
    int inputListSize() const { return m_inputListSize.load(); }
    int holdingListCount() const { return m_holdingListSize.load(); }

    // The bus overview: the drives to watch besides the selected one (serial addresses or gateway
    // unit ids; empty: only the selected drive, as without a list), and the input registers read
    // from each. Every exchange with a listed drive, and every input read of the selected drive
    // while the list is not empty, is reported as overviewReading.
    void setPollList(const QVector<int> &addresses);
    void setOverviewRegisters(const QVector<int> &positions);
    // Fast mode: each request goes out as soon as the previous answer is in (the serial master
    // keeps the inter-frame silence); the poll timer only restarts a stalled cycle. Off: one
    // request of the selected drive per tick, overview reads in the time left between ticks.
    void setFastPolling(bool fast);
    bool isFastPolling() const { return m_fastPolling.load(); }

    // Runs fn in the worker's thread: at once when called from it, queued otherwise.
    void runInWorkerThread(std::function<void()> fn);

    // Installs (or, with nullptr, removes) what runs inside the poll cycle, such as the
    // production-test engine. Safe from any thread; it takes effect in the worker's thread
    // before the call returns, so the owner may delete the hook after removing it.
    void setTickHook(PollTickHook *hook);

    // --- Worker's thread only: for the production-test engine run from the tick hook. ---
    // Queues a single-register write and returns its ticket (0 when refused); the hook hears
    // the ticket again with the write's outcome.
    quint64 queueHoldingWrite(int address, int value, bool log,
                              RequestQueue::Lane lane = RequestQueue::Lane::Normal);
    quint64 queueCoilWrite(int device, int address, int value, bool log);
    bool isTestRunning() const { return m_testRunning; }
    void setTestRunning(bool running) { m_testRunning = running; }
    // Set by the communication-failure limit and by the alarm watch while a test runs.
    bool testFailed() const { return m_testFailed; }
    void setTestFailed(bool failed) { m_testFailed = failed; }
    bool alarmCheck() const { return m_alarmCheck; }
    int alarmIndex() const { return m_alarmIndex; }
    void setAlarmCheck(bool on, int index);
    int failureLimit() const { return m_failures.limit(); }
    void setFailureLimit(int limit) { m_failures.setLimit(limit); }
    // Words and scaled values (signed word × multiplier) of the last complete ordinary reads.
    const QVector<uint16_t> &inputWords() const { return m_inputWords; }
    const QVector<float> &inputValues() const { return m_inputValues; }
    const QVector<uint16_t> &holdingWords() const { return m_holdingWords; }
    const QVector<float> &holdingValues() const { return m_holdingValues; }
    const QVector<float> &holdingMultipliers() const { return m_holdingMultipliers; }
    int holdingListSize() const { return m_holdingMultipliers.size(); }
    int requestsInFlight() const { return m_inFlight; }
    uint8_t pollState() const { return m_state; }

    bool event(QEvent *event) override;

  public slots:
    // Opens the port (or the gateway connection); the first Connect of a worker runs it.
    void init();
    void prepareHoldingListToSend(QVector<param_list_t> holdingListToSend);
    void on_acceptedPassword(int level, QString pass);

  signals:
    void com_connected();
    void com_disconnected();
    // The line was lost and is being tried again: sent before the loss's com_disconnected and
    // whenever the countdown changes; com_connected ends it, as does Disconnect.
    void reconnecting(int attempt, int secondsToNext);
    void send_status(bool timestamp, bool to_status, bool to_browser, QString str);
    void update_progressBar(bool show, float num);
    void update_progressBar2(bool show, float num);
    void update_progressBarText(float dat, bool nuevo);
    void update_errorNum(int num);
    void foundAddress(uint8_t add, uint16_t status, uint16_t mod, uint16_t m_ver, uint16_t io_ver);
    void disableInteraction(bool disable);
    void disableTestBTN(bool disable);
    void ext_disconnected_start();
    void ext_disconnected_stop();
    void incErrorCnt();
    void end_search_addresses();
    void testResult(int num, int tipo, QString txt, float res, float min, float max, int ok, bool reg);
    void test_stop();
    void recv_input_registers(int serverAddress, int startReg, QVector<uint16_t> datos);
    void recv_holding_registers(int start, QVector<uint16_t> datos);
    void recv_coils(int serverAddress, QVector<uint16_t> datos);
    void recv_discrete_inputs(int serverAddress, QVector<uint16_t> datos);
    // A firmware request has ended: after the answer to (or time-out of) the last frame, or at
    // once when the file was refused or the sequence aborted. ok: every frame was sent and the
    // drive answered none of them with an exception.
    void flash_finished(bool ok);
    // The outcome of a firmware transfer in one line: the byte count when it completed, else
    // the controller, the frame and the drive's reason.
    void flash_verdict(bool ok, QString text);
    void overviewReading(OverviewReading reading);

  private:
    enum class ReadKind { Inputs, Holdings, Range, Search, Capture, Coils, DiscreteInputs };
    struct ReadJob;
    enum class FrameKind { Command, Block, LastCommand };

    template <typename Fn>
    bool deferToWorkerThread(Fn &&fn);

    // modbus.cpp: lifecycle and operations
    void releaseInWorkerThread(QThread *owner);
    void onLineOpened();
    void onLineOpenFailed(const QString &reason);
    void onLineLost(const QString &reason);
    void onReconnectDue(int attempt);
    // The client of the open line (nullptr before the first open) and that open's number.
    QModbusClient *master() const;
    quint32 lineSession() const;
    void setState(uint8_t state);
    bool isFlashing() const;
    bool refuseWhileFlashing();
    quint64 queueWrite(QueuedWrite write, RequestQueue::Lane lane = RequestQueue::Lane::Normal);
    bool refuseWhileClosed();
    void dropQueuedWrites(const QString &why);
    QString registerName(int address) const;
    void setTimerInterval(int ms);
    void setInputMultipliers(const QVector<float> &multipliers);
    void setHoldingMultipliers(const QVector<float> &multipliers);
    void logArea(const QString &text);
    void statusBar(const QString &text);
    void stamped(const QString &text);

    // modbus_poll.cpp: the tick
    void poll();
    void runPollState();
    void tickReadInputs();
    void tickReadHoldings();
    void tickSearch();
    void tickRange();
    void tickCapture(bool buffers);
    void sendNextWrite();
    void onWriteFinished(QModbusReply *reply, const QueuedWrite &write);
    void announceSendRecord(const QueuedWrite &write);
    void noteExchange(bool answered);
    void tellHookWriteEnded(quint64 ticket, bool ok);
    void checkAccessLevel();

    // modbus_reads.cpp: reads and replies
    static QModbusDataUnit::RegisterType registerTypeOf(ReadKind kind);
    // False when nothing went out. A timeout of -1 is the line's response timeout.
    bool startRead(ReadKind kind, int start, int count, int serverAddress, int timeoutMs = -1);
    bool sendReadPart(const std::shared_ptr<ReadJob> &job, int part);
    void onReadPartFinished(QModbusReply *reply, const std::shared_ptr<ReadJob> &job, int part);
    void handleReadPart(QModbusReply *reply, const std::shared_ptr<ReadJob> &job, int part);
    void endSearchStep(int address);
    void deliverRead(const ReadJob &job);
    void storeInputWords(const QVector<uint16_t> &words);
    void storeHoldingWords(const QVector<uint16_t> &words);
    void checkCaptureStatus(const QVector<uint16_t> &words);
    void checkAlarm();
    void noteFailedRead(bool answered);
    void countReadFailure(bool exception, bool search);
    void reportLostContact(bool exception);
    void markTestCommunicationFailure();

    // modbus_overview.cpp: the other drives of the poll list, and fast mode
    bool overviewAllowed() const;
    void afterExchange();
    void scheduleFastStep();
    void fastStep();
    void sendOverviewRequest(const BusPollPlan::Next &next);
    void onOverviewFinished(QModbusReply *reply, const BusPollPlan::Next &next, qint64 sentAtNs);
    void reportSelectedReading(bool answered, const QVector<uint16_t> &inputWords);
    void updateOverviewEstimate();

    // modbus_flash.cpp: firmware flashing
    void tickStartFirmware(bool motor);
    void tickEraseFirmware(bool motor);
    void tickFirmwareBlock(bool motor);
    void tickResetRenesas();
    void tickFinishFirmware(bool motor);
    // Sets the tick interval that follows a frame and the frame's answer time-out under it.
    void setFlashPace(int intervalMs);
    // True when the frame is on its way; its answer decides whether the transfer goes on.
    bool sendFirmwareFrame(const QModbusRequest &request, FrameKind kind, const QString &frameName);
    // `echo`: the start of the frame, which the drive's answer repeats.
    void onFirmwareFrameFinished(QModbusReply *reply, FrameKind kind, const QString &frameName,
                                 const QByteArray &echo);
    void reportFirmwareReplyError(QModbusReply *reply);
    void finishFlash();
    // detail: "at block 3: exception 0x3, illegal data value" or "(aborted: the port was closed)".
    void failFlash(const QString &detail);
    void abortFlash(const QString &reason);

    QThread m_thread;
    QSemaphore m_threadStarted;
    QTimer *m_pollTimer = nullptr;
    LinkSession *m_line = nullptr;
    Reconnector *m_reconnect = nullptr;
    std::atomic<bool> m_autoReconnect{false};
    int m_reconnectAttempt = 0;
    PollTickHook *m_hook = nullptr;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_searching{false};
    bool m_configured = false;
    bool m_pollingEnabled = false;
    int m_inFlight = 0;

    int m_speed = 9600;
    uint8_t m_state = ESTADO_R_INPUTS;
    int m_pollInterval = 250;
    int m_responseTimeout = 400;
    int m_configuredPollInterval = 250;
    int m_configuredResponseTimeout = 400;
    int m_serverAddress = 1;
    int m_inputCount = 0;
    int m_holdingCount = 0;
    int m_auxStart = driveregisters::kAuxStart;
    int m_auxCount = driveregisters::kAuxReadCount;
    RequestQueue m_queue;
    PollScheduler m_scheduler;
    // The last exchange with the drive got an answer (an exception counts as one).
    bool m_answering = true;
    QHash<int, QString> m_registerNames;
    int m_accessLevelIndex = -1;
    // A password write has been answered: the next input reply tells the granted level.
    bool m_levelCheckPending = false;
    int m_levelAsked = 0;
    QElapsedTimer m_outage;
    FailureCounter m_failures;

    FlashSequence m_flash;
    int m_flashTimeout = 50;
    bool m_flashAllSent = true;
    // The transfer's progress line is the last line of the log area: a failure redraws it.
    bool m_flashProgressShown = false;
    float m_flashPercent = 0.0f;

    int m_searchAddress = 0;
    bool m_searchActive = false;
    int m_searchFound = 0;
    bool m_searchLastPending = false;

    bool m_rangeRequested = false;
    // A one-off coil or discrete-input read asked for by the test engine.
    struct BitReadRequest {
        bool pending = false;
        bool coils = true;
        int start = 0;
        int count = 0;
    } m_bitRead;
    std::atomic<int> m_inputListSize{0};
    std::atomic<int> m_holdingListSize{0};
    int m_rangeStart = 0;
    int m_rangeCount = 0;

    CaptureSequence m_capture;

    BusPollPlan m_busPlan;
    QVector<int> m_overviewPositions{0, 1, 2, 3};
    QHash<int, QVector<uint16_t>> m_identities;
    QElapsedTimer m_exchangeClock;
    std::atomic<bool> m_fastPolling{false};
    // In fast mode requests follow each other at once; the tick hook keeps the poll interval,
    // so that the production test's bounds counted in ticks stay as long as in tick mode.
    QElapsedTimer m_hookClock;
    bool hookTickDue();
    bool m_fastStepQueued = false;

    bool m_testRunning = false;
    bool m_testFailed = false;
    bool m_alarmCheck = false;
    int m_alarmIndex = 0;

    QVector<float> m_inputMultipliers;
    QVector<float> m_holdingMultipliers;
    QVector<uint16_t> m_coilWords;
    QVector<uint16_t> m_discreteWords;
    QVector<uint16_t> m_inputWords;
    QVector<float> m_inputValues;
    QVector<uint16_t> m_holdingWords;
    QVector<float> m_holdingValues;
};

template <typename Fn>
bool Modbus::deferToWorkerThread(Fn &&fn) {
    if (!m_thread.isRunning()) {
        return true;  // shut down: nothing is done any more
    }
    if (QThread::currentThread() == thread()) {
        return false;
    }
    threadhandoff::post(this, std::forward<Fn>(fn));
    return true;
}

Q_DECLARE_METATYPE(param_list_t)
