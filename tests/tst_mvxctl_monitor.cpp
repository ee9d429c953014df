#include <QtTest>
#include <cmath>

#include "support/mvxctlrun.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "views/plotdata/datalogreader.h"

namespace {

constexpr int kWaitMs = 20000;
const QString kMap = testpaths::example(QStringLiteral("drive-map.xml"));

// CSV rows as mvxctl prints them: two time columns, then the values; a row whose values are all
// empty is a gap.
struct CsvRows {
    int data = 0;
    int gaps = 0;
    int dataSinceGap = 0;

    static CsvRows of(const QByteArray &csv) {
        CsvRows rows;
        const QList<QByteArray> lines = csv.trimmed().split('\n');
        for (const QByteArray &line : lines.mid(1)) {
            if (line.split(',').mid(2).join().isEmpty()) {
                ++rows.gaps;
                rows.dataSinceGap = 0;
            } else {
                ++rows.data;
                ++rows.dataSinceGap;
            }
        }
        return rows;
    }
};

// The rows of a data log as the replay window reads them: those without any value are gaps.
CsvRows replayRows(const QString &path) {
    plotdata::DataLogReader reader;
    QString error;
    CsvRows rows;
    if (!reader.open(path, &error)) {
        return rows;
    }
    QVector<int> columns;
    for (int i = 0; i < reader.names().size(); ++i) {
        columns << i;
    }
    reader.readRows(
        columns,
        [&rows](qint64, const QVector<double> &values) {
            const bool empty =
                std::all_of(values.begin(), values.end(), [](double v) { return std::isnan(v); });
            ++(empty ? rows.gaps : rows.data);
        },
        {}, &error);
    return rows;
}

}  // namespace

class TestMvxctlMonitor : public QObject {
    Q_OBJECT

  private slots:
    void survivesOutagesAndStopsCleanly_data() { addTransportRows(); }
    void survivesOutagesAndStopsCleanly();
    void badArguments();
};

// Two outages while monitoring: each is a gap in the CSV, in the data log read back by the
// replay's reader and by log2csv; SIGTERM ends the file with its footer and exit code 0.
void TestMvxctlMonitor::survivesOutagesAndStopsCleanly() {
    QFETCH(Transport, transport);
    SimulatedBus bus;
    QVERIFY(startExampleDrive(bus, transport));
    QTemporaryDir logDir;
    QProcess monitor;
    QByteArray csv;
    connect(&monitor, &QProcess::readyReadStandardOutput, [&] { csv += monitor.readAllStandardOutput(); });
    monitor.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    monitor.start(testpaths::mvxctl(), {"monitor", "--port", bus.endpoint(), "--map", kMap, "--log-dir",
                                        logDir.path(), "--csv", "--interval", "100"});
    QTRY_VERIFY_WITH_TIMEOUT(CsvRows::of(csv).data >= 3, kWaitMs);
    SimulatedDrive::Options options;
    options.mapFile = kMap;
    for (int outage = 1; outage <= 2; ++outage) {
        bus.pullThePlug();
        QTRY_COMPARE_WITH_TIMEOUT(CsvRows::of(csv).gaps, outage, kWaitMs);
        QVERIFY(bus.restartDrive(options));
        QTRY_VERIFY_WITH_TIMEOUT(CsvRows::of(csv).dataSinceGap >= 3, kWaitMs);
    }
    monitor.terminate();
    QVERIFY(monitor.waitForFinished(kWaitMs));
    csv += monitor.readAllStandardOutput();
    QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
    QCOMPARE(monitor.exitCode(), 0);

    const QStringList logs = QDir(logDir.path()).entryList({"*-log.txt"}, QDir::Files);
    QCOMPARE(logs.size(), 1);
    const QString log = logDir.filePath(logs.first());
    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QVERIFY2(lines.last().startsWith("Log finished at "), lines.last().constData());
    const CsvRows printed = CsvRows::of(csv);
    const CsvRows converted = CsvRows::of(runMvxctl({"log2csv", log}).out);
    const CsvRows replayed = replayRows(log);
    for (const CsvRows &rows : {converted, replayed}) {
        QCOMPARE(rows.gaps, 2);
        QCOMPARE(rows.data, printed.data);
    }
}

void TestMvxctlMonitor::badArguments() {
    const MvxctlRun run = runMvxctl({"monitor", "--port", "/dev/null", "--map", kMap, "--interval", "x"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("--interval"));
}

QTEST_GUILESS_MAIN(TestMvxctlMonitor)
#include "tst_mvxctl_monitor.moc"
