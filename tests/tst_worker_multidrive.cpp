#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

namespace {

constexpr int kWaitMs = 20000;
// The overview registers of these tests: 2 and 5, read as one span of four from 2.
const QVector<int> kOverview{2, 5};

QString overviewRead(int address) {
    return QStringLiteral("%1 04 00 02 00 04").arg(address);
}

QString identificationRead(int address) {
    return QStringLiteral("%1 03 03 E8 00 04").arg(address);
}

// Requests of the log that write (functions 05, 06, 0F, 10) to `address`.
QStringList writesTo(const QStringList &requests, int address) {
    static const QStringList writeFunctions{"05", "06", "0F", "10"};
    QStringList writes;
    for (const QString &line : requests) {
        const QStringList words = line.split(' ');
        if (words.size() > 1 && words.at(0) == QString::number(address) &&
            writeFunctions.contains(words.at(1))) {
            writes << line;
        }
    }
    return writes;
}

// Whether `run` appears in `requests` as consecutive lines.
bool containsRun(const QStringList &requests, const QStringList &run) {
    const auto lines = [](const QStringList &list) { return '\n' + list.join('\n') + '\n'; };
    return lines(requests).contains(lines(run));
}

}  // namespace

// Several drives on one line: the selected drive keeps its poll cycle and its edits, the other
// drives of the poll list are read in the overview, over a serial line and a TCP gateway.
class TestWorkerMultiDrive : public QObject {
    Q_OBJECT

    // Starts the drives at `addresses`, gives drive n the words n and 100 × n in registers 2
    // and 5, and polls them with drive 1 selected and `pollList` watched.
    bool startBus(WorkerHarness &h, const QList<int> &addresses, const QVector<int> &pollList) {
        SimulatedDrive::Options options;
        options.addresses = addresses;
        if (!h.bus.start(options)) {
            return false;
        }
        for (const int address : addresses) {
            const bool forced =
                h.bus.drive.command(QStringLiteral("@%1 set-input 2 %1").arg(address)) &&
                h.bus.drive.command(QStringLiteral("@%1 set-input 5 %2").arg(address).arg(100 * address));
            if (!forced) {
                return false;
            }
        }
        h.worker->setOverviewRegisters(kOverview);
        h.worker->setPollList(pollList);
        h.connectWorker(40, 64);
        return true;
    }

  private slots:
    void overviewShowsWhatEachDriveServes_data() { addTransportRows(); }
    void overviewShowsWhatEachDriveServes();
    void editsReachOnlyTheSelectedDrive_data() { addTransportRows(); }
    void editsReachOnlyTheSelectedDrive();
    void absentDriveCountsItsOwnFailures_data() { addTransportRows(); }
    void absentDriveCountsItsOwnFailures();
    void fastModeAlternatesSelectedAndOverview_data() { addTransportRows(); }
    void fastModeAlternatesSelectedAndOverview();
};

void TestWorkerMultiDrive::overviewShowsWhatEachDriveServes() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startBus(h, {1, 2, 3}, {1, 2, 3}));
    QVERIFY(h.waitForRequest([](const QString &r) { return r == overviewRead(2); }));
    QVERIFY(h.waitForRequest([](const QString &r) { return r == overviewRead(3); }));
    for (const int address : {1, 2, 3}) {
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.lastValues(address).words,
                                  (QVector<uint16_t>{uint16_t(address), uint16_t(100 * address)}), kWaitMs);
        QCOMPARE(h.probe.lastValues(address).positions, kOverview);
        // Identification holdings: status, motor version, user version, model.
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.lastValues(address).identification.value(3), uint16_t(0x0123),
                                  kWaitMs);
    }
    QVERIFY(h.requests().contains(identificationRead(2)));
    // The selected drive is read by its own cycle, never by the overview.
    QVERIFY(!h.requests().contains(overviewRead(1)));
    // Only the selected drive's input reads reach the tables.
    for (const WorkerProbe::Words &reply : qAsConst(h.probe.inputs)) {
        QCOMPARE(reply.serverAddress, 1);
    }
}

void TestWorkerMultiDrive::editsReachOnlyTheSelectedDrive() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startBus(h, {1, 2, 3}, {1, 2, 3}));
    QVERIFY(h.waitForRequest([](const QString &r) { return r == overviewRead(3); }));
    h.worker->writeHolding(10, 7, false);
    QVERIFY(h.waitForRequest([](const QString &r) { return r == QStringLiteral("1 06 00 0A 00 07"); }));

    h.worker->setServerAddress(2);
    const int switchedAt = h.requests().size();
    h.worker->writeHolding(10, 9, false);
    QVERIFY(h.waitForRequest([](const QString &r) { return r == QStringLiteral("2 06 00 0A 00 09"); }));
    // Drive 1 is now only watched: read in the overview, never written to.
    QVERIFY(h.waitForMore(overviewRead(1), 2, kWaitMs));
    QCOMPARE(writesTo(h.requests().mid(switchedAt), 1), QStringList());
    QCOMPARE(writesTo(h.requests(), 3), QStringList());
    QCOMPARE(writesTo(h.requests(), 2), QStringList{"2 06 00 0A 00 09"});
}

void TestWorkerMultiDrive::absentDriveCountsItsOwnFailures() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startBus(h, {1, 2}, {1, 2, 9}));
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.readingsOf(9, false) >= BusPollPlan::kAbsentAfter + 1, 60000);
    // Drive 2 goes on answering after 9 has been given up for absent, with no failure of its own.
    const int answeredBefore = h.probe.readingsOf(2, true);
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.readingsOf(2, true) > answeredBefore + 2, kWaitMs);
    QCOMPARE(h.probe.readingsOf(2, false), 0);
    QCOMPARE(h.probe.readingsOf(1, false), 0);
    int lastFailureCount = -1;
    for (const OverviewReading &reading : qAsConst(h.probe.overview)) {
        if (reading.address == 9) {
            lastFailureCount = reading.failures;
        }
    }
    QCOMPARE(lastFailureCount, h.probe.readingsOf(9, false));
    // The selected drive's own failure count and outage report stay untouched.
    QCOMPARE(h.probe.count(QStringLiteral("incErrorCnt")), 0);
    QCOMPARE(h.probe.count(QStringLiteral("ext_disconnected_start")), 0);
}

void TestWorkerMultiDrive::fastModeAlternatesSelectedAndOverview() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    h.worker->setFastPolling(true);
    QVERIFY(startBus(h, {1, 2, 3}, {1, 2, 3}));
    // Once every drive is identified: each request of the selected drive's cycle (inputs and
    // holdings in turn) is followed by one overview read, in turn, without waiting for a tick.
    const QString inputs = QStringLiteral("1 04 00 00 00 28"), holdings = QStringLiteral("1 03 00 00 00 40");
    const QStringList afterInputs{inputs,          overviewRead(2), holdings,
                                  overviewRead(3), inputs,          overviewRead(2)};
    const QStringList afterHoldings{holdings,        overviewRead(2), inputs,
                                    overviewRead(3), holdings,        overviewRead(2)};
    QVERIFY2(h.bus.drive.waitForLog([&](const QStringList &) {
        return containsRun(h.requests(), afterInputs) || containsRun(h.requests(), afterHoldings);
    }),
             qPrintable(h.requests().mid(0, 20).join(" | ")));
}

QTEST_GUILESS_MAIN(TestWorkerMultiDrive)
#include "tst_worker_multidrive.moc"
