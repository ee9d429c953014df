#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "comm/modbus.h"
#include "support/testpaths.h"
#include "support/workerharness.h"

namespace {

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

// Something asked of the worker, run in its thread.
using Ask = std::function<void(Modbus &)>;

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

Q_DECLARE_METATYPE(Ask)

class TestWorkerWire : public QObject {
    Q_OBJECT

    std::unique_ptr<UnansweredPort> m_unanswered;

  private slots:
    void pollCycleAlternatesFromRegisterZero_data();
    void pollCycleAlternatesFromRegisterZero();
    void writesGoOutInOrderThenTheHoldingRead_data();
    void writesGoOutInOrderThenTheHoldingRead();
    void writesOnBusyTicksAreNeverDropped();
    void tooManyRegistersAreRefused();
    void rangeReads_data();
    void rangeReads();
    void failuresAreCountedAndReportedOnce();
    void alarmWatchFailsTheTestAndStopsTheDrive();
    void exceptionAnswerToAWrite_data();
    void exceptionAnswerToAWrite();
    void requestTheMasterCannotTake_data();
    void requestTheMasterCannotTake();
    void passwordVerdict_data();
    void passwordVerdict();
    void portThatCannotBeOpened_data();
    void portThatCannotBeOpened();
    void connectBeforeSetupDoesNothing();
    void reconnectWithARequestInFlight();
    void vanishingPortDisconnects_data() { addTransportRows(); }
    void vanishingPortDisconnects();
    void restartedDriveIsAnOutage();
};

void TestWorkerWire::pollCycleAlternatesFromRegisterZero_data() {
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<int>("inputs");
    QTest::addColumn<QStringList>("cycle");
    QTest::newRow("serial") << Transport::Serial << 40 << QStringList{kInputRead, kHoldingRead};
    QTest::newRow("tcp") << Transport::Tcp << 40 << QStringList{kInputRead, kHoldingRead};
    QTest::newRow("130 inputs in two reads")
        << Transport::Serial << 130 << QStringList{"1 04 00 00 00 7D", "1 04 00 7D 00 05", kHoldingRead};
}

void TestWorkerWire::pollCycleAlternatesFromRegisterZero() {
    QFETCH(Transport, transport);
    QFETCH(int, inputs);
    QFETCH(QStringList, cycle);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling({1}, inputs));
    QVERIFY(h.waitForRequests(cycle + cycle + cycle));
    QCOMPARE(h.requests().mid(0, 3 * cycle.size()), cycle + cycle + cycle);
    const WorkerProbe::Words &first = h.probe.inputs.first();
    QCOMPARE(QList<int>({first.start, first.serverAddress, first.words.size()}), QList<int>({0, 1, inputs}));
    QCOMPARE(first.words.at(1), uint16_t(0x0123));  // the simulated drive's model
    QCOMPARE(h.probe.holdings.first().start, 0);
    QCOMPARE(h.probe.holdings.first().words.size(), kHoldings);
    QCOMPARE(h.probe.count(QStringLiteral("com_connected")), 1);
    QCOMPARE(h.probe.count(QStringLiteral("ext_disconnected_stop")), 1);  // quiet from construction
}

void TestWorkerWire::writesGoOutInOrderThenTheHoldingRead_data() {
    QTest::addColumn<Ask>("ask");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("logged");
    QTest::newRow("single register") << Ask([](Modbus &w) { w.writeHolding(1000, 0x1234, true); })
                                     << QStringList{"1 06 03 E8 12 34"}
                                     << "Writting value 4660 to holding register 1000";
    QTest::newRow("two in one call") << Ask([](Modbus &w) {
        w.writeHolding(10, 1, false);
        w.writeHolding(11, 2, false);
    }) << QStringList{"1 06 00 0A 00 01", "1 06 00 0B 00 02"}
                                     << QString();
    QTest::newRow("send list, one record per tick") << Ask([](Modbus &w) {
        w.prepareHoldingListToSend({sendRecord(3, 10), sendRecord(4, 20), sendRecord(200, 0xFFFF)});
    }) << QStringList{"1 06 00 03 00 0A", "1 06 00 04 00 14", "1 06 00 C8 FF FF"}
                                                    << QString();
    QTest::newRow("writeHoldings") << Ask([](Modbus &w) {
        w.writeHoldings(100, {0x0102, 0xA0B0});
    }) << QStringList{"1 10 00 64 00 02 04 01 02 A0 B0"}
                                   << "Writting 2 registers starting at 100:  [01] [02] [A0] [B0]";
    QTest::newRow("password level 2")
        << Ask([](Modbus &w) { w.on_acceptedPassword(2, "ab"); })
        << QStringList{"1 10 07 D0 00 04 08 00 02 00 61 00 62 00 00"} << QString();
    QTest::newRow("level 7 sent as 0")
        << Ask([](Modbus &w) { w.on_acceptedPassword(7, "ab"); })
        << QStringList{"1 10 07 D0 00 04 08 00 00 00 61 00 62 00 00"} << QString();
    QTest::newRow("empty password") << Ask([](Modbus &w) { w.on_acceptedPassword(1, QString()); })
                                    << QStringList{"1 10 07 D0 00 02 04 00 01 00 00"} << QString();
    const QString cut = QStringLiteral("1 10 07 D0 00 22 44 00 03") + QStringLiteral(" 00 7A").repeated(32);
    QTest::newRow("40 characters cut to 32")
        << Ask([](Modbus &w) { w.on_acceptedPassword(3, QString(40, 'z')); })
        << QStringList{cut + QStringLiteral(" 00 00")} << QString();
}

// Each write goes out on its own tick, in the order asked for, and the holding read follows.
void TestWorkerWire::writesGoOutInOrderThenTheHoldingRead() {
    QFETCH(Ask, ask);
    QFETCH(QStringList, frames);
    QFETCH(QString, logged);
    WorkerHarness h;
    QVERIFY(h.startPolling());
    h.ask([&ask](Modbus &worker) { return ask(worker), true; });
    QVERIFY(h.waitForRequests(frames << kHoldingRead));
    QVERIFY(logged.isEmpty() || h.probe.routeOf(logged) == QLatin1String("--B"));
}

void TestWorkerWire::writesOnBusyTicksAreNeverDropped() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
    // A slow drive: each answer comes after the next tick. Two write steps in a row.
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 150")));
    std::atomic<int> step{0};
    h.onTick([&step](Modbus &worker) {
        if (step == 0 && worker.requestsInFlight() > 0) {
            worker.writeHolding(12, 3, true);
            step = 1;
        } else if (step == 1) {
            worker.writeOnDevice(1, 11, 0xFF00, true);
            step = 2;
        }
    });
    QTRY_COMPARE_WITH_TIMEOUT(step.load(), 2, kWireTimeoutMs);
    QVERIFY(h.waitForRequests({QStringLiteral("1 06 00 0C 00 03"), QStringLiteral("1 05 00 0B FF 00")}));
    h.onTick(nullptr);
}

void TestWorkerWire::tooManyRegistersAreRefused() {
    WorkerHarness h;
    h.worker->writeHoldings(0, QVector<uint16_t>(124, 1));
    QTRY_COMPARE(h.probe.said(QStringLiteral("Writting 124 registers starting at 0 refused")), 1);
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
    QVERIFY(h.startPolling());
    aux ? h.worker->readAuxHoldings() : h.worker->readHoldingRange(2000, 10);
    QVERIFY(h.waitForRequests({request}));
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(h.probe.holdings.begin(), h.probe.holdings.end(),
                                         [&](const WorkerProbe::Words &w) { return w.start == start; }),
                             kWireTimeoutMs);
    for (const WorkerProbe::Words &reply : h.probe.holdings) {
        QCOMPARE(reply.words.size(), reply.start == start ? count : kHoldings);
    }
    QCOMPARE(h.probe.said(QStringLiteral("Reading holding registers from 2000 to 2009")), aux ? 0 : 1);
}

void TestWorkerWire::failuresAreCountedAndReportedOnce() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
    h.ask([](Modbus &worker) { return worker.setTestRunning(true), true; });
    h.probe.clear();
    int maxInFlight = 0;  // a reply takes longer (250 ms time-out) than a tick (100 ms)
    h.onTick(
        [&maxInFlight](Modbus &worker) { maxInFlight = std::max(maxInFlight, worker.requestsInFlight()); });
    QVERIFY(h.bus.drive.command(QStringLiteral("silent on")));
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.count(QStringLiteral("incErrorCnt")) >= 8, kWireTimeoutMs);
    h.onTick(nullptr);
    QCOMPARE(maxInFlight, 1);  // no requests pile up
    QVERIFY(h.bus.drive.command(QStringLiteral("silent off")));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("ext_disconnected_stop")), 1, kWireTimeoutMs);

    QCOMPARE(h.probe.routeOf(QStringLiteral("More than 5 consecutive comm. fails, will omit next messages!")),
             QStringLiteral("TSB"));
    QCOMPARE(h.probe.count(QStringLiteral("ext_disconnected_start")), 1);
    // The message and the start of the outage come with the sixth failure in a row.
    QStringList events = h.probe.events;
    events.removeAll(QStringLiteral("recv_input_registers"));
    events.removeAll(QStringLiteral("recv_holding_registers"));
    QCOMPARE(
        events.mid(0, 9).join(QLatin1Char(' ')),
        QStringLiteral("incErrorCnt ").repeated(6) + QStringLiteral("status ext_disconnected_start status"));
    QCOMPARE(h.probe.errorNumbers.last(), h.probe.count(QStringLiteral("incErrorCnt")));
    QCOMPARE(h.probe.routeOf(QStringLiteral("Communication restored after ")), QStringLiteral("TSB"));
    QVERIFY(h.probe.statusesContaining(QStringLiteral("Communication restored after "))
                .first()
                .text.endsWith(" s"));
    // A running production test is failed by the same failure.
    QCOMPARE(h.probe.routeOf(QString::fromUtf8("\r\nFALLO!. Error de comunicación\r\n")),
             QStringLiteral("TSB"));
    QVERIFY(h.ask([](Modbus &worker) { return worker.testFailed(); }));
}

void TestWorkerWire::alarmWatchFailsTheTestAndStopsTheDrive() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
    h.ask([](Modbus &worker) {
        worker.setTestRunning(true);
        return worker.setAlarmCheck(true, 5), true;
    });
    QVERIFY(h.bus.drive.command(QStringLiteral("set-input 5 3")));
    QVERIFY(h.waitForRequests({QStringLiteral("1 06 00 42 00 00")}));
    QVERIFY(h.ask([](Modbus &worker) { return worker.testFailed() && !worker.alarmCheck(); }));
    QCOMPARE(h.probe.said(QStringLiteral("El registro de alarma 5 es 3")), 1);
    QCOMPARE(h.probe.said(QStringLiteral("Writting value 0 to holding register 66")), 1);
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
    QVERIFY(h.startPolling());
    QVERIFY(h.bus.drive.command(command));
    multiple ? h.worker->writeHoldings(5, {1}) : h.worker->writeHolding(5, 1, false);
    const QString part = QStringLiteral("(Mobus exception: 0x2)");
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(part), 1, kWireTimeoutMs);
    const WorkerProbe::Status status = h.probe.statusesContaining(part).first();
    QVERIFY(status.text.startsWith(QLatin1String("Write response error: ")));
    QVERIFY2(status.text.endsWith(QLatin1String("(Mobus exception: 0x2) - register 5: illegal data address")),
             qPrintable(status.text));
    QCOMPARE(h.probe.routeOf(part), QLatin1String(multiple ? "-S-" : "-SB"));
    QCOMPARE(h.probe.count(QStringLiteral("incErrorCnt")), 0);
}

void TestWorkerWire::requestTheMasterCannotTake_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("write");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("route");
    QTest::newRow("input read: stamped") << int(Modbus::ESTADO_R_INPUTS) << false << "Read error: "
                                         << "TSB";
    QTest::newRow("holding read") << int(Modbus::ESTADO_R_HOLDINGS) << false << "Read error: "
                                  << "-S-";
    QTest::newRow("write") << int(Modbus::ESTADO_R_INPUTS) << true << "Write error: "
                           << "-S-";
}

// A tick whose request finds the port closed (here by the tick itself) says so, with the
// master's reason.
void TestWorkerWire::requestTheMasterCannotTake() {
    QFETCH(int, state);
    QFETCH(bool, write);
    QFETCH(QString, text);
    QFETCH(QString, route);
    WorkerHarness h;
    QVERIFY(h.startPolling());
    bool done = false;
    h.onTick([&](Modbus &worker) {
        if (!done && worker.pollState() == state) {
            done = true;
            if (write) {
                worker.writeHolding(7, 1, false);
            }
            worker.disconnectPort();
        }
    });
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(text), 1, kWireTimeoutMs);
    h.onTick(nullptr);
    const WorkerProbe::Status status = h.probe.statusesContaining(text).first();
    QVERIFY2(status.text.startsWith(text) && status.text.size() > text.size(), qPrintable(status.text));
    QCOMPARE(h.probe.routeOf(text), route);
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
    options.accessLevel = 0;
    QString error;
    QVERIFY2(h.bus.start(options, &error), qPrintable(error));
    h.worker->setAccessLevelIndex(28);
    h.connectWorker(40, kHoldings);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWireTimeoutMs);
    h.worker->on_acceptedPassword(level, password);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(QStringLiteral("Access level ")), 1, kWireTimeoutMs);
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
    h.worker->setupConnection(port, 0, 1, 115200, 0, 40, kHoldings, 1000, 64);
    h.worker->init();
    QTRY_COMPARE(h.probe.count(QStringLiteral("com_disconnected")), 1);
    const auto failed = h.probe.statusesContaining(QStringLiteral("Connect failed: "));
    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed.first().text.contains(reason), qPrintable(failed.first().text));
    QVERIFY(!h.worker->isConnected());

    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.worker->setupConnection(h.bus.endpoint(), 0, 1, 115200, 0, 40, kHoldings, 1000, 64);
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

// Disconnect while the drive has not answered yet, then five Connect presses: one connection,
// each input reply delivered once, and the dropped request counts as no failure.
void TestWorkerWire::reconnectWithARequestInFlight() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 150")));
    QVERIFY(QTest::qWaitFor(  // QTRY would ask once more after the answer
        [&] {
            return h.ask([](Modbus &worker) {
                const bool inFlight = worker.requestsInFlight() > 0;
                if (inFlight) {
                    worker.disconnectPort();
                }
                return inFlight;
            });
        },
        kWireTimeoutMs));
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 0")));
    for (int press = 0; press < 5; ++press) {
        h.worker->connectPort();
    }
    QVERIFY(h.waitForMore(kInputRead, 4));
    QCOMPARE(h.probe.count(QStringLiteral("com_connected")), 2);
    QCOMPARE(h.probe.count(QStringLiteral("com_disconnected")), 1);
    QCOMPARE(h.probe.count(QStringLiteral("incErrorCnt")), 0);
    QCOMPARE(h.probe.said(QStringLiteral("Port lost")), 0);
    QVERIFY(h.probe.inputs.size() <= h.requests().count(kInputRead));
    QVERIFY(h.probe.holdings.size() <= h.requests().count(kHoldingRead));
}

void TestWorkerWire::vanishingPortDisconnects() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling());
    h.bus.pullThePlug();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("com_disconnected")), 1, kWireTimeoutMs);
    QVERIFY(!h.worker->isConnected());
    QCOMPARE(h.probe.said(QStringLiteral("Port lost: ")), 1);

    // Once the port (or the gateway) is there again, Connect works as before.
    QString error;
    QVERIFY2(h.bus.restartDrive({}, &error), qPrintable(error));
    h.probe.clear();
    h.worker->setupConnection(h.bus.endpoint(), 0, 1, 115200, 0, 40, kHoldings, 1000, 64);
    h.worker->connectPort();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count(QStringLiteral("com_connected")), 1, kWireTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWireTimeoutMs);
}

void TestWorkerWire::restartedDriveIsAnOutage() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
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
