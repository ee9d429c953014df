// The worker polling the simulated drive (example map, 115200 bps, 100 ms interval): the
// worker thread's CPU time per poll tick and the tick period actually achieved.
// Usage: bench_worker_tick [--seconds N]   (default 60)
#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <numeric>
#include <vector>

#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "map/xmlmap.h"
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
        out << "usage: bench_worker_tick [--seconds N]\n";
        return 2;
    }
    const QString mapPath = testpaths::example(QStringLiteral("drive-map.xml"));
    xmlmap map;
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> holdings;
    map.readMap(mapPath);
    map.getInputRegisters(inputs);
    map.getHoldings(holdings);

    SimulatedBus bus;
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
    worker.setupConnection(bus.line.masterPort(), 100, 1, 115200, 0, inputs.size(), holdings.size(), 1000,
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
        jitter.push_back(std::abs(period - 100.0));
    }
    out << QStringLiteral("%1 ticks in %2 s (interval 100 ms, %3 input registers, %4 holdings)\n")
               .arg(periods.size())
               .arg(seconds)
               .arg(inputs.size())
               .arg(holdings.size());
    report(out, "tick period", periods);
    out << QStringLiteral("max jitter: %1 ms\n")
               .arg(*std::max_element(jitter.begin(), jitter.end()), 0, 'f', 3);
    report(out, "worker CPU per tick", cpu);
    return 0;
}
