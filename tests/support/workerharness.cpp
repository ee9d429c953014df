#include "workerharness.h"

#include <QSemaphore>
#include <QTest>
#include <algorithm>

#include "comm/modbus.h"
#include "comm/threadhandoff.h"

void WorkerProbe::attach(Modbus *w) {
    const auto on = [this, w](auto signal, auto slot) {
        threadhandoff::connectQueued(w, signal, this, slot);
    };
    const auto note = [this](const char *name) {
        return [this, name] { events.append(QLatin1String(name)); };
    };
    on(&Modbus::send_status, [this](bool timestamp, bool toStatus, bool toBrowser, const QString &text) {
        statuses.append({timestamp, toStatus, toBrowser, text});
        events.append(QStringLiteral("status"));
    });
    on(&Modbus::com_connected, note("com_connected"));
    on(&Modbus::com_disconnected, note("com_disconnected"));
    on(&Modbus::incErrorCnt, note("incErrorCnt"));
    on(&Modbus::ext_disconnected_start, note("ext_disconnected_start"));
    on(&Modbus::ext_disconnected_stop, note("ext_disconnected_stop"));
    on(&Modbus::end_search_addresses, note("end_search_addresses"));
    on(&Modbus::update_errorNum, [this](int n) { errorNumbers.append(n); });
    on(&Modbus::recv_input_registers, [this](int server, int start, const QVector<uint16_t> &words) {
        inputs.append({server, start, words});
        events.append(QStringLiteral("recv_input_registers"));
    });
    on(&Modbus::recv_holding_registers, [this](int start, const QVector<uint16_t> &words) {
        holdings.append({0, start, words});
        events.append(QStringLiteral("recv_holding_registers"));
    });
    on(&Modbus::foundAddress,
       [this](uint8_t add, uint16_t status, uint16_t mod, uint16_t mVer, uint16_t ioVer) {
           found.append({add, status, mod, mVer, ioVer});
       });
    on(&Modbus::update_progressBar2, [this](bool, float num) { progress2.append(num); });
    on(&Modbus::update_progressBarText, [this](float value, bool fresh) {
        progressText.append({value, fresh});
    });
    on(&Modbus::disableInteraction, [this](bool disable) { interactionDisabled.append(disable); });
    on(&Modbus::flash_finished, [this](bool ok) { flashResults.append(ok); });
    on(&Modbus::flash_verdict, [this](bool ok, const QString &text) { flashVerdicts.append({ok, text}); });
}

QList<WorkerProbe::Status> WorkerProbe::statusesContaining(const QString &part) const {
    QList<Status> result;
    std::copy_if(statuses.begin(), statuses.end(), std::back_inserter(result),
                 [&part](const Status &status) { return status.text.contains(part); });
    return result;
}

QString WorkerProbe::routeOf(const QString &part) const {
    const QList<Status> found = statusesContaining(part);
    if (found.size() != 1) {
        return QStringLiteral("%1 messages").arg(found.size());
    }
    const Status &s = found.first();
    return QString(s.timestamp ? 'T' : '-') + (s.toStatus ? 'S' : '-') + (s.toBrowser ? 'B' : '-');
}

WorkerHarness::WorkerHarness(Transport transport) : worker(std::make_unique<Modbus>()) {
    bus.transport = transport;
    probe.attach(worker.get());
}

WorkerHarness::~WorkerHarness() {
    worker.reset();
}

bool WorkerHarness::startBus(const QList<int> &addresses, QString *error) {
    SimulatedDrive::Options options;
    options.addresses = addresses;
    return bus.start(options, error);
}

void WorkerHarness::connectWorker(int inputCount, int holdingCount, int speed, int address) {
    worker->setupConnection(bus.endpoint(), 0, address, speed, 0, inputCount, holdingCount, 1000, 64);
    worker->init();
}

void WorkerHarness::inWorkerThread(const std::function<void()> &fn) {
    QSemaphore done;
    threadhandoff::post(worker.get(), [&fn, &done] {
        fn();
        threadhandoff::release();
        done.release();
    });
    done.acquire();
    threadhandoff::acquire();
}

bool WorkerHarness::waitForRequest(const std::function<bool(const QString &)> &match, int timeoutMs) const {
    return bus.drive.waitForLog(
        [&](const QStringList &) {
            const QStringList all = requests();
            return std::any_of(all.begin(), all.end(), match);
        },
        timeoutMs);
}

bool WorkerHarness::startPolling(const QList<int> &addresses, int inputCount, int speed) {
    QString error;
    if (!startBus(addresses, &error)) {
        qWarning() << error;
        return false;
    }
    connectWorker(inputCount, 64, speed);
    return QTest::qWaitFor([this] { return !probe.inputs.isEmpty() && !probe.holdings.isEmpty(); }, 20000);
}

bool WorkerHarness::waitForRequests(const QStringList &run, int timeoutMs) const {
    const QString wanted = QLatin1Char('\n') + run.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return bus.drive.waitForLog(
        [&](const QStringList &) {
            return (QLatin1Char('\n') + requests().join(QLatin1Char('\n')) + QLatin1Char('\n'))
                .contains(wanted);
        },
        timeoutMs);
}

bool WorkerHarness::waitForMore(const QString &line, int more, int timeoutMs) const {
    const int target = requests().count(line) + more;
    return bus.drive.waitForLog([&](const QStringList &) { return requests().count(line) >= target; },
                                timeoutMs);
}

void WorkerHarness::onTick(std::function<void(Modbus &)> fn) {
    inWorkerThread([this, &fn] {
        m_tick = std::move(fn);
        worker->setTickHook(m_tick ? this : nullptr);
    });
}

void WorkerHarness::onPollTick(Modbus &w) {
    m_tick(w);
}

bool WorkerHarness::ask(const std::function<bool(Modbus &)> &fn) {
    bool answer = false;
    Modbus *w = worker.get();
    inWorkerThread([&] { answer = fn(*w); });
    return answer;
}
