// The bus search against the simulated drive holding its answers back for their time on the
// line (--line-timing), one drive at address 1: the window's worker at 115200 and 9600 bps
// (poll ticks and wall time until the search ends) and `mvxctl search` at 115200 bps.
// Usage: bench_search [--to N]   (last address, default 247; e.g. --to 30 for a quick run)
// Targets for 1..247: worker <= 247 ticks (<= 25 s at 115200, <= 62 s at 9600), mvxctl <= 12 s.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <atomic>
#include <cmath>

#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

constexpr int kDriveAddress = 1;
constexpr int kInputCount = 40;
constexpr int kHoldingCount = 10;

class TickCounter : public PollTickHook {
  public:
    void onPollTick(Modbus &) override { ++ticks; }
    std::atomic<int> ticks{0};
};

struct Figures {
    double seconds = 0;
    int ticks = -1;
    int found = 0;
    bool finished = false;
};

QTextStream &out() {
    static QTextStream stream(stdout);
    return stream;
}

bool startBus(SimulatedBus *bus, int speed) {
    SimulatedDrive::Options options;
    options.speed = speed;
    options.addresses = {kDriveAddress};
    options.lineTiming = true;
    QString error;
    if (!bus->start(options, &error)) {
        out() << "cannot start the simulated drive: " << error << "\n";
        return false;
    }
    return true;
}

// The address a search progress value stands for (the worker reports address / 247 × 100).
int progressAddress(float percent) {
    return int(std::lround(percent * Modbus::kLastSearchAddress / 100.0));
}

Figures searchWithWorker(int speed, int lastAddress) {
    Figures figures;
    SimulatedBus bus;
    if (!startBus(&bus, speed)) {
        return figures;
    }
    Modbus worker;
    TickCounter counter;
    worker.setupConnection(bus.line.masterPort(), 100, kDriveAddress, speed, 0, kInputCount, kHoldingCount,
                           1000, 64);
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(&counter); }, Qt::BlockingQueuedConnection);
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&worker, &Modbus::com_connected, &loop, &QEventLoop::quit);
    worker.init();
    guard.start(5000);
    loop.exec();

    QElapsedTimer clock;
    std::atomic<int> firstTick{0};
    QObject::connect(&worker, &Modbus::foundAddress, &loop, [&] { ++figures.found; });
    const auto finish = [&] {
        if (!figures.finished) {
            figures.finished = true;
            figures.ticks = counter.ticks - firstTick;
            figures.seconds = clock.nsecsElapsed() / 1e9;
            loop.quit();
        }
    };
    QObject::connect(&worker, &Modbus::end_search_addresses, &loop, finish);
    QObject::connect(&worker, &Modbus::update_progressBarText, &loop, [&](float percent, bool) {
        if (lastAddress < Modbus::kLastSearchAddress && progressAddress(percent) >= lastAddress) {
            finish();
        }
    });
    clock.start();
    worker.runInWorkerThread([&] {
        firstTick = counter.ticks.load();
        worker.startSearch();
    });
    // Three ticks per address at the slowest line, and some.
    guard.start(lastAddress * 3 * 250 + 30000);
    loop.exec();
    worker.stopSearch();
    QMetaObject::invokeMethod(
        &worker, [&] { worker.setTickHook(nullptr); }, Qt::BlockingQueuedConnection);
    worker.shutdown();
    return figures;
}

Figures searchWithMvxctl(int speed, int lastAddress) {
    Figures figures;
    SimulatedBus bus;
    if (!startBus(&bus, speed)) {
        return figures;
    }
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(testpaths::mvxctl(),
                  {QStringLiteral("search"), QStringLiteral("--port"), bus.line.masterPort(),
                   QStringLiteral("--speed"), QString::number(speed), QStringLiteral("--to"),
                   QString::number(lastAddress), QStringLiteral("--csv")});
    figures.finished = process.waitForFinished(lastAddress * 1000 + 30000);
    figures.seconds = clock.nsecsElapsed() / 1e9;
    const QStringList lines =
        QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    figures.found = std::max(0, lines.size() - 1);  // after the header
    return figures;
}

void report(const QString &what, const Figures &f, int lastAddress) {
    if (!f.finished) {
        out() << what << ": did not finish\n";
        return;
    }
    out() << QStringLiteral("%1: %2 s").arg(what).arg(f.seconds, 0, 'f', 2);
    if (f.ticks >= 0) {
        out() << QStringLiteral(", %1 ticks (%2 per address)")
                     .arg(f.ticks)
                     .arg(double(f.ticks) / lastAddress, 0, 'f', 2);
    }
    out() << QStringLiteral(", %1 ms per address (all but one silent), %2 drive(s) found\n")
                 .arg(f.seconds * 1000 / lastAddress, 0, 'f', 1)
                 .arg(f.found);
    out().flush();
}

int lastAddressArgument(const QStringList &args) {
    const int at = args.indexOf(QStringLiteral("--to"));
    bool ok = false;
    const int last = at >= 0 ? args.value(at + 1).toInt(&ok) : Modbus::kLastSearchAddress;
    return (at < 0 || (ok && last >= 2 && last <= Modbus::kLastSearchAddress)) ? last : -1;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\nqt.modbus.warning=false"));
    const int lastAddress = lastAddressArgument(app.arguments());
    if (lastAddress < 0) {
        out() << "usage: bench_search [--to N]   (N = 2..247)\n";
        return 2;
    }
    out() << QStringLiteral("search of addresses 1..%1, one drive at address %2, simulated line timing\n")
                 .arg(lastAddress)
                 .arg(kDriveAddress);
    report(QStringLiteral("worker, 115200 bps"), searchWithWorker(115200, lastAddress), lastAddress);
    report(QStringLiteral("worker, 9600 bps"), searchWithWorker(9600, lastAddress), lastAddress);
    report(QStringLiteral("mvxctl search, 115200 bps"), searchWithMvxctl(115200, lastAddress), lastAddress);
    return 0;
}
