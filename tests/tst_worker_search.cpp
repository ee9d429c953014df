#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

// The bus search: one address per tick, 1 to 247, on a serial line or as unit ids behind a TCP
// gateway. At 57600 bps the response time-out (75 ms) is shorter than the poll interval, so a
// silent address costs one tick: a full search takes about 25 s.
class TestWorkerSearch : public QObject {
    Q_OBJECT

  private slots:
    void searchFindsExactlyTheAnsweringDrives_data() { addTransportRows(); }
    void searchFindsExactlyTheAnsweringDrives();
    void searchCanBeAborted();
};

void TestWorkerSearch::searchFindsExactlyTheAnsweringDrives() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QString error;
    QVERIFY2(h.startBus({1, 247}, &error), qPrintable(error));
    h.connectWorker(40, 64, 57600);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), 10000);
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(h.worker->isSearching(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("end_search_addresses")), 1, 120000);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.found.size(), 2, 10000);
    QVERIFY(!h.worker->isSearching());

    QCOMPARE(h.probe.found.at(0).address, 1);
    QCOMPARE(h.probe.found.at(1).address, 247);
    for (const WorkerProbe::Found &found : h.probe.found) {
        QCOMPARE(found.status, 0x00A5);  // the simulated drive's identification block
        QCOMPARE(found.model, 0x0123);
        QCOMPARE(found.motorVersion, 100);
        QCOMPARE(found.userVersion, 100);
    }
    QCOMPARE(h.probe.progressText.size(), 247);
    QCOMPARE(h.probe.progressText.first(), qMakePair(float(1.0f / 247 * 100), true));
    QCOMPARE(h.probe.progressText.last(), qMakePair(100.0f, false));
    QCOMPARE(h.requests().count(QStringLiteral("247 03 03 E8 00 04")), 1);
    QCOMPARE(
        h.probe.statusesContaining(QStringLiteral("Searching active devices in addresses 1-247...")).size(),
        1);

    // Polling resumes once the search is over.
    const int before = h.requests().count(QStringLiteral("1 04 00 00 00 28"));
    QVERIFY(h.bus.drive.waitForLog([&](const QStringList &) {
        return h.requests().count(QStringLiteral("1 04 00 00 00 28")) > before;
    }));
    QCOMPARE(h.probe.count(QStringLiteral("end_search_addresses")), 1);
}

void TestWorkerSearch::searchCanBeAborted() {
    WorkerHarness h;
    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.connectWorker(40, 64, 57600);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), 10000);
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.progressText.size() >= 3, 10000);
    h.worker->stopSearch();
    QTRY_VERIFY_WITH_TIMEOUT(!h.worker->isSearching(), 5000);
    const int steps = h.probe.progressText.size();
    const int reads = h.requests().count(QStringLiteral("1 04 00 00 00 28"));
    QVERIFY(h.bus.drive.waitForLog([&](const QStringList &) {
        return h.requests().count(QStringLiteral("1 04 00 00 00 28")) >= reads + 2;
    }));
    QCOMPARE(h.probe.progressText.size(), steps);
    QCOMPARE(h.probe.count(QStringLiteral("end_search_addresses")), 0);
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Search stopped by user")).size(), 1);
    QCOMPARE(h.requests().count(QStringLiteral("1 03 03 E8 00 04")), 1);

    // A new search starts again from address 1.
    h.probe.progressText.clear();
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.progressText.isEmpty(), 10000);
    QCOMPARE(h.probe.progressText.first().second, true);
    h.worker->stopSearch();
}

QTEST_GUILESS_MAIN(TestWorkerSearch)
#include "tst_worker_search.moc"
