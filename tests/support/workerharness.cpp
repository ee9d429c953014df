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
    const auto note = [this](const char *name) { return [this, name] { events << QLatin1String(name); }; };
    on(&Modbus::send_status, [this](bool timestamp, bool toStatus, bool toBrowser, const QString &text) {
        statuses.append({timestamp, toStatus, toBrowser, text});
        events << QStringLiteral("status");
    });
    on(&Modbus::com_connected, note("com_connected"));
    on(&Modbus::com_disconnected, note("com_disconnected"));
    on(&Modbus::incErrorCnt, note("incErrorCnt"));
    on(&Modbus::ext_disconnected_start, note("ext_disconnected_start"));
    on(&Modbus::ext_disconnected_stop, note("ext_disconnected_stop"));
    on(&Modbus::end_search_addresses, note("end_search_addresses"));
    on(&Modbus::update_errorNum, [this](int n) { errorNumbers << n; });
    on(&Modbus::reconnecting, [this](int attempt, int seconds) {
        reconnecting << qMakePair(attempt, seconds);
        events << QStringLiteral("reconnecting");
    });
    on(&Modbus::recv_input_registers, [this](int server, int start, const QVector<uint16_t> &words) {
        inputs.append({server, start, words});
    });
    on(&Modbus::recv_holding_registers, [this](int start, const QVector<uint16_t> &words) {
        holdings.append({0, start, words});
    });
    on(&Modbus::foundAddress,
       [this](uint8_t address, uint16_t status, uint16_t model, uint16_t motor, uint16_t user) {
           found << QList<int>{address, status, model, motor, user};
       });
    on(&Modbus::update_progressBar2, [this](bool, float percent) { progress2 << percent; });
    on(&Modbus::update_progressBarText,
       [this](float value, bool fresh) { progressText << qMakePair(value, fresh); });
    on(&Modbus::disableInteraction, [this](bool disable) { interactionDisabled << disable; });
    on(&Modbus::flash_finished, [this](bool ok) { flashResults << ok; });
    on(&Modbus::flash_verdict,
       [this](bool ok, const QString &text) { flashVerdicts << qMakePair(ok, text); });
    on(&Modbus::overviewReading, [this](const OverviewReading &reading) { overview << reading; });
}

OverviewReading WorkerRecord::lastValues(int address) const {
    for (auto it = overview.crbegin(); it != overview.crend(); ++it) {
        if (it->address == address && !it->words.isEmpty()) {
            return *it;
        }
    }
    return OverviewReading();
}

int WorkerRecord::readingsOf(int address, bool answered) const {
    return int(std::count_if(overview.begin(), overview.end(), [&](const OverviewReading &reading) {
        return reading.address == address && reading.answered == answered;
    }));
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
    worker.reset();  // before m_tick, which its thread may still call
}

void WorkerHarness::connectWorker(int inputCount, int holdingCount, int speed) {
    worker->setupConnection(bus.endpoint(), 0, 1, speed, 0, inputCount, holdingCount, 1000, 64);
    worker->init();
}

bool WorkerHarness::startPolling(const QList<int> &addresses, int inputCount, int speed) {
    SimulatedDrive::Options options;
    options.addresses = addresses;
    if (!bus.start(options)) {
        return false;
    }
    connectWorker(inputCount, 64, speed);
    return QTest::qWaitFor([this] { return !probe.inputs.isEmpty() && !probe.holdings.isEmpty(); }, 20000);
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

bool WorkerHarness::ask(const std::function<bool(Modbus &)> &fn) {
    bool answer = false;
    inWorkerThread([&] { answer = fn(*worker); });
    return answer;
}

void WorkerHarness::onTick(std::function<void(Modbus &)> fn) {
    inWorkerThread([this, &fn] {
        m_tick = std::move(fn);
        worker->setTickHook(m_tick ? this : nullptr);
    });
}

bool WorkerHarness::waitUntil(const std::function<bool(const QStringList &)> &done, int timeoutMs) const {
    return bus.drive.waitForLog([&](const QStringList &) { return done(requests()); }, timeoutMs);
}

bool WorkerHarness::waitForRequest(const std::function<bool(const QString &)> &match, int timeoutMs) const {
    return waitUntil([&](const QStringList &all) { return std::any_of(all.begin(), all.end(), match); },
                     timeoutMs);
}

bool WorkerHarness::waitForRequests(const QStringList &run, int timeoutMs) const {
    const auto lines = [](const QStringList &list) { return '\n' + list.join('\n') + '\n'; };
    return waitUntil([&](const QStringList &all) { return lines(all).contains(lines(run)); }, timeoutMs);
}

bool WorkerHarness::waitForMore(const QString &line, int more, int timeoutMs) const {
    const int target = requests().count(line) + more;
    return waitUntil([&](const QStringList &all) { return all.count(line) >= target; }, timeoutMs);
}
