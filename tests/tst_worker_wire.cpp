#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "support/testpaths.h"
#include "support/workerharness.h"

namespace {

constexpr int kInputs = 40;
constexpr int kHoldings = 64;
const QString kInputRead = QStringLiteral("1 04 00 00 00 28");
const QString kHoldingRead = QStringLiteral("1 03 00 00 00 40");
constexpr int kWireTimeoutMs = 20000;

param_list_t sendRecord(uint8_t add, uint16_t value) {
    param_list_t record;
    record.add = add;
    record.value = value;
    return record;
}

// Records, at the start of every tick, how many requests the master still holds.
class InFlightRecorder : public PollTickHook {
  public:
    void onPollTick(Modbus &worker) override {
        maxInFlight = std::max(maxInFlight.load(), worker.requestsInFlight());
        ++ticks;
    }
    std::atomic<int> maxInFlight{0};
    std::atomic<int> ticks{0};
};

// A write step on a tick that finds a request unanswered, and another on the next tick.
class BusyTickWriter : public PollTickHook {
  public:
    void onPollTick(Modbus &worker) override {
        if (step == 0 && worker.requestsInFlight() > 0) {
            worker.writeHolding(12, 3, true);
            step = 1;
        } else if (step == 1) {
            worker.writeOnDevice(1, 11, 0xFF00, true);
            step = 2;
        }
    }
    std::atomic<int> step{0};
};

// A loopback port whose accept queue is full: a connection attempt gets no answer at all, as
// with a gateway that is switched off or out of reach.
class UnansweredPort {
  public:
    UnansweredPort() : m_listener(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        auto *raw = reinterpret_cast<sockaddr *>(&address);
        if (::bind(m_listener, raw, size) == 0 && ::listen(m_listener, 0) == 0 &&
            ::getsockname(m_listener, raw, &size) == 0) {
            m_port = ntohs(address.sin_port);
            m_filler.connectToHost(QHostAddress::LocalHost, quint16(m_port));
            m_filler.waitForConnected(2000);
        }
    }
    ~UnansweredPort() { ::close(m_listener); }
    int port() const { return m_port; }

  private:
    int m_listener;
    int m_port = 0;
    QTcpSocket m_filler;
};

}  // namespace

class TestWorkerWire : public QObject {
    Q_OBJECT

  private:
    // Starts the bus and the worker and waits for the first complete poll cycle.
    bool startPolling(WorkerHarness &h, int inputs = kInputs);
    // The request that follows the first one equal to `line`, once it is in the log.
    QString requestAfter(WorkerHarness &h, const QString &line);

    std::unique_ptr<UnansweredPort> m_unanswered;

  private slots:
    void pollCycleAlternatesFromRegisterZero_data() { addTransportRows(); }
    void pollCycleAlternatesFromRegisterZero();
    void writeGoesOutOnTheNextTickThenTheHoldingRead();
    void writesAreNeverDropped();
    void sendListWritesOneRecordPerTick();
    void multipleRegisterWrites_data();
    void multipleRegisterWrites();
    void tooManyRegistersAreRefused();
    void rangeReads_data();
    void rangeReads();
    void largeInputMapIsReadCompletely();
    void failuresAreCountedAndReportedOnce();
    void alarmWatchFailsTheTestAndStopsTheDrive();
    void silentDriveNeverPilesUpRequests();
    void exceptionAnswerToAWrite_data();
    void exceptionAnswerToAWrite();
    void passwordVerdict_data();
    void passwordVerdict();
    void portThatCannotBeOpened_data();
    void portThatCannotBeOpened();
    void connectBeforeSetupDoesNothing();
    void vanishingPortDisconnects_data() { addTransportRows(); }
    void vanishingPortDisconnects();
    void restartedDriveIsAnOutage();
};

bool TestWorkerWire::startPolling(WorkerHarness &h, int inputs) {
    QString error;
    if (!h.startBus({1}, &error)) {
        qWarning() << error;
        return false;
    }
    h.connectWorker(inputs, kHoldings);
    return QTest::qWaitFor([&] { return !h.probe.inputs.isEmpty() && !h.probe.holdings.isEmpty(); },
                           kWireTimeoutMs);
}

QString TestWorkerWire::requestAfter(WorkerHarness &h, const QString &line) {
    QString next;
    h.bus.drive.waitForLog(
        [&](const QStringList &) {
            const QStringList requests = h.requests();
            const int at = requests.indexOf(line);
            if (at >= 0 && at + 1 < requests.size()) {
                next = requests.at(at + 1);
            }
            return !next.isEmpty();
        },
        kWireTimeoutMs);
    return next;
}

void TestWorkerWire::pollCycleAlternatesFromRegisterZero() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startPolling(h));
    QVERIFY(h.bus.drive.waitForLog([&](const QStringList &) { return h.requests().size() >= 6; }));
    const QStringList requests = h.requests().mid(0, 6);
    QCOMPARE(requests,
             (QStringList{kInputRead, kHoldingRead, kInputRead, kHoldingRead, kInputRead, kHoldingRead}));
    QCOMPARE(h.probe.inputs.first().start, 0);
    QCOMPARE(h.probe.inputs.first().serverAddress, 1);
    QCOMPARE(h.probe.inputs.first().words.size(), kInputs);
    QCOMPARE(h.probe.inputs.first().words.at(1), uint16_t(0x0123));  // the simulated drive's model
    QCOMPARE(h.probe.holdings.first().start, 0);
    QCOMPARE(h.probe.holdings.first().words.size(), kHoldings);
    QCOMPARE(h.probe.count(QStringLiteral("com_connected")), 1);
    QCOMPARE(h.probe.count(QStringLiteral("ext_disconnected_stop")), 1);  // quiet from construction
}

void TestWorkerWire::writeGoesOutOnTheNextTickThenTheHoldingRead() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    h.worker->writeHolding(1000, 0x1234, true);
    QCOMPARE(requestAfter(h, QStringLiteral("1 06 03 E8 12 34")), kHoldingRead);
    const auto logged =
        h.probe.statusesContaining(QStringLiteral("Writting value 4660 to holding register 1000"));
    QCOMPARE(logged.size(), 1);
    QVERIFY(!logged.first().timestamp && !logged.first().toStatus && logged.first().toBrowser);
}

void TestWorkerWire::writesAreNeverDropped() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    Modbus *worker = h.worker.get();
    h.inWorkerThread([worker] {
        worker->writeHolding(10, 1, false);
        worker->writeHolding(11, 2, false);
    });
    QCOMPARE(requestAfter(h, QStringLiteral("1 06 00 0A 00 01")), QStringLiteral("1 06 00 0B 00 02"));

    // A slow drive: each answer comes after the next tick. Two write steps in a row.
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 150")));
    BusyTickWriter writer;
    h.inWorkerThread([worker, &writer] { worker->setTickHook(&writer); });
    QTRY_COMPARE_WITH_TIMEOUT(writer.step.load(), 2, kWireTimeoutMs);
    QCOMPARE(requestAfter(h, QStringLiteral("1 06 00 0C 00 03")), QStringLiteral("1 05 00 0B FF 00"));
    h.inWorkerThread([worker] { worker->setTickHook(nullptr); });
}

void TestWorkerWire::sendListWritesOneRecordPerTick() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    h.worker->prepareHoldingListToSend({sendRecord(3, 10), sendRecord(4, 20), sendRecord(200, 0xFFFF)});
    QCOMPARE(requestAfter(h, QStringLiteral("1 06 00 C8 FF FF")), kHoldingRead);
    const QStringList requests = h.requests();
    const int first = requests.indexOf(QStringLiteral("1 06 00 03 00 0A"));
    QVERIFY(first >= 0);
    QCOMPARE(requests.mid(first, 4),
             (QStringList{QStringLiteral("1 06 00 03 00 0A"), QStringLiteral("1 06 00 04 00 14"),
                          QStringLiteral("1 06 00 C8 FF FF"), kHoldingRead}));
}

void TestWorkerWire::multipleRegisterWrites_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("expected");
    // level -1: writeHoldings(100, {0x0102, 0xA0B0}) instead of a password
    QTest::newRow("writeHoldings") << -1 << QString() << "1 10 00 64 00 02 04 01 02 A0 B0";
    QTest::newRow("password level 2") << 2 << "ab"
                                      << "1 10 07 D0 00 04 08 00 02 00 61 00 62 00 00";
    QTest::newRow("level 7 sent as 0") << 7 << "ab"
                                       << "1 10 07 D0 00 04 08 00 00 00 61 00 62 00 00";
    QTest::newRow("empty password") << 1 << QString() << "1 10 07 D0 00 02 04 00 01 00 00";
    QString cut = QStringLiteral("1 10 07 D0 00 22 44 00 03");
    for (int i = 0; i < 32; ++i) {
        cut += QStringLiteral(" 00 7A");
    }
    QTest::newRow("40 characters cut to 32")
        << 3 << QString(40, QLatin1Char('z')) << cut + QStringLiteral(" 00 00");
}

void TestWorkerWire::multipleRegisterWrites() {
    QFETCH(int, level);
    QFETCH(QString, password);
    QFETCH(QString, expected);
    WorkerHarness h;
    QVERIFY(startPolling(h));
    if (level < 0) {
        h.worker->writeHoldings(100, {0x0102, 0xA0B0});
    } else {
        h.worker->on_acceptedPassword(level, password);
    }
    QCOMPARE(requestAfter(h, expected), kHoldingRead);
    if (level < 0) {
        QCOMPARE(h.probe
                     .statusesContaining(
                         QStringLiteral("Writting 2 registers starting at 100:  [01] [02] [A0] [B0]"))
                     .size(),
                 1);
    }
}

void TestWorkerWire::tooManyRegistersAreRefused() {
    WorkerHarness h;
    h.worker->writeHoldings(0, QVector<uint16_t>(124, 1));
    QTRY_COMPARE(
        h.probe.statusesContaining(QStringLiteral("Writting 124 registers starting at 0 refused")).size(), 1);
    QCOMPARE(h.worker->isConnected(), false);
}

void TestWorkerWire::rangeReads_data() {
    QTest::addColumn<bool>("aux");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::newRow("range 2000..2009") << false << "1 03 07 D0 00 0A" << 2000 << 10;
    QTest::newRow("aux holdings") << true << "1 03 03 E8 00 40" << 1000 << 64;
}

void TestWorkerWire::rangeReads() {
    QFETCH(bool, aux);
    QFETCH(QString, request);
    QFETCH(int, start);
    QFETCH(int, count);
    WorkerHarness h;
    QVERIFY(startPolling(h));
    aux ? h.worker->readAuxHoldings() : h.worker->readHoldingRange(2000, 10);
    QVERIFY(h.waitForRequest([&](const QString &line) { return line == request; }));
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(h.probe.holdings.begin(), h.probe.holdings.end(),
                                         [&](const WorkerProbe::Words &w) { return w.start == start; }),
                             kWireTimeoutMs);
    for (const WorkerProbe::Words &reply : h.probe.holdings) {
        QCOMPARE(reply.words.size(), reply.start == start ? count : kHoldings);
    }
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Reading holding registers from 2000 to 2009")).size(),
             aux ? 0 : 1);
}

void TestWorkerWire::largeInputMapIsReadCompletely() {
    WorkerHarness h;
    QVERIFY(startPolling(h, 130));
    QCOMPARE(requestAfter(h, QStringLiteral("1 04 00 00 00 7D")), QStringLiteral("1 04 00 7D 00 05"));
    QCOMPARE(h.probe.inputs.first().start, 0);
    QCOMPARE(h.probe.inputs.first().words.size(), 130);
    QCOMPARE(h.probe.inputs.first().words.at(1), uint16_t(0x0123));
}

void TestWorkerWire::failuresAreCountedAndReportedOnce() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    Modbus *worker = h.worker.get();
    h.inWorkerThread([worker] { worker->setTestRunning(true); });
    h.probe.clear();
    QVERIFY(h.bus.drive.command(QStringLiteral("silent on")));
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.count(QStringLiteral("incErrorCnt")) >= 8, kWireTimeoutMs);
    QVERIFY(h.bus.drive.command(QStringLiteral("silent off")));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("ext_disconnected_stop")), 1, kWireTimeoutMs);

    const QString limitText = QStringLiteral("More than 5 consecutive comm. fails, will omit next messages!");
    const auto limitMessages = h.probe.statusesContaining(limitText);
    QCOMPARE(limitMessages.size(), 1);
    QVERIFY(limitMessages.first().timestamp && limitMessages.first().toStatus &&
            limitMessages.first().toBrowser);
    QCOMPARE(h.probe.count(QStringLiteral("ext_disconnected_start")), 1);
    // The message and the start of the outage come with the sixth failure in a row.
    QStringList events = h.probe.events;
    events.removeAll(QStringLiteral("recv_input_registers"));
    events.removeAll(QStringLiteral("recv_holding_registers"));
    QStringList expected;
    for (int i = 0; i < 6; ++i) {
        expected << QStringLiteral("incErrorCnt");
    }
    expected << QStringLiteral("status") << QStringLiteral("ext_disconnected_start")
             << QStringLiteral("status");
    QCOMPARE(events.mid(0, 9), expected);
    QCOMPARE(h.probe.errorNumbers.last(), h.probe.count(QStringLiteral("incErrorCnt")));
    const auto restored = h.probe.statusesContaining(QStringLiteral("Communication restored after "));
    QCOMPARE(restored.size(), 1);
    QVERIFY(restored.first().timestamp && restored.first().text.endsWith(QLatin1String(" s")));
    // A running production test is failed by the same failure.
    const auto testFailure =
        h.probe.statusesContaining(QString::fromUtf8("\r\nFALLO!. Error de comunicación\r\n"));
    QCOMPARE(testFailure.size(), 1);
    QVERIFY(testFailure.first().timestamp && testFailure.first().toStatus && testFailure.first().toBrowser);
    bool failed = false;
    h.inWorkerThread([worker, &failed] { failed = worker->testFailed(); });
    QVERIFY(failed);
}

void TestWorkerWire::alarmWatchFailsTheTestAndStopsTheDrive() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    Modbus *worker = h.worker.get();
    h.inWorkerThread([worker] {
        worker->setTestRunning(true);
        worker->setAlarmCheck(true, 5);
    });
    QVERIFY(h.bus.drive.command(QStringLiteral("set-input 5 3")));
    QVERIFY(h.waitForRequest([](const QString &line) { return line == QLatin1String("1 06 00 42 00 00"); }));
    bool failed = false;
    bool watching = true;
    h.inWorkerThread([&] {
        failed = worker->testFailed();
        watching = worker->alarmCheck();
    });
    QVERIFY(failed);
    QVERIFY(!watching);
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("El registro de alarma 5 es 3")).size(), 1);
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Writting value 0 to holding register 66")).size(), 1);
}

void TestWorkerWire::silentDriveNeverPilesUpRequests() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    InFlightRecorder recorder;
    Modbus *worker = h.worker.get();
    h.inWorkerThread([worker, &recorder] { worker->setTickHook(&recorder); });
    QVERIFY(h.bus.drive.command(QStringLiteral("silent on")));
    // A reply takes longer (250 ms time-out at 115200 bps) than a tick (100 ms).
    QTRY_VERIFY_WITH_TIMEOUT(recorder.ticks >= 15, kWireTimeoutMs);
    h.inWorkerThread([worker] { worker->setTickHook(nullptr); });
    QCOMPARE(recorder.maxInFlight.load(), 1);
}

void TestWorkerWire::exceptionAnswerToAWrite_data() {
    QTest::addColumn<bool>("multiple");
    QTest::addColumn<QString>("command");
    QTest::addColumn<Transport>("transport");
    QTest::newRow("single register: status bar and log") << false << "exception 06 * 2" << Transport::Serial;
    QTest::newRow("multiple registers: status bar only") << true << "exception 10 * 2" << Transport::Serial;
    QTest::newRow("single register through a gateway") << false << "exception 06 * 2" << Transport::Tcp;
}

void TestWorkerWire::exceptionAnswerToAWrite() {
    QFETCH(bool, multiple);
    QFETCH(QString, command);
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startPolling(h));
    QVERIFY(h.bus.drive.command(command));
    multiple ? h.worker->writeHoldings(5, {1}) : h.worker->writeHolding(5, 1, false);
    const QString part = QStringLiteral("(Mobus exception: 0x2)");
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.statusesContaining(part).size(), 1, kWireTimeoutMs);
    const WorkerProbe::Status status = h.probe.statusesContaining(part).first();
    QVERIFY(status.text.startsWith(QLatin1String("Write response error: ")));
    QVERIFY2(status.text.endsWith(QLatin1String("(Mobus exception: 0x2) - register 5: illegal data address")),
             qPrintable(status.text));
    QVERIFY(!status.timestamp && status.toStatus);
    QCOMPARE(status.toBrowser, !multiple);
    QCOMPARE(h.probe.count(QStringLiteral("incErrorCnt")), 0);
}

void TestWorkerWire::passwordVerdict_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("right password") << 2 << "2222"
                                    << "Access level 2 granted";
    QTest::newRow("wrong password") << 3 << "abc"
                                    << "Access level 3 refused: the drive reports level 0";
}

void TestWorkerWire::passwordVerdict() {
    QFETCH(int, level);
    QFETCH(QString, password);
    QFETCH(QString, verdict);
    WorkerHarness h;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));  // access level at input 28
    QString error;
    QVERIFY2(h.bus.start(options, &error), qPrintable(error));
    h.worker->setAccessLevelIndex(28);
    h.connectWorker(kInputs, kHoldings);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWireTimeoutMs);
    h.worker->on_acceptedPassword(level, password);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.statusesContaining(QStringLiteral("Access level ")).size(), 1,
                              kWireTimeoutMs);
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Access level ")).first().text, verdict);
}

void TestWorkerWire::portThatCannotBeOpened_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<Transport>("transport");
    QTest::newRow("missing device") << "/nonexistent/ttyMVX"
                                    << "No such file" << Transport::Serial;
    QTcpServer closed;  // a loopback port that was free a moment ago refuses connections
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("tcp://127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QTest::newRow("refused by the gateway") << refused << "refused" << Transport::Tcp;
    m_unanswered = std::make_unique<UnansweredPort>();
    QTest::newRow("gateway that never answers")
        << QStringLiteral("tcp://127.0.0.1:%1").arg(m_unanswered->port()) << "within 3 s" << Transport::Tcp;
    QTest::newRow("no TCP port") << "tcp://127.0.0.1:"
                                 << "tcp://HOST:PORT" << Transport::Tcp;
}

// Connect fails with the reason, and works once the drive is there.
void TestWorkerWire::portThatCannotBeOpened() {
    QFETCH(QString, port);
    QFETCH(QString, reason);
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    h.worker->setupConnection(port, 0, 1, 115200, 0, kInputs, kHoldings, 1000, 64);
    h.worker->init();
    QTRY_COMPARE(h.probe.count(QStringLiteral("com_disconnected")), 1);
    const auto failed = h.probe.statusesContaining(QStringLiteral("Connect failed: "));
    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed.first().text.contains(reason), qPrintable(failed.first().text));
    QVERIFY(!h.worker->isConnected());

    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.worker->setupConnection(h.bus.endpoint(), 0, 1, 115200, 0, kInputs, kHoldings, 1000, 64);
    h.worker->connectPort();
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWireTimeoutMs);
}

void TestWorkerWire::connectBeforeSetupDoesNothing() {
    WorkerHarness h;
    h.worker->connectPort();
    h.inWorkerThread([] {});
    QCoreApplication::processEvents();
    QVERIFY(h.probe.events.isEmpty());
    QVERIFY(!h.worker->isConnected());
}

void TestWorkerWire::vanishingPortDisconnects() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(startPolling(h));
    h.bus.pullThePlug();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("com_disconnected")), 1, kWireTimeoutMs);
    QVERIFY(!h.worker->isConnected());
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Port lost: ")).size(), 1);

    // Once the port (or the gateway) is there again, Connect works as before.
    QString error;
    QVERIFY2(h.bus.restartDrive({}, &error), qPrintable(error));
    h.probe.clear();
    h.worker->setupConnection(h.bus.endpoint(), 0, 1, 115200, 0, kInputs, kHoldings, 1000, 64);
    h.worker->connectPort();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("com_connected")), 1, kWireTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWireTimeoutMs);
}

void TestWorkerWire::restartedDriveIsAnOutage() {
    WorkerHarness h;
    QVERIFY(startPolling(h));
    h.bus.drive.stop();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("ext_disconnected_start")), 1, kWireTimeoutMs);
    SimulatedDrive::Options options;
    options.port = h.bus.line.drivePort();
    QString error;
    QVERIFY2(h.bus.drive.start(options, &error), qPrintable(error));
    const int before = h.probe.inputs.size();
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.inputs.size() > before, kWireTimeoutMs);
    QVERIFY(h.worker->isConnected());
    QCOMPARE(h.probe.count(QStringLiteral("com_disconnected")), 0);
}

QTEST_GUILESS_MAIN(TestWorkerWire)
#include "tst_worker_wire.moc"
