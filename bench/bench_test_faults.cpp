// A production test against a drive that fails, and what the station pays while it waits:
//  1. the time from "silent on" to the board failing while the test writes a parameter per step
//     (cont_fails 3), in milliseconds and in poll ticks, on a line-timed drive at each speed;
//  2. the CPU share of `mvxctl test` over a 10 s wait step.
// Usage: bench_test_faults [--runs N] [--tcp]   (default 5 runs per speed, serial)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <algorithm>
#include <vector>

#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "support/loadedmap.h"
#include "support/processcpu.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "test/test_engine.h"

namespace {

const char kWriteBurst[] =
    "<test><config><cont_fails>3</cont_fails></config><loop_start>200</loop_start>"
    "<WriteSingleRegister><nombre>W</nombre><dir>8</dir><dat>1</dat></WriteSingleRegister><loop_stop/>"
    "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir><min>0</min><max>65535</max>"
    "</ReadInputRegisters></test>";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content) {
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
    }
    return file.fileName();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Milliseconds from "silent on" to the end of a failed run; negative when the run did not fail.
double silentToFailMs(Transport transport, int speed, const QString &testPath) {
    SimulatedBus bus;
    bus.transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
    options.speed = speed;
    options.lineTiming = true;
    if (!bus.start(options)) {
        return -1;
    }
    const LoadedMap map(options.mapFile);
    const QVector<input_reg_t *> &inputs = map.inputs;
    const QVector<holding_t *> &holdings = map.holdings;
    double elapsedMs = -1;
    {
        Modbus worker;
        TestEngine engineObject(&worker);
        TestEngine *engine = &engineObject;
        worker.setTickHook(engine);
        worker.setInputList(inputs);
        worker.setHoldingList(holdings);
        bool stopped = false;
        QObject context;
        threadhandoff::connectQueued(&worker, &Modbus::test_stop, &context, [&stopped] { stopped = true; });
        worker.setupConnection(bus.endpoint(), 0, 1, speed, 0, inputs.size(), holdings.size(), 1000, 64);
        worker.init();
        if (!QTest::qWaitFor([&worker] { return worker.isConnected(); }, 5000)) {
            return -1;
        }
        QTest::qWait(500);  // the first replies
        engine->loadTest(testPath);
        engine->startTest();
        QTest::qWait(1000);  // into the middle of the burst
        QElapsedTimer clock;
        bus.drive.command(QStringLiteral("silent on"));
        clock.start();
        if (QTest::qWaitFor([&stopped] { return stopped; }, 60000) && engine->isTestOK() < 0) {
            elapsedMs = double(clock.elapsed());
        }
        worker.shutdown();
    }
    return elapsedMs;
}

// The CPU share of one `mvxctl test` whose only step waits 10 s.
double mvxctlWaitCpuPercent(Transport transport, const QTemporaryDir &dir) {
    SimulatedBus bus;
    bus.transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
    if (!bus.start(options)) {
        return -1;
    }
    const QString test = writeFile(dir, QStringLiteral("wait.xml"), "<test><espera>10</espera></test>");
    const qint64 cpuBefore = processcpu::endedChildrenCpuMs();
    QElapsedTimer wall;
    wall.start();
    QProcess mvxctl;
    mvxctl.start(testpaths::mvxctl(), {"test", "--port", bus.endpoint(), "--map", options.mapFile, "--test",
                                       test, "--log-dir", dir.filePath(QStringLiteral("logs"))});
    if (!mvxctl.waitForFinished(60000) || mvxctl.exitCode() != 0) {
        return -1;
    }
    return double(processcpu::endedChildrenCpuMs() - cpuBefore) / double(wall.elapsed()) * 100.0;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.warning=false"));
    const QStringList args = app.arguments();
    const Transport transport = args.contains(QStringLiteral("--tcp")) ? Transport::Tcp : Transport::Serial;
    const int runsIndex = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsIndex > 0 ? std::max(1, args.value(runsIndex + 1).toInt()) : 5;
    QTemporaryDir dir;
    const QString testPath = writeFile(dir, QStringLiteral("burst.xml"), kWriteBurst);
    QTextStream out(stdout);
    out << "transport: " << (transport == Transport::Tcp ? "Modbus TCP (loopback)" : "serial (socat pty)")
        << ", cont_fails 3, " << runs << " runs per speed\n";
    out << "silent drive during a write burst: time to a failed board (median, worst)\n";
    for (int speed : {9600, 38400, 115200}) {
        const int tickMs = linesettings::pollInterval(0, speed);
        std::vector<double> times;
        int notFailed = 0;
        for (int run = 0; run < runs; ++run) {
            const double ms = silentToFailMs(transport, speed, testPath);
            if (ms < 0) {
                ++notFailed;
            } else {
                times.push_back(ms);
            }
        }
        const double worst = times.empty() ? 0.0 : *std::max_element(times.begin(), times.end());
        out << QStringLiteral(
                   "  %1 bps (tick %2 ms, response time-out %3 ms): %4 ms = %5 ticks, worst %6 ms = "
                   "%7 ticks; runs that did not fail: %8\n")
                   .arg(speed)
                   .arg(tickMs)
                   .arg(linesettings::speedRow(speed).responseTimeoutMs)
                   .arg(median(times), 0, 'f', 0)
                   .arg(median(times) / tickMs, 0, 'f', 1)
                   .arg(worst, 0, 'f', 0)
                   .arg(worst / tickMs, 0, 'f', 1)
                   .arg(notFailed);
        out.flush();
    }
    const double cpu = mvxctlWaitCpuPercent(transport, dir);
    out << QStringLiteral("mvxctl test over a 10 s wait step: %1 % of one core\n").arg(cpu, 0, 'f', 2);
    return 0;
}
