// Eight line-timed simulated drives (example map, --line-timing) on one socat line, polled by
// the worker with all eight in the poll list and drive 1 selected, at 115200 and at 9600 bps.
// Fast mode (poll time 0): registers read per second, the line's share in use and the
// theoretical capacity for the same mix of requests (request and answer at 11 bits per
// character, the silence after each and the drive's processing time), and how often each
// overview row is refreshed. Tick mode (the default): the selected drive's tick period against
// the interval, and the overview refresh it leaves room for.
// Usage: bench_multidrive [--seconds N]   (default 10 s per mode and speed)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMetaObject>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <map>
#include <numeric>
#include <vector>

#include "comm/driveregisters.h"
#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "comm/wiretime.h"
#include "map/overviewregisters.h"
#include "support/loadedmap.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

constexpr int kDrives = 8;
constexpr double kProcessingMs = 1.0;  // the simulator's default
constexpr int kReadRequestBytes = 5 + wiretime::kFrameOverheadBytes;

double readExchangeMs(int registers, int speed) {
    return wiretime::exchangeMs(kReadRequestBytes, 2 + 2 * registers + wiretime::kFrameOverheadBytes, speed,
                                kProcessingMs);
}

class TickSampler : public PollTickHook {
  public:
    void onPollTick(Modbus &) override {
        if (clock.isValid()) {
            periodsMs.push_back(clock.nsecsElapsed() / 1e6);
        }
        clock.start();
    }
    QElapsedTimer clock;
    std::vector<double> periodsMs;
};

// What the worker read while it ran.
struct Tally {
    double busyMs = 0.0;  // theoretical line time of every answered read
    qint64 registers = 0;
    std::map<int, int> rowRefreshes;  // per drive: readings that carried values

    void addRead(int registers_, int speed) {
        registers += registers_;
        busyMs += readExchangeMs(registers_, speed);
    }
};

struct Run {
    int speed = 115200;
    bool fast = true;
    int seconds = 10;
};

void report(QTextStream &out, const Run &run, const Tally &tally, double elapsedS, const TickSampler &ticks,
            int intervalMs) {
    const double share = tally.busyMs / (elapsedS * 1000.0);
    const double capacity = tally.registers / (tally.busyMs / 1000.0);
    out << QStringLiteral(
               "%1 bps, %2: %3 registers/s; line in use %4 %; theoretical capacity for this mix "
               "%5 registers/s\n")
               .arg(run.speed)
               .arg(run.fast ? QStringLiteral("fast mode")
                             : QStringLiteral("tick mode (%1 ms)").arg(intervalMs))
               .arg(tally.registers / elapsedS, 0, 'f', 0)
               .arg(share * 100.0, 0, 'f', 1)
               .arg(capacity, 0, 'f', 0);
    double slowest = 1e9;
    QStringList rows;
    for (int address = 1; address <= kDrives; ++address) {
        const double rate =
            tally.rowRefreshes.count(address) ? tally.rowRefreshes.at(address) / elapsedS : 0.0;
        slowest = std::min(slowest, rate);
        rows << QStringLiteral("@%1 %2").arg(address).arg(rate, 0, 'f', 1);
    }
    out << QStringLiteral("  overview rows refreshed per second: %1 (slowest %2)\n")
               .arg(rows.join(QStringLiteral(", ")))
               .arg(slowest, 0, 'f', 1);
    if (!run.fast && !ticks.periodsMs.empty()) {
        const double mean = std::accumulate(ticks.periodsMs.begin(), ticks.periodsMs.end(), 0.0) /
                            double(ticks.periodsMs.size());
        std::vector<double> sorted = ticks.periodsMs;
        std::sort(sorted.begin(), sorted.end());
        out << QStringLiteral(
                   "  selected drive's tick period: mean %1 ms (%2 % off the interval), p99 %3 ms, "
                   "%4 ticks\n")
                   .arg(mean, 0, 'f', 3)
                   .arg((mean - intervalMs) * 100.0 / intervalMs, 0, 'f', 3)
                   .arg(sorted.at(size_t(0.99 * double(sorted.size() - 1))), 0, 'f', 3)
                   .arg(sorted.size());
    }
}

int runOnce(QTextStream &out, const Run &run, const QString &mapPath, const QVector<input_reg_t *> &inputs,
            const QVector<holding_t *> &holdings) {
    SimulatedBus bus;
    SimulatedDrive::Options options;
    options.mapFile = mapPath;
    options.speed = run.speed;
    options.lineTiming = true;
    options.addresses.clear();
    for (int address = 1; address <= kDrives; ++address) {
        options.addresses << address;
    }
    QString error;
    if (!bus.start(options, &error)) {
        out << "cannot start the simulated drives: " << error << "\n";
        return 1;
    }
    const QVector<int> positions = overviewregisters::positions(inputs);
    const int span = positions.last() - positions.first() + 1;
    const int intervalMs = linesettings::pollInterval(0, run.speed);
    Tally tally;
    Modbus worker;
    TickSampler sampler;
    worker.setInputList(inputs);
    worker.setHoldingList(holdings);
    worker.setOverviewRegisters(positions);
    worker.setPollList(QVector<int>(options.addresses.begin(), options.addresses.end()));
    worker.setFastPolling(run.fast);
    worker.setupConnection(bus.endpoint(), intervalMs, 1, run.speed, 0, inputs.size(), holdings.size(), 1000,
                           64);
    QObject::connect(
        &worker, &Modbus::recv_input_registers, qApp,
        [&](int, int, const QVector<uint16_t> &words) { tally.addRead(words.size(), run.speed); });
    QObject::connect(&worker, &Modbus::recv_holding_registers, qApp,
                     [&](int, const QVector<uint16_t> &words) { tally.addRead(words.size(), run.speed); });
    QObject::connect(&worker, &Modbus::overviewReading, qApp, [&](const OverviewReading &reading) {
        if (!reading.answered) {
            return;
        }
        if (reading.address != 1 && reading.words.isEmpty()) {
            tally.addRead(driveregisters::kIdentificationCount, run.speed);
        } else if (reading.address != 1) {
            tally.addRead(span, run.speed);
        }
        if (!reading.words.isEmpty()) {
            ++tally.rowRefreshes[reading.address];
        }
    });
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(&sampler); }, Qt::BlockingQueuedConnection);
    worker.init();
    // Measure once the line is open and every drive has been identified.
    QEventLoop loop;
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    tally = Tally();
    QMetaObject::invokeMethod(
        &worker, [&] { sampler.periodsMs.clear(); }, Qt::BlockingQueuedConnection);
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer::singleShot(run.seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double elapsedS = elapsed.nsecsElapsed() / 1e9;
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(nullptr); }, Qt::BlockingQueuedConnection);
    worker.shutdown();
    QCoreApplication::processEvents();
    report(out, run, tally, elapsedS, sampler, intervalMs);
    return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int at = args.indexOf(QStringLiteral("--seconds"));
    const int seconds = at >= 0 ? args.value(at + 1).toInt() : 10;
    if (seconds <= 0) {
        out << "usage: bench_multidrive [--seconds N]\n";
        return 2;
    }
    const QString mapPath = testpaths::example(QStringLiteral("drive-map.xml"));
    const LoadedMap map(mapPath);
    const QVector<input_reg_t *> &inputs = map.inputs;
    const QVector<holding_t *> &holdings = map.holdings;
    out << QStringLiteral("%1 drives, drive 1 selected (%2 input registers, %3 holdings), overview: %4\n")
               .arg(kDrives)
               .arg(inputs.size())
               .arg(holdings.size())
               .arg(overviewregisters::describe(inputs));
    for (const int speed : {115200, 9600}) {
        out << QStringLiteral("one read at %1 bps: %2 registers %3 ms, %4 registers %5 ms on the line\n")
                   .arg(speed)
                   .arg(inputs.size())
                   .arg(readExchangeMs(inputs.size(), speed), 0, 'f', 2)
                   .arg(6)
                   .arg(readExchangeMs(6, speed), 0, 'f', 2);
        for (const bool fast : {true, false}) {
            if (runOnce(out, Run{speed, fast, seconds}, mapPath, inputs, holdings) != 0) {
                return 1;
            }
            out.flush();
        }
    }
    return 0;
}
