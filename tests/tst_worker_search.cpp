#include <QtTest>

#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "support/workerharness.h"

namespace {

// Counts the ticks that find the worker searching, sent or held back by an unanswered request.
class SearchTickCounter : public PollTickHook {
  public:
    void onPollTick(Modbus &worker) override {
        if (worker.pollState() == Modbus::ESTADO_SEARCH) {
            ++ticks;
        }
    }
    std::atomic<int> ticks{0};
};

}  // namespace

// The bus search: one address per tick, 1 to 247, on a serial line or as unit ids behind a TCP
// gateway; a silent address costs one tick at every speed, so a full search takes about 25 s at
// a 100 ms poll interval.
class TestWorkerSearch : public QObject {
    Q_OBJECT

  private slots:
    void searchFindsExactlyTheAnsweringDrives_data() { addTransportRows(); }
    void searchFindsExactlyTheAnsweringDrives();
    void searchCanBeAborted();
    void silentAddressCostsOneTick_data();
    void silentAddressCostsOneTick();
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
    QTRY_COMPARE(h.probe.statusesContaining(QStringLiteral("2 drives found")).size(), 1);
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

void TestWorkerSearch::silentAddressCostsOneTick_data() {
    QTest::addColumn<int>("speed");
    QTest::newRow("115200 bps") << 115200;
    QTest::newRow("9600 bps") << 9600;
}

void TestWorkerSearch::silentAddressCostsOneTick() {
    QFETCH(int, speed);
    WorkerHarness h;
    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.connectWorker(40, 64, speed);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), 10000);
    SearchTickCounter counter;
    Modbus *worker = h.worker.get();
    h.inWorkerThread([worker, &counter] { worker->setTickHook(&counter); });
    h.worker->startSearch();
    const int addresses = 30;  // 29 of them silent
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.progressText.size() >= addresses, 60000);
    h.worker->stopSearch();
    h.inWorkerThread([worker] { worker->setTickHook(nullptr); });
    const int steps = h.probe.progressText.size();
    qInfo("%d bps: %d ticks for %d addresses", speed, counter.ticks.load(), steps);
    QVERIFY2(counter.ticks <= steps + 2, qPrintable(QString::number(counter.ticks)));
}

QTEST_GUILESS_MAIN(TestWorkerSearch)
#include "tst_worker_search.moc"
