// Unattended soak: `mvxctl monitor` against the simulated drive while the line is pulled every
// period for 10 to 30 s (the socat pair closed and made again at the same path, or the TCP
// simulator stopped and started on the same port). Prints the share of samples recorded while
// the line was up, the outages found in the monitor's CSV against those made, the reconnect
// times, and the monitor's memory and processor use. bench/monitor-soak.sh runs it.
#include <unistd.h>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "support/processcpu.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

struct Outage {
    qint64 beginMs = 0;
    qint64 endMs = 0;
};

void pump(qint64 ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

long rssKilobytes(qint64 pid) {
    return processcpu::residentKilobytes(pid);
}

double cpuSeconds(qint64 pid) {
    return processcpu::runningProcessCpuMs(pid) / 1000.0;
}

// The monitor's CSV: times of the data rows, and of the gap rows (a lost line).
struct Recorded {
    QVector<qint64> samples;
    QVector<qint64> gaps;

    static Recorded parse(const QByteArray &csv) {
        Recorded r;
        const QList<QByteArray> lines = csv.split('\n');
        for (const QByteArray &line : lines.mid(1)) {
            const QList<QByteArray> cells = line.split(',');
            if (cells.size() < 3) {
                continue;
            }
            const qint64 ms = QDateTime::fromString(QString::fromLatin1(cells.first()), Qt::ISODateWithMs)
                                  .toMSecsSinceEpoch();
            (cells.mid(2).join().isEmpty() ? r.gaps : r.samples).append(ms);
        }
        return r;
    }
    // The first sample after ms, or -1.
    qint64 firstSampleAfter(qint64 ms) const {
        const auto it = std::upper_bound(samples.begin(), samples.end(), ms);
        return it == samples.end() ? -1 : *it;
    }
    int samplesBetween(qint64 from, qint64 to) const {
        return int(std::lower_bound(samples.begin(), samples.end(), to) -
                   std::lower_bound(samples.begin(), samples.end(), from));
    }
};

qint64 median(QVector<qint64> v) {
    if (v.isEmpty()) {
        return -1;
    }
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const QString &name, int fallback) {
        const int at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
    };
    const int seconds = option(QStringLiteral("--seconds"), 3600);
    const int periodS = option(QStringLiteral("--period"), 120);
    const int intervalMs = option(QStringLiteral("--interval"), 100);
    const Transport transport = args.contains(QStringLiteral("--tcp")) ? Transport::Tcp : Transport::Serial;
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");

    SimulatedBus bus;
    if (!startExampleDrive(bus, transport)) {
        return 2;
    }
    SimulatedDrive::Options drive;
    drive.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
    QTemporaryDir logDir;
    QProcess monitor;
    QByteArray csv;
    QObject::connect(&monitor, &QProcess::readyReadStandardOutput,
                     [&] { csv += monitor.readAllStandardOutput(); });
    monitor.setProcessChannelMode(QProcess::SeparateChannels);
    monitor.start(testpaths::mvxctl(),
                  {"monitor", "--port", bus.endpoint(), "--map", drive.mapFile, "--log-dir", logDir.path(),
                   "--csv", "--interval", QString::number(intervalMs)});
    if (!monitor.waitForStarted()) {
        return 2;
    }
    const qint64 pid = monitor.processId();
    pump(5000);  // past the first connection and the first allocations
    const long rssStart = rssKilobytes(pid);
    const double cpuStart = cpuSeconds(pid);
    QElapsedTimer clock;
    clock.start();

    const int outageSeconds[] = {10, 20, 30, 15, 25};
    QVector<Outage> made;
    qint64 upSinceMs = QDateTime::currentMSecsSinceEpoch();
    QVector<Outage> upIntervals;
    for (int cycle = 0; clock.elapsed() < qint64(seconds) * 1000; ++cycle) {
        const int downS = outageSeconds[cycle % 5];
        pump(qint64(qMax(1, periodS - downS)) * 1000);
        Outage outage;
        outage.beginMs = QDateTime::currentMSecsSinceEpoch();
        bus.pullThePlug();
        upIntervals.append({upSinceMs, outage.beginMs});
        pump(qint64(downS) * 1000);
        if (!bus.restartDrive(drive)) {
            QTextStream(stderr) << "soak: the simulated drive did not restart\n";
            return 2;
        }
        outage.endMs = QDateTime::currentMSecsSinceEpoch();
        upSinceMs = outage.endMs;
        made.append(outage);
    }
    pump(10000);  // the last return is recorded
    const qint64 endMs = QDateTime::currentMSecsSinceEpoch();
    upIntervals.append({upSinceMs, endMs});
    const long rssEnd = rssKilobytes(pid);
    const double cpuEnd = cpuSeconds(pid);
    const double hours = double(clock.elapsed()) / 3600000.0;
    monitor.terminate();
    monitor.waitForFinished(10000);
    csv += monitor.readAllStandardOutput();
    const QByteArray err = monitor.readAllStandardError();

    const Recorded rec = Recorded::parse(csv);
    // Possible: one input sample every two poll ticks while the line was there, counted from the
    // line's return (the reconnection's own delay counts as missed samples).
    double possible = 0;
    int recordedWhileUp = 0;
    QStringList perInterval;
    for (const Outage &up : upIntervals) {
        const double inInterval = double(up.endMs - up.beginMs) / (2.0 * intervalMs);
        possible += inInterval;
        recordedWhileUp += rec.samplesBetween(up.beginMs, up.endMs);
        perInterval
            << QStringLiteral("%1/%2").arg(rec.samplesBetween(up.beginMs, up.endMs)).arg(qRound(inInterval));
    }
    int matched = 0;
    QVector<qint64> reconnectMs;
    qint64 worstStartMs = 0;
    qint64 worstEndMs = 0;
    for (const Outage &o : made) {
        const auto gap = std::find_if(rec.gaps.begin(), rec.gaps.end(),
                                      [&o](qint64 ms) { return qAbs(ms - o.beginMs) <= 1000; });
        const qint64 back = rec.firstSampleAfter(o.endMs);
        if (back >= 0) {
            reconnectMs.append(back - o.endMs);
            worstEndMs = qMax(worstEndMs, back - o.endMs);
        }
        if (gap != rec.gaps.end()) {
            worstStartMs = qMax(worstStartMs, qAbs(*gap - o.beginMs));
            matched += (back >= 0 && back - o.endMs <= 1000) ? 1 : 0;
        }
    }
    QTextStream out(stdout);
    out << "transport:                      " << (transport == Transport::Tcp ? "tcp" : "serial") << "\n"
        << "soak seconds:                   " << seconds << " (line pulled every " << periodS << " s, "
        << intervalMs << " ms poll)\n"
        << "samples recorded / possible:    " << recordedWhileUp << " / " << qRound(possible) << " = "
        << QString::number(100.0 * recordedWhileUp / qMax(1.0, possible), 'f', 2) << " %\n"
        << "per time up (recorded/possible): " << perInterval.join(QLatin1Char(' ')) << "\n"
        << "outages made / gaps found:      " << made.size() << " / " << rec.gaps.size() << "\n"
        << "outages with start and end within 1 s: " << matched << " of " << made.size() << " (worst start "
        << worstStartMs << " ms, worst end " << worstEndMs << " ms)\n"
        << "reconnect after return (ms):    median " << median(reconnectMs) << ", max "
        << (reconnectMs.isEmpty() ? -1 : *std::max_element(reconnectMs.begin(), reconnectMs.end())) << "\n"
        << "monitor RSS start / end (kB):   " << rssStart << " / " << rssEnd << " = "
        << QString::number(double(rssEnd - rssStart) / 1024.0 / hours, 'f', 2) << " MB per hour\n"
        << "monitor CPU:                    " << QString::number((cpuEnd - cpuStart) / hours, 'f', 1)
        << " s per hour (" << QString::number(100.0 * (cpuEnd - cpuStart) / (hours * 3600.0), 'f', 2)
        << " % of a core)\n"
        << "monitor exit code:              " << monitor.exitCode() << "\n";
    if (!err.contains("samples in")) {
        out << "monitor did not finish its log: " << err.right(300) << "\n";
        return 1;
    }
    return 0;
}
