// The share of a core that mvxctl commands use while they wait on the simulated drive: a read
// of a silent drive, a search of silent addresses and a firmware flash, on a socat line and
// through the simulator's Modbus TCP gateway. "Waiting" counts from the drive's first request
// to the command's exit; "whole run" includes starting the program.
// Usage: bench_mvxctl_cpu [--to N]   (last address of the searches, default 120)
// Target: waiting <= 2% of a core.
#include <sys/resource.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "support/processcpu.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

const QString kMap = testpaths::example(QStringLiteral("drive-map.xml"));
constexpr int kFirmwareBytes = 30000;
constexpr int kSearchTimeoutMs = 30;

QTextStream &out() {
    static QTextStream stream(stdout);
    return stream;
}

struct Case {
    QString name;
    Transport transport = Transport::Serial;
    QString fault;
    QStringList command;  // --port is added
};

struct Figures {
    bool finished = false;
    qint64 wallMs = 0;
    qint64 cpuMs = 0;
    qint64 waitingWallMs = 0;
    qint64 waitingCpuMs = 0;
};

QString share(qint64 cpuMs, qint64 wallMs) {
    return QStringLiteral("%1 ms of %2 ms (%3%)")
        .arg(cpuMs)
        .arg(wallMs)
        .arg(wallMs > 0 ? 100.0 * cpuMs / wallMs : 0.0, 0, 'f', 1);
}

Figures measure(const Case &c) {
    Figures figures;
    SimulatedBus bus;
    bus.transport = c.transport;
    SimulatedDrive::Options options;
    options.mapFile = kMap;
    QString error;
    if (!bus.start(options, &error) || !bus.drive.command(c.fault)) {
        out() << c.name << ": cannot start the simulated drive: " << error << "\n";
        return figures;
    }
    QStringList command = c.command;
    command << QStringLiteral("--port") << bus.endpoint();
    const qint64 endedBefore = processcpu::endedChildrenCpuMs();
    QElapsedTimer run;
    run.start();
    QProcess mvxctl;
    mvxctl.start(testpaths::mvxctl(), command);
    const auto asked = [](const QStringList &lines) {
        return std::any_of(lines.begin(), lines.end(),
                           [](const QString &line) { return line.startsWith(QLatin1String("REQ ")); });
    };
    if (!bus.drive.waitForLog(asked, 10000)) {
        out() << c.name << ": the drive was never asked\n";
        return figures;
    }
    const qint64 beforeWaiting = processcpu::runningProcessCpuMs(mvxctl.processId());
    QElapsedTimer waiting;
    waiting.start();
    figures.finished = mvxctl.waitForFinished(300000) && beforeWaiting >= 0;
    figures.waitingWallMs = waiting.elapsed();
    figures.wallMs = run.elapsed();
    figures.cpuMs = processcpu::endedChildrenCpuMs() - endedBefore;
    figures.waitingCpuMs = figures.cpuMs - beforeWaiting;
    return figures;
}

void report(const Case &c, const Figures &f) {
    if (!f.finished) {
        out() << c.name << ": did not finish\n";
        return;
    }
    out() << c.name << ": waiting " << share(f.waitingCpuMs, f.waitingWallMs) << ", whole run "
          << share(f.cpuMs, f.wallMs) << "\n";
    out().flush();
}

int lastAddressArgument(const QStringList &args) {
    const int at = args.indexOf(QStringLiteral("--to"));
    bool ok = false;
    const int last = at >= 0 ? args.value(at + 1).toInt(&ok) : 120;
    return (at < 0 || (ok && last >= 2 && last <= 247)) ? last : -1;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const int lastAddress = lastAddressArgument(app.arguments());
    if (lastAddress < 0) {
        out() << "usage: bench_mvxctl_cpu [--to N]   (N = 2..247)\n";
        return 2;
    }
    QTemporaryDir dir;
    const QString firmware = dir.filePath(QStringLiteral("drive_user.ofw"));
    QFile file(firmware);
    if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray(kFirmwareBytes, char(0x5A))) < 0) {
        out() << "cannot write " << firmware << "\n";
        return 1;
    }
    file.close();
    const QStringList search{QStringLiteral("search"), QStringLiteral("--to"), QString::number(lastAddress),
                             QStringLiteral("--timeout"), QString::number(kSearchTimeoutMs)};
    const QStringList read{QStringLiteral("read"), QStringLiteral("--map"), kMap};
    const QStringList flash{QStringLiteral("flash"), QStringLiteral("--file"), firmware};
    const QString searchName =
        QStringLiteral("search 1..%1 (2..%1 silent, %2 ms each)").arg(lastAddress).arg(kSearchTimeoutMs);
    const QString flashName = QStringLiteral("flash %1 bytes").arg(kFirmwareBytes);
    const Case cases[] = {
        {QStringLiteral("read, silent drive, serial"), Transport::Serial, QStringLiteral("silent on"), read},
        {QStringLiteral("read, silent drive, gateway"), Transport::Tcp, QStringLiteral("silent on"), read},
        {searchName + QStringLiteral(", serial"), Transport::Serial, QStringLiteral("delay 0"), search},
        {searchName + QStringLiteral(", gateway"), Transport::Tcp, QStringLiteral("delay 0"), search},
        {flashName + QStringLiteral(", serial"), Transport::Serial, QStringLiteral("delay 0"), flash},
        {flashName + QStringLiteral(", gateway"), Transport::Tcp, QStringLiteral("delay 0"), flash}};
    out() << "processor time of mvxctl against the simulated drive (address 1, 115200 bps)\n";
    for (const Case &c : cases) {
        report(c, measure(c));
    }
    return 0;
}
