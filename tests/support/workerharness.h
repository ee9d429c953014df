#pragma once

#include <QObject>

#include "comm/overviewreading.h"
#include "comm/polltickhook.h"
#include "simulateddrive.h"

class Modbus;

// What a Modbus worker has reported.
struct WorkerRecord {
    struct Status {
        bool timestamp = false, toStatus = false, toBrowser = false;
        QString text;
    };
    struct Words {
        int serverAddress = 0, start = 0;
        QVector<uint16_t> words;
    };

    // Names of the signals without a value, and "status" for send_status, in arrival order.
    QStringList events;
    QList<Status> statuses;
    QList<Words> inputs, holdings;
    QList<QList<int>> found;  // address, status, model, motor version, user version
    QList<float> progress2;
    QList<QPair<float, bool>> progressText;
    QList<bool> interactionDisabled;
    QList<bool> flashResults;
    QList<QPair<bool, QString>> flashVerdicts;
    QList<int> errorNumbers;
    QList<OverviewReading> overview;

    // The last reading of this drive that carried overview values; empty words when none yet.
    OverviewReading lastValues(int address) const;
    int readingsOf(int address, bool answered) const;
    QList<QPair<int, int>> reconnecting;  // attempt, seconds to it
};

// Records what a Modbus worker reports, in the test's thread. The worker emits from its own
// thread, so everything arrives queued, in emission order (QSignalSpy would record in the
// emitting thread).
class WorkerProbe : public QObject, public WorkerRecord {
    Q_OBJECT

  public:
    void attach(Modbus *worker);
    void clear() { static_cast<WorkerRecord &>(*this) = WorkerRecord(); }
    int count(const QString &event) const { return events.count(event); }
    // Messages whose text contains `part`.
    QList<Status> statusesContaining(const QString &part) const;
    int said(const QString &part) const { return statusesContaining(part).size(); }
    // Where the one message containing `part` went: "TSB" for timestamp, status bar, log area,
    // "-" for each it lacks; "N messages" unless there is exactly one.
    QString routeOf(const QString &part) const;
};

// A simulated drive (on a socat line or behind its TCP gateway) and a worker talking to it.
class WorkerHarness : public PollTickHook {
  public:
    explicit WorkerHarness(Transport transport = Transport::Serial);
    ~WorkerHarness() override;

    // setupConnection (poll time 0: the speed's lowest interval) and init.
    void connectWorker(int inputCount, int holdingCount, int speed = 115200);
    // Starts the bus with drives at `addresses` and connects, then waits for the first input and
    // holding replies.
    bool startPolling(const QList<int> &addresses = {1}, int inputCount = 40, int speed = 115200);
    // Runs fn in the worker's thread and waits for it.
    void inWorkerThread(const std::function<void()> &fn);
    // Runs fn in the worker's thread and returns its answer.
    bool ask(const std::function<bool(Modbus &)> &fn);
    // Runs fn first thing in every poll tick, in the worker's thread; nullptr ends it.
    void onTick(std::function<void(Modbus &)> fn);

    QStringList requests() const { return bus.drive.requests(); }
    // Waits until the request log holds a line for which `match` is true.
    bool waitForRequest(const std::function<bool(const QString &)> &match, int timeoutMs = 10000) const;
    // Waits until the request log holds `run` as consecutive lines.
    bool waitForRequests(const QStringList &run, int timeoutMs = 20000) const;
    // Waits until `more` further requests equal to `line` are in the log.
    bool waitForMore(const QString &line, int more = 2, int timeoutMs = 20000) const;

    SimulatedBus bus;
    WorkerProbe probe;
    std::unique_ptr<Modbus> worker;

  private:
    void onPollTick(Modbus &w) override { m_tick(w); }
    bool waitUntil(const std::function<bool(const QStringList &requests)> &done, int timeoutMs) const;
    std::function<void(Modbus &)> m_tick;
};
