#include <sys/socket.h>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include "comm/modbus.h"
#include "support/testpaths.h"
#include "support/workerharness.h"

namespace {

constexpr int kWaitMs = 20000;
const QString kInputRead = QStringLiteral("1 04 00 00 00 28");
const QString kHoldingRead = QStringLiteral("1 03 00 00 00 40");

bool hasReplyFrom(const WorkerHarness &h, int start) {
    return std::any_of(h.probe.holdings.begin(), h.probe.holdings.end(),
                       [start](const WorkerProbe::Words &w) { return w.start == start; });
}

// A loopback port whose accept queue is full: a connection attempt gets no answer at all, as
// with a gateway that is switched off or out of reach.
struct UnansweredPort {
    UnansweredPort() {
        server.listen(QHostAddress::LocalHost);
        server.pauseAccepting();
        ::listen(int(server.socketDescriptor()), 0);  // room for one waiting connection: the filler's
        filler.connectToHost(QHostAddress::LocalHost, server.serverPort());
        filler.waitForConnected(2000);
    }
    QTcpServer server;
    QTcpSocket filler;
};

}  // namespace

class TestWorkerWire : public QObject {
    Q_OBJECT

    std::unique_ptr<UnansweredPort> m_unanswered;

  private slots:
    void pollWriteAndRead_data();
    void pollWriteAndRead();
    void slowAndSilentDrive();
    void disconnectAndReconnect_data() { addTransportRows(); }
    void disconnectAndReconnect();
    void passwordVerdict();
    void stopOvertakesWaitingWrites_data() { addTransportRows(); }
    void stopOvertakesWaitingWrites();
    void writesNeverReachAnotherDrive_data() { addTransportRows(); }
    void writesNeverReachAnotherDrive();
    void portThatCannotBeOpened_data();
    void portThatCannotBeOpened();
};

void TestWorkerWire::pollWriteAndRead_data() {
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<int>("inputs");
    QTest::addColumn<QStringList>("cycle");
    QTest::newRow("serial") << Transport::Serial << 40 << QStringList{kInputRead, kHoldingRead};
    QTest::newRow("tcp, 130 inputs in two reads")
        << Transport::Tcp << 130 << QStringList{"1 04 00 00 00 7D", "1 04 00 7D 00 05", kHoldingRead};
}

void TestWorkerWire::pollWriteAndRead() {
    QFETCH(Transport, transport);
    QFETCH(int, inputs);
    QFETCH(QStringList, cycle);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling({1}, inputs));
    // The poll cycle alternates inputs and holdings from register 0; word 1 is the drive's model.
    QVERIFY(h.waitForRequests(cycle + cycle + cycle));
    QCOMPARE(h.requests().mid(0, 3 * cycle.size()), cycle + cycle + cycle);
    const WorkerProbe::Words &in = h.probe.inputs.first(), &hold = h.probe.holdings.first();
    QCOMPARE(QList<int>({in.start, in.serverAddress, in.words.size(), in.words.at(1), hold.start,
                         hold.words.size()}),
             QList<int>({0, 1, inputs, 0x0123, 0, 64}));
    // Quiet from construction: connecting ends no outage of its own.
    QCOMPARE(h.probe.events.filter("_"), (QStringList{"com_connected", "ext_disconnected_stop"}));

    // Each write goes out on its own tick, in the order asked for, and the holding read follows.
    h.worker->writeHolding(1000, 0x1234, true);
    QVERIFY(h.waitForRequests({"1 06 03 E8 12 34", kHoldingRead}));
    QCOMPARE(h.probe.routeOf("Writting value 4660 to holding register 1000"), "--B");
    h.ask([](Modbus &w) { return w.writeHolding(10, 1, false), w.writeHolding(11, 2, false), true; });
    QVERIFY(h.waitForRequests({"1 06 00 0A 00 01", "1 06 00 0B 00 02", kHoldingRead}));
    h.worker->prepareHoldingListToSend({{3, 3, 10}, {3, 4, 20}, {3, 200, 0xFFFF}});  // kind, address, value
    QVERIFY(h.waitForRequests({"1 06 00 03 00 0A", "1 06 00 04 00 14", "1 06 00 C8 FF FF", kHoldingRead}));
    h.worker->writeHoldings(100, {0x0102, 0xA0B0});
    QVERIFY(h.waitForRequests({"1 10 00 64 00 02 04 01 02 A0 B0", kHoldingRead}));
    QCOMPARE(h.probe.routeOf("Writting 2 registers starting at 100:  [01] [02] [A0] [B0]"), "--B");
    // The password write: level 1 to 3 (else 0) and up to 32 characters, one per register.
    const QString cut = QStringLiteral("1 10 07 D0 00 22 44 00 03") + QStringLiteral(" 00 7A").repeated(32);
    for (const auto &[level, password, frame] :
         {std::tuple{2, QString("ab"), QString("1 10 07 D0 00 04 08 00 02 00 61 00 62 00 00")},
          {7, "ab", "1 10 07 D0 00 04 08 00 00 00 61 00 62 00 00"},
          {1, "", "1 10 07 D0 00 02 04 00 01 00 00"},
          {3, QString(40, 'z'), cut + " 00 00"}}) {
        h.worker->on_acceptedPassword(level, password);
        QVERIFY2(h.waitForRequests({frame, kHoldingRead}), qPrintable(frame));
    }

    // Range and aux reads come back as holding replies of their own size.
    h.worker->readHoldingRange(2000, 10);
    QVERIFY(h.waitForRequests({"1 03 07 D0 00 0A"}));
    QTRY_VERIFY_WITH_TIMEOUT(hasReplyFrom(h, 2000), kWaitMs);
    h.worker->readAuxHoldings();
    QVERIFY(h.waitForRequests({"1 03 03 E8 00 40"}));
    QTRY_VERIFY_WITH_TIMEOUT(hasReplyFrom(h, 1000), kWaitMs);
    for (const WorkerProbe::Words &reply : h.probe.holdings) {
        QCOMPARE(reply.words.size(), reply.start == 2000 ? 10 : 64);
    }
    QCOMPARE(h.probe.said("Reading holding registers from 2000 to 2009"), 1);

    // A write the drive refuses: the reply's text, then the register and the exception in words;
    // a single-register write's goes to the log area too. No communication failure.
    QVERIFY(h.bus.drive.command("exception 06 * 2") && h.bus.drive.command("exception 10 * 2"));
    for (const bool multiple : {false, true}) {
        h.probe.clear();
        multiple ? h.worker->writeHoldings(5, {1}) : h.worker->writeHolding(5, 1, false);
        const QString part = QStringLiteral("(Mobus exception: 0x2)");
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(part), 1, kWaitMs);
        const QString text = h.probe.statusesContaining(part).first().text;
        QVERIFY2(text.startsWith("Write response error: ") &&
                     text.endsWith("(Mobus exception: 0x2) - register 5: illegal data address"),
                 qPrintable(text));
        QCOMPARE(h.probe.routeOf(part), multiple ? "-S-" : "-SB");
        QCOMPARE(h.probe.count("incErrorCnt"), 0);
    }

    // The alarm watch of a running test: an alarm fails the test and stops the drive.
    QVERIFY(h.bus.drive.command("exception clear"));
    h.ask([](Modbus &worker) { return worker.setTestRunning(true), worker.setAlarmCheck(true, 5), true; });
    QVERIFY(h.bus.drive.command("set-input 5 3"));
    QVERIFY(h.waitForRequests({"1 06 00 42 00 00"}));
    QVERIFY(h.ask([](Modbus &worker) { return worker.testFailed() && !worker.alarmCheck(); }));
    QCOMPARE(h.probe.said("El registro de alarma 5 es 3"), 1);
    QCOMPARE(h.probe.said("Writting value 0 to holding register 66"), 1);
}

// A slow drive: each answer comes after the next tick; then a silent one.
void TestWorkerWire::slowAndSilentDrive() {
    WorkerHarness h;
    QVERIFY(h.startPolling());
    // Two write steps on consecutive busy ticks both go out.
    QVERIFY(h.bus.drive.command("delay 150"));
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
    QTRY_COMPARE_WITH_TIMEOUT(step.load(), 2, kWaitMs);
    h.onTick(nullptr);
    QVERIFY(h.waitForRequests({"1 06 00 0C 00 03", "1 05 00 0B FF 00"}));
    QVERIFY(h.bus.drive.command("delay 0"));

    // A silent drive: failures are counted, the outage is reported once and fails a running test.
    h.ask([](Modbus &worker) { return worker.setTestRunning(true), true; });
    h.probe.clear();
    int maxInFlight = 0;  // a reply takes longer (250 ms time-out) than a tick (100 ms)
    h.onTick(
        [&maxInFlight](Modbus &worker) { maxInFlight = std::max(maxInFlight, worker.requestsInFlight()); });
    QVERIFY(h.bus.drive.command("silent on"));
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.count("incErrorCnt") >= 8, kWaitMs);
    h.onTick(nullptr);
    QCOMPARE(maxInFlight, 1);  // no requests pile up
    QVERIFY(h.bus.drive.command("silent off"));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("ext_disconnected_stop"), 1, kWaitMs);

    // The message and the start of the outage come with the sixth failure in a row, once.
    QCOMPARE(h.probe.events.mid(0, 9).join(' '),
             QStringLiteral("incErrorCnt ").repeated(6) + "status ext_disconnected_start status");
    QCOMPARE(h.probe.count("ext_disconnected_start"), 1);
    QCOMPARE(h.probe.routeOf("More than 5 consecutive comm. fails, will omit next messages!"), "TSB");
    QCOMPARE(h.probe.errorNumbers.last(), h.probe.count("incErrorCnt"));
    QCOMPARE(h.probe.routeOf("Communication restored after "), "TSB");
    QVERIFY(h.probe.statusesContaining("Communication restored after ").first().text.endsWith(" s"));
    // A running production test is failed by the same failure.
    QCOMPARE(h.probe.routeOf(QString::fromUtf8("\r\nFALLO!. Error de comunicación\r\n")), "TSB");
    QVERIFY(h.ask([](Modbus &worker) { return worker.testFailed(); }));
}

void TestWorkerWire::disconnectAndReconnect() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling());
    // Disconnect while the drive has not answered yet, then five Connect presses: one
    // connection, each reply delivered once, and the dropped request counts as no failure.
    QVERIFY(h.bus.drive.command("delay 60"));
    QVERIFY(QTest::qWaitFor(  // QTRY would ask once more after the answer
        [&] {
            return h.ask([](Modbus &worker) {
                const bool inFlight = worker.requestsInFlight() > 0;
                inFlight ? worker.disconnectPort() : void();
                return inFlight;
            });
        },
        kWaitMs));
    QVERIFY(h.bus.drive.command("delay 0"));
    for (int press = 0; press < 5; ++press) {
        h.worker->connectPort();
    }
    QVERIFY(h.waitForMore(kInputRead, 4));
    QCOMPARE(QList<int>({h.probe.count("com_connected"), h.probe.count("com_disconnected"),
                         h.probe.count("incErrorCnt"), h.probe.said("Port lost")}),
             QList<int>({2, 1, 0, 0}));
    QVERIFY(h.probe.inputs.size() <= h.requests().count(kInputRead));
    QVERIFY(h.probe.holdings.size() <= h.requests().count(kHoldingRead));

    // A tick whose request finds the port closed (here by the tick itself) says so, with the
    // master's reason; Connect goes on from there.
    const struct {
        int state;
        bool write;
        const char *text, *route;
    } closedPort[] = {{Modbus::ESTADO_R_INPUTS, false, "Read error: ", "TSB"},
                      {Modbus::ESTADO_R_HOLDINGS, false, "Read error: ", "-S-"},
                      // A write asked for just before Disconnect is dropped, not sent later.
                      {Modbus::ESTADO_R_INPUTS, true, "Not sent (disconnected): ", "--B"}};
    for (const auto &c : closedPort) {
        h.probe.clear();
        bool done = false;
        h.onTick([&](Modbus &worker) {
            if (!done && worker.pollState() == c.state) {
                done = true;
                c.write ? worker.writeHolding(7, 1, false) : void();
                worker.disconnectPort();
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.said(c.text), 1, kWaitMs);
        h.onTick(nullptr);
        const QString text = h.probe.statusesContaining(c.text).first().text;
        QVERIFY2(text.startsWith(c.text) && text != c.text && h.probe.routeOf(c.text) == c.route,
                 qPrintable(text));
        h.worker->connectPort();
        QVERIFY(h.waitForMore(kInputRead));
    }

    // A serial drive that stops answering and comes back is an outage, not a disconnect.
    h.probe.clear();
    if (transport == Transport::Serial) {
        h.bus.drive.stop();
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("ext_disconnected_start"), 1, kWaitMs);
        SimulatedDrive::Options options;
        options.port = h.bus.line.drivePort();
        QVERIFY(h.bus.drive.start(options));
        const int before = h.probe.inputs.size();
        QTRY_VERIFY_WITH_TIMEOUT(h.probe.inputs.size() > before, kWaitMs);
        QVERIFY(h.worker->isConnected());
        QCOMPARE(h.probe.count("com_disconnected"), 0);
    }
    // A port (or gateway) that vanishes disconnects; once it is back, Connect works as before.
    h.bus.pullThePlug();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_disconnected"), 1, kWaitMs);
    QVERIFY(!h.worker->isConnected());
    QCOMPARE(h.probe.said("Port lost: "), 1);
    QVERIFY(h.bus.restartDrive({}));
    h.probe.clear();
    h.connectWorker(40, 64);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_connected"), 1, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWaitMs);
}

// The level the next input reply reports after the password write is the verdict.
void TestWorkerWire::passwordVerdict() {
    WorkerHarness h;
    SimulatedDrive::Options options;
    options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));  // access level at input 28
    options.accessLevel = 0;
    QVERIFY(h.bus.start(options));
    h.worker->setAccessLevelIndex(28);
    h.connectWorker(40, 64);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWaitMs);
    for (const auto &[level, password, verdict] :
         {std::tuple{3, "abc", "Access level 3 refused: the drive reports level 0"},
          {2, "2222", "Access level 2 granted"}}) {
        h.probe.clear();
        h.worker->on_acceptedPassword(level, password);
        QTRY_COMPARE_WITH_TIMEOUT(h.probe.said("Access level "), 1, kWaitMs);
        QCOMPARE(h.probe.statusesContaining("Access level ").first().text, verdict);
    }
}

// Stop goes out before the writes that were already waiting.
void TestWorkerWire::stopOvertakesWaitingWrites() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling());
    bool asked = false;
    h.onTick([&asked](Modbus &worker) {
        if (!asked) {
            asked = true;
            for (int value = 1; value <= 30; ++value) {
                worker.writeHolding(9, value, false);
            }
            worker.writeStopCommand(66);
        }
    });
    QVERIFY(h.waitForRequest([](const QString &line) { return line == "1 06 00 09 00 1E"; }));
    h.onTick(nullptr);
    const QStringList writes = h.requests().filter(QRegularExpression(QStringLiteral("^1 06 ")));
    QCOMPARE(writes.size(), 31);
    QCOMPARE(writes.first(), QStringLiteral("1 06 00 42 00 00"));
    QCOMPARE(writes.at(1), QStringLiteral("1 06 00 09 00 01"));
}

// A write asked for while disconnected is refused; a parameter send cut short by Disconnect does
// not go on after the next Connect, nor do writes queued before a change of address.
void TestWorkerWire::writesNeverReachAnotherDrive() {
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    QVERIFY(h.startPolling({1, 2}));
    h.worker->disconnectPort();
    QTRY_COMPARE(h.probe.count("com_disconnected"), 1);
    h.worker->writeHolding(5, 77, true);
    QTRY_COMPARE(h.probe.said("Write refused: the drive is not connected"), 1);
    QCOMPARE(h.probe.routeOf("Write refused: the drive is not connected"), QStringLiteral("-SB"));

    h.worker->connectPort();
    QVERIFY(h.waitForMore(kInputRead));
    QVector<param_list_t> records(3);
    for (int i = 0; i < records.size(); ++i) {
        records[i].add = uint8_t(5 + i);
        records[i].value = uint16_t(0x4D + 11 * i);
    }
    // A slow answer holds the second record back until Disconnect has come.
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 500")));
    h.worker->prepareHoldingListToSend(records);
    QVERIFY(h.waitForRequest([](const QString &line) { return line == "1 06 00 05 00 4D"; }));
    h.worker->disconnectPort();
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.count("com_disconnected"), 2, kWaitMs);
    QVERIFY(h.bus.drive.command(QStringLiteral("delay 0")));
    QTRY_COMPARE(h.probe.said("Not sent (disconnected): 2 parameter-file records"), 1);

    h.worker->setServerAddress(2);
    h.worker->connectPort();
    QVERIFY(h.waitForMore(QStringLiteral("2 04 00 00 00 28")));
    h.onTick([](Modbus &worker) {
        if (worker.pollState() == Modbus::ESTADO_R_INPUTS) {
            worker.writeHolding(9, 1, false);
            worker.setServerAddress(1);
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.said("Not sent (the drive address changed to 1): 1 pending write") > 0,
                             kWaitMs);
    h.onTick(nullptr);
    QVERIFY(h.waitForMore(kInputRead));
    const QStringList writes = h.requests().filter(QRegularExpression(QStringLiteral("^\\d+ 06 ")));
    QCOMPARE(writes, QStringList{"1 06 00 05 00 4D"});
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
        << QStringLiteral("tcp://127.0.0.1:%1").arg(m_unanswered->server.serverPort()) << "within 3 s"
        << Transport::Tcp;
    QTest::newRow("no TCP port") << "tcp://127.0.0.1:"
                                 << "tcp://HOST:PORT" << Transport::Tcp;
}

// Connect fails with the reason, and works once the drive is there.
void TestWorkerWire::portThatCannotBeOpened() {
    QFETCH(QString, port);
    QFETCH(QString, reason);
    QFETCH(Transport, transport);
    WorkerHarness h(transport);
    // Before any set-up: Connect does nothing; a write too long for one request is refused.
    h.worker->connectPort();
    h.worker->writeHoldings(0, QVector<uint16_t>(124, 1));
    QTRY_COMPARE(h.probe.said("Writting 124 registers starting at 0 refused"), 1);
    QCOMPARE(h.probe.events, QStringList{"status"});

    h.worker->setupConnection(port, 0, 1, 115200, 0, 40, 64, 1000, 64);
    h.worker->init();
    QTRY_COMPARE(h.probe.count("com_disconnected"), 1);
    const auto failed = h.probe.statusesContaining("Connect failed: ");
    QCOMPARE(failed.size(), 1);
    QVERIFY2(failed.first().text.contains(reason), qPrintable(failed.first().text));
    QVERIFY(!h.worker->isConnected());

    QVERIFY(h.bus.start({}));
    h.connectWorker(40, 64);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), kWaitMs);
}

QTEST_GUILESS_MAIN(TestWorkerWire)
#include "tst_worker_wire.moc"
