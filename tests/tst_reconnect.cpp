#include <QSignalSpy>
#include <QtTest>

#include <atomic>

#include "comm/modbus.h"
#include "comm/reconnectbackoff.h"
#include "comm/reconnector.h"
#include "support/workerharness.h"

namespace {

constexpr int kWaitMs = 20000;
const QString kInputRead = QStringLiteral("1 04 00 00 00 28");

// One step of a back-off's life: presence seen, time passing, attempts made and failed.
struct Step {
    enum Kind { Present, Absent, FailAt } kind;
    qint64 ms;
};

}  // namespace

Q_DECLARE_METATYPE(QList<Step>)

class TestReconnect : public QObject {
    Q_OBJECT

  private slots:
    void delays_data();
    void delays();
    void dueAfter_data();
    void dueAfter();
    void statusText();
    void lineReturnsWithoutClick_data() { addTransportRows(); }
    void lineReturnsWithoutClick();
    void disconnectStopsRetries_data() { addTransportRows(); }
    void disconnectStopsRetries();
};

void TestReconnect::delays_data() {
    QTest::addColumn<int>("attempts");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("after the loss") << 0 << 1000;
    QTest::newRow("after one failure") << 1 << 2000;
    QTest::newRow("after two") << 2 << 4000;
    QTest::newRow("after four") << 4 << 16000;
    QTest::newRow("capped after five") << 5 << 30000;
    QTest::newRow("capped for a week") << 100000 << 30000;
}

void TestReconnect::delays() {
    QFETCH(int, attempts);
    QFETCH(int, delayMs);
    QCOMPARE(ReconnectBackoff::delayAfterAttempts(attempts), delayMs);
}

// The loss is at 0 ms; `due` is the first whole 100 ms at which an attempt is due after the steps.
void TestReconnect::dueAfter_data() {
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<qint64>("due");
    QTest::newRow("nothing seen: one second") << QList<Step>{} << qint64(1000);
    QTest::newRow("present all along: no hurry")
        << QList<Step>{{Step::Present, 0}, {Step::Present, 300}} << qint64(1000);
    QTest::newRow("absent, then back: at once")
        << QList<Step>{{Step::Absent, 0}, {Step::Present, 500}} << qint64(500);
    QTest::newRow("still absent: one second")
        << QList<Step>{{Step::Absent, 0}, {Step::Absent, 500}} << qint64(1000);
    QTest::newRow("first attempt failed: two seconds later")
        << QList<Step>{{Step::FailAt, 1100}} << qint64(3100);
    QTest::newRow("back after failures: at once") << QList<Step>{{Step::FailAt, 1000},
                                                                 {Step::FailAt, 3000},
                                                                 {Step::Absent, 3500},
                                                                 {Step::Present, 4000}}
                                                  << qint64(4000);
    QTest::newRow("back before an attempt that failed: back-off again")
        << QList<Step>{{Step::Absent, 0}, {Step::Present, 200}, {Step::FailAt, 200}} << qint64(2200);
}

void TestReconnect::dueAfter() {
    QFETCH(QList<Step>, steps);
    QFETCH(qint64, due);
    ReconnectBackoff backoff;
    backoff.start(0);
    qint64 now = 0;
    for (const Step &step : steps) {
        now = step.ms;
        if (step.kind == Step::FailAt) {
            backoff.beginAttempt();
            backoff.attemptFailed(now);
        } else {
            backoff.notePresence(step.kind == Step::Present);
        }
    }
    qint64 first = now;
    while (!backoff.isDue(first)) {
        first += 100;
    }
    QCOMPARE(first, due);
    backoff.stop();
    QVERIFY(!backoff.isDue(first + 60000));
}

void TestReconnect::statusText() {
    ReconnectBackoff backoff;
    backoff.start(0);
    QCOMPARE(ReconnectBackoff::statusText(backoff.nextAttempt(), backoff.secondsToNext(100)),
             QStringLiteral("reconnecting (attempt 1, next in 1 s)"));
    backoff.beginAttempt();
    backoff.attemptFailed(1000);
    QCOMPARE(ReconnectBackoff::statusText(backoff.nextAttempt(), backoff.secondsToNext(1001)),
             QStringLiteral("reconnecting (attempt 2, next in 2 s)"));
}

// The line goes and comes back at the same port: the worker polls again by itself, without the
// writes that were waiting at the loss.
void TestReconnect::lineReturnsWithoutClick() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    h.worker->setAutoReconnect(true);
    QVERIFY(h.startPolling());
    std::atomic<bool> queued{false};  // set in the worker's thread
    h.onTick([&](Modbus &worker) {
        if (!queued) {
            queued = true;
            for (int value = 1; value <= 20; ++value) {
                worker.writeHolding(7, value, false);
            }
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(queued, kWaitMs);
    h.onTick(nullptr);
    h.bus.pullThePlug();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_disconnected"), 1, kWaitMs);
    QCOMPARE(h.probe.said("Not sent (the port was lost)"), 1);
    QVERIFY(h.probe.count("reconnecting") >= 1);
    QCOMPARE(h.probe.reconnecting.first(), qMakePair(1, 1));
    const int repliesBefore = h.probe.inputs.size();
    QVERIFY(h.bus.restartDrive({}));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_connected"), 2, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.inputs.size() > repliesBefore, kWaitMs);
    QVERIFY(h.waitForMore(kInputRead));
    QCOMPARE(h.probe.said("Reconnected to " + h.bus.endpoint()), 1);
    const QStringList writes = h.requests().filter(QRegularExpression("^1 06 "));
    QVERIFY2(writes.isEmpty(), qPrintable(writes.join('|')));
}

// Disconnect while retrying: no attempt follows, even once the line is back. A reconnector of
// the test's own, started on the same line then, shows when an attempt would have come.
void TestReconnect::disconnectStopsRetries() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    h.worker->setAutoReconnect(true);
    QVERIFY(h.startPolling());
    const QString endpoint = h.bus.endpoint();
    h.bus.pullThePlug();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_disconnected"), 1, kWaitMs);
    h.worker->disconnectPort();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_disconnected"), 2, kWaitMs);
    const int shown = h.probe.reconnecting.size();
    QVERIFY(h.bus.restartDrive({}));
    Reconnector control;
    QSignalSpy due(&control, &Reconnector::attemptDue);
    control.start(Endpoint::parse(endpoint));
    QVERIFY(due.wait(kWaitMs));
    QCoreApplication::processEvents();
    QCOMPARE(h.probe.count("com_connected"), 1);
    QCOMPARE(h.probe.reconnecting.size(), shown);
    QVERIFY(h.requests().isEmpty());
}

QTEST_GUILESS_MAIN(TestReconnect)
#include "tst_reconnect.moc"
