#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

// The bus search: one address per tick, 1 to 247, on a serial line or as unit ids behind a TCP
// gateway; a silent address costs one tick at every speed, so a full search takes about 25 s at
// a 100 ms poll interval.
class TestWorkerSearch : public QObject {
    Q_OBJECT

  private slots:
    void searchFindsExactlyTheAnsweringDrives_data() { addTransportRows(); }
    void searchFindsExactlyTheAnsweringDrives();
    void silentAddressesCostOneTickEachUntilAborted_data();
    void silentAddressesCostOneTickEachUntilAborted();
};

// Drive 2 answers the search with an exception: no row, one failure; the silent addresses add to
// the error count without incErrorCnt.
void TestWorkerSearch::searchFindsExactlyTheAnsweringDrives() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling({1, 2, 247}, 40, 57600));
    QVERIFY(h.bus.drive.command(QStringLiteral("@2 exception 03 1000 4")));
    h.probe.clear();
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(h.worker->isSearching(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("end_search_addresses")), 1, 120000);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(QStringLiteral("2 drives found")), 1, 10000);
    QVERIFY(!h.worker->isSearching());
    // Address, then the simulated drive's identification block.
    QCOMPARE(h.probe.found,
             (QList<QList<int>>{{1, 0x00A5, 0x0123, 100, 100}, {247, 0x00A5, 0x0123, 100, 100}}));
    QCOMPARE(h.requests().filter(QRegularExpression("^(2|247) 03 03 E8 00 04$")),
             (QStringList{"2 03 03 E8 00 04", "247 03 03 E8 00 04"}));
    QCOMPARE(h.probe.count(QStringLiteral("incErrorCnt")), 1);
    QCOMPARE(h.probe.errorNumbers.last(), 244 + 1);  // the silent addresses count too
    QCOMPARE(h.probe.progressText.size(), 247);
    QCOMPARE(h.probe.progressText.first(), qMakePair(float(1.0f / 247 * 100), true));
    QCOMPARE(h.probe.progressText.last(), qMakePair(100.0f, false));
    QCOMPARE(h.probe.said(QStringLiteral("Searching active devices in addresses 1-247...")), 1);
    QVERIFY(h.waitForMore(QStringLiteral("1 04 00 00 00 28")));  // polling resumes
    QCOMPARE(h.probe.count(QStringLiteral("end_search_addresses")), 1);
}

void TestWorkerSearch::silentAddressesCostOneTickEachUntilAborted_data() {
    QTest::addColumn<int>("speed");
    QTest::newRow("115200 bps") << 115200;
    QTest::newRow("9600 bps") << 9600;
}

void TestWorkerSearch::silentAddressesCostOneTickEachUntilAborted() {
    QFETCH(int, speed);
    WorkerHarness h;
    QVERIFY(h.startPolling({1}, 40, speed));
    std::atomic<int> ticks{0};  // ticks that find the worker searching, sent or held back
    h.onTick([&ticks](Modbus &worker) { ticks += worker.pollState() == Modbus::ESTADO_SEARCH ? 1 : 0; });
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.progressText.size() >= 30, 60000);  // 29 of them silent
    h.worker->stopSearch();
    QTRY_VERIFY_WITH_TIMEOUT(!h.worker->isSearching(), 5000);
    h.onTick(nullptr);
    const int steps = h.probe.progressText.size();
    QVERIFY2(ticks <= steps + 2,
             qPrintable(QStringLiteral("%1 ticks for %2 addresses").arg(ticks).arg(steps)));

    QVERIFY(h.waitForMore(QStringLiteral("1 04 00 00 00 28")));  // polling resumes
    QCOMPARE(h.probe.progressText.size(), steps);
    QCOMPARE(h.probe.count(QStringLiteral("end_search_addresses")), 0);
    QCOMPARE(h.probe.said(QStringLiteral("Search stopped by user")), 1);
    QCOMPARE(h.requests().count(QStringLiteral("1 03 03 E8 00 04")), 1);
    // A new search starts again from address 1.
    h.probe.progressText.clear();
    h.worker->startSearch();
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.progressText.isEmpty(), 10000);
    QCOMPARE(h.probe.progressText.first(), qMakePair(float(1.0f / 247 * 100), true));
    h.worker->stopSearch();
}

QTEST_GUILESS_MAIN(TestWorkerSearch)
#include "tst_worker_search.moc"
