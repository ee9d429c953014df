#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

// What `mvxctl read` shows for the input register at Modbus address `add` of the drive at `address`.
double servedValue(const QString &endpoint, int address, int add) {
    const MvxctlRun run = runMvxctl(
        {"read", "--port", endpoint, "--map", kMap, "--address", QString::number(address), "--json"});
    const QJsonArray rows = QJsonDocument::fromJson(run.out).object().value("input_registers").toArray();
    for (const QJsonValue &row : rows) {
        if (row.toObject().value("add").toInt() == add) {
            return row.toObject().value("value").toString().toDouble();
        }
    }
    return qQNaN();
}

// The cell of the last CSV row under `title`, NaN when the column is missing or empty.
double lastCell(const QByteArray &csv, const QString &title) {
    const QList<QByteArray> lines = csv.trimmed().split('\n');
    const int column = QString::fromUtf8(lines.first()).split(',').indexOf(title);
    bool ok = false;
    const double value = column < 0 ? qQNaN() : lines.last().split(',').value(column).toDouble(&ok);
    return ok ? value : qQNaN();
}

// Overview values are kept as floats: equal to the shown text to a float's precision.
bool sameValue(double a, double b) {
    return std::abs(a - b) <= 1e-4 * std::max(1.0, std::abs(b));
}

}  // namespace

class TestMvxctlMonitor : public QObject {
    Q_OBJECT

  private slots:
    void survivesOutagesAndStopsCleanly_data() { addTransportRows(); }
    void survivesOutagesAndStopsCleanly();
    void watchesOtherDrives_data() { addTransportRows(); }
    void watchesOtherDrives();
    void badArguments_data();
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

// With --address 1,2 drive 1 is polled and drive 2's overview registers (speed, vbus) get
// columns of their own, holding what drive 2 serves rather than drive 1's values.
void TestMvxctlMonitor::watchesOtherDrives() {
    QFETCH(Transport, transport);
    SimulatedBus bus;
    bus.transport = transport;
    SimulatedDrive::Options options;
    options.addresses = {1, 2};
    options.mapFile = kMap;
    QVERIFY(bus.start(options));
    for (const int address : {1, 2}) {
        QVERIFY(bus.drive.command(QStringLiteral("@%1 set-input 5 %2").arg(address).arg(1000 * address)));
        QVERIFY(bus.drive.command(QStringLiteral("@%1 set-input 7 %2").arg(address).arg(3000 + address)));
    }
    const double speed2 = servedValue(bus.endpoint(), 2, 5);
    const double vbus2 = servedValue(bus.endpoint(), 2, 7);
    QVERIFY(!qIsNaN(speed2) && !qIsNaN(vbus2));

    QTemporaryDir logDir;
    const MvxctlRun run = runMvxctl({"monitor", "--port", bus.endpoint(), "--map", kMap, "--address", "1,2",
                                     "--csv", "--log-dir", logDir.path(), "--duration", "3"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(sameValue(lastCell(run.out, "speed @2 [rpm]"), speed2), run.out.right(300).constData());
    QVERIFY2(sameValue(lastCell(run.out, "vbus @2 [V]"), vbus2), run.out.right(300).constData());
    QVERIFY(sameValue(lastCell(run.out, "speed [rpm]"), servedValue(bus.endpoint(), 1, 5)));
    QVERIFY(!sameValue(lastCell(run.out, "speed [rpm]"), speed2));
    // The data log carries the same columns, as log2csv reads them.
    const QStringList logs = QDir(logDir.path()).entryList({"*-log.txt"}, QDir::Files);
    QCOMPARE(logs.size(), 1);
    const QByteArray converted = runMvxctl({"log2csv", logDir.filePath(logs.first())}).out;
    QVERIFY2(sameValue(lastCell(converted, "vbus @2 [V]"), vbus2), converted.right(300).constData());
}

void TestMvxctlMonitor::badArguments_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("named");
    QTest::newRow("interval not a number") << QStringList{"--interval", "x"} << "--interval";
    QTest::newRow("address list with a hole") << QStringList{"--address", "1,,x"} << "--address";
    QTest::newRow("address out of range") << QStringList{"--address", "1,248"} << "--address";
}

void TestMvxctlMonitor::badArguments() {
    QFETCH(QStringList, options);
    QFETCH(QString, named);
    const MvxctlRun run = runMvxctl(QStringList{"monitor", "--port", "/dev/null", "--map", kMap} + options);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
}

QTEST_GUILESS_MAIN(TestMvxctlMonitor)
#include "tst_mvxctl_monitor.moc"
