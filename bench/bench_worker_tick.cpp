// The worker polling the simulated drive (example map, 115200 bps, 100 ms interval): the
// worker thread's CPU time per poll tick and the tick period actually achieved; then the round
// trip of one input-register read on the same link. With --tcp the drive is reached through
// the simulator's Modbus TCP gateway on a loopback port instead of a socat line.
// Usage: bench_worker_tick [--seconds N] [--tcp]   (default 60 s, serial)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QModbusClient>
#include <QModbusReply>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <numeric>
#include <vector>

#include "comm/modbus.h"
#include "comm/modbuslink.h"
#include "comm/polltickhook.h"
#include "support/loadedmap.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

double nowSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Samples both clocks at the start of every tick, in the worker's thread.
class TickSampler : public PollTickHook {
  public:
    void onPollTick(Modbus &) override {
        wall.push_back(nowSeconds(CLOCK_MONOTONIC));
        cpu.push_back(nowSeconds(CLOCK_THREAD_CPUTIME_ID));
    }
    std::vector<double> wall;
    std::vector<double> cpu;
};

std::vector<double> differencesMs(const std::vector<double> &samples) {
    std::vector<double> result;
    for (size_t i = 1; i < samples.size(); ++i) {
        result.push_back((samples[i] - samples[i - 1]) * 1000.0);
    }
    return result;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

void report(QTextStream &out, const char *name, const std::vector<double> &ms) {
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size());
    out << QStringLiteral("%1: mean %2 ms, p50 %3 ms, p99 %4 ms, max %5 ms\n")
               .arg(QLatin1String(name))
               .arg(mean, 0, 'f', 3)
               .arg(percentile(ms, 0.5), 0, 'f', 3)
               .arg(percentile(ms, 0.99), 0, 'f', 3)
               .arg(*std::max_element(ms.begin(), ms.end()), 0, 'f', 3);
}

constexpr int kIntervalMs = 100;
constexpr int kRoundTrips = 500;

// Each read waits for the previous one, as the worker's one-request-at-a-time rule does.
std::vector<double> readRoundTrips(const QString &endpoint, int inputCount) {
    ModbusLink link;
    link.endpoint = Endpoint::parse(endpoint);
    link.baudRate = 115200;
    QModbusClient *client = link.createClient(nullptr);
    client->setTimeout(1000);
    std::vector<double> ms;
    QEventLoop loop;
    QObject::connect(client, &QModbusDevice::stateChanged, &loop, &QEventLoop::quit);
    if (client->connectDevice() && client->state() != QModbusDevice::ConnectedState) {
        loop.exec();
    }
    for (int i = 0; i < kRoundTrips && client->state() == QModbusDevice::ConnectedState; ++i) {
        QElapsedTimer clock;
        clock.start();
        QModbusReply *reply =
            client->sendReadRequest({QModbusDataUnit::InputRegisters, 0, quint16(inputCount)}, 1);
        if (!reply) {
            break;
        }
        if (!reply->isFinished()) {
            QObject::connect(reply, &QModbusReply::finished, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (reply->error() == QModbusDevice::NoError) {
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        delete reply;
    }
    delete client;
    return ms;
}

int secondsArgument(const QStringList &args) {
    const int at = args.indexOf(QStringLiteral("--seconds"));
    bool ok = false;
    const int seconds = at >= 0 ? args.value(at + 1).toInt(&ok) : 60;
    return (at < 0 || (ok && seconds > 0)) ? seconds : -1;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTextStream out(stdout);
    const int seconds = secondsArgument(app.arguments());
    if (seconds <= 0) {
        out << "usage: bench_worker_tick [--seconds N] [--tcp]\n";
        return 2;
    }
    const QString mapPath = testpaths::example(QStringLiteral("drive-map.xml"));
    const LoadedMap map(mapPath);
    const QVector<input_reg_t *> &inputs = map.inputs;
    const QVector<holding_t *> &holdings = map.holdings;

    SimulatedBus bus;
    bus.transport = app.arguments().contains(QStringLiteral("--tcp")) ? Transport::Tcp : Transport::Serial;
    SimulatedDrive::Options options;
    options.mapFile = mapPath;
    QString error;
    if (!bus.start(options, &error)) {
        out << "cannot start the simulated drive: " << error << "\n";
        return 1;
    }
    Modbus worker;
    TickSampler sampler;
    worker.setInputList(inputs);
    worker.setHoldingList(holdings);
    worker.setupConnection(bus.endpoint(), kIntervalMs, 1, 115200, 0, inputs.size(), holdings.size(), 1000,
                           64);
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(&sampler); }, Qt::BlockingQueuedConnection);
    worker.init();

    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(nullptr); }, Qt::BlockingQueuedConnection);
    worker.shutdown();

    const std::vector<double> periods = differencesMs(sampler.wall);
    const std::vector<double> cpu = differencesMs(sampler.cpu);
    if (periods.empty()) {
        out << "no poll tick ran\n";
        return 1;
    }
    std::vector<double> jitter;
    for (double period : periods) {
        jitter.push_back(std::abs(period - double(kIntervalMs)));
    }
    out << QStringLiteral("%1 ticks in %2 s on %3 (interval %4 ms, %5 input registers, %6 holdings)\n")
               .arg(periods.size())
               .arg(seconds)
               .arg(bus.endpoint())
               .arg(kIntervalMs)
               .arg(inputs.size())
               .arg(holdings.size());
    report(out, "tick period", periods);
    const double mean = std::accumulate(periods.begin(), periods.end(), 0.0) / double(periods.size());
    out << QStringLiteral("tick period vs interval: mean %1 %, p99 %2 %\n")
               .arg((mean - kIntervalMs) * 100.0 / kIntervalMs, 0, 'f', 3)
               .arg((percentile(periods, 0.99) - kIntervalMs) * 100.0 / kIntervalMs, 0, 'f', 3);
    out << QStringLiteral("max jitter: %1 ms\n")
               .arg(*std::max_element(jitter.begin(), jitter.end()), 0, 'f', 3);
    report(out, "worker CPU per tick", cpu);
    const std::vector<double> trips = readRoundTrips(bus.endpoint(), inputs.size());
    if (trips.empty()) {
        out << "no read round trip succeeded\n";
        return 1;
    }
    report(out,
           QStringLiteral("read round trip (%1 registers, %2 reads)")
               .arg(inputs.size())
               .arg(trips.size())
               .toUtf8()
               .constData(),
           trips);
    return 0;
}
