#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#include <QModbusClient>
#include <QTcpServer>
#include <QtTest>
#include <memory>

#include "comm/endpoint.h"
#include "comm/modbuslink.h"
#include "support/mvxctlrun.h"
#include "support/processcpu.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

const QString mapPath = testpaths::example(QStringLiteral("drive-map.xml"));

// Empty when a server can listen on the IPv6 loopback address, else why not.
QString ipv6LoopbackMissing() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0) ? QString() : probe.errorString();
}

// Of a core, while a command waits on the drive. A busy wait takes most of a core (64 to 99%
// seen); one that sleeps stays near 1% (bench_mvxctl_cpu prints the figures). The bound is far
// from both, so that a loaded machine or an instrumented build does not make the test flaky.
constexpr int kMostPercentWaiting = 20;

// A pseudo-terminal that a child process writes to as to a console: isatty() holds there.
class Terminal {
  public:
    ~Terminal() {
        for (int fd : {m_master, m_slave}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }

    bool open() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
            return false;
        }
        m_path = QString::fromLocal8Bit(ptsname(m_master));
        // Held open so that what the child wrote stays readable after it ended; raw, so that
        // the terminal adds no carriage return of its own before each newline.
        m_slave = ::open(ptsname(m_master), O_RDWR | O_NOCTTY);
        termios raw{};
        if (m_slave < 0 || tcgetattr(m_slave, &raw) != 0) {
            return false;
        }
        cfmakeraw(&raw);
        return tcsetattr(m_slave, TCSANOW, &raw) == 0 && fcntl(m_master, F_SETFL, O_NONBLOCK) == 0;
    }

    QString path() const { return m_path; }

    QByteArray readAll() const {
        QByteArray bytes;
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(m_master, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, int(got));
        }
        return bytes;
    }

  private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

}  // namespace

// How mvxctl reaches a drive and how it waits for one.
class TestMvxctlLink : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString firmwareFile() const { return m_dir.filePath(QStringLiteral("drive_user.ofw")); }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QFile firmware(firmwareFile());
        // About a hundred blocks: a few seconds of sending at 115200 bps.
        QVERIFY(firmware.open(QIODevice::WriteOnly) && firmware.write(QByteArray(12000, char(0x5A))) > 0);
    }

    // The share of a core the command uses from the drive's first request to its exit.
    void waitingOnTheDriveLeavesTheProcessorAlone_data() {
        QTest::addColumn<QStringList>("command");  // --port is added
        QTest::addColumn<QString>("fault");
        QTest::newRow("read, silent drive") << QStringList{"read", "--map", mapPath} << "silent on";
        QTest::newRow("search, silent addresses")
            << QStringList{"search", "--to", "20", "--timeout", "200"} << "silent on";
        QTest::newRow("flash") << QStringList{"flash", "--file", firmwareFile()} << "delay 0";
    }
    void waitingOnTheDriveLeavesTheProcessorAlone() {
        QFETCH(QStringList, command);
        QFETCH(QString, fault);
        constexpr int kShortestWindowMs = 2000;  // the clock ticks by 10 ms: long enough to tell 2%
        SimulatedBus bus;
        QVERIFY(startExampleDrive(bus, Transport::Serial) && bus.drive.command(fault));
        command.insert(1, QStringLiteral("--port"));
        command.insert(2, bus.endpoint());

        const qint64 endedBefore = processcpu::endedChildrenCpuMs();
        QProcess mvxctl;
        mvxctl.start(testpaths::mvxctl(), command);
        QTRY_VERIFY_WITH_TIMEOUT(!bus.drive.requests().isEmpty(), 10000);
        const qint64 spentBeforeWaiting = processcpu::runningProcessCpuMs(mvxctl.processId());
        QElapsedTimer window;
        window.start();
        QVERIFY(spentBeforeWaiting >= 0);
        QVERIFY(mvxctl.waitForFinished(60000));
        const qint64 windowMs = window.elapsed();
        const qint64 waitingCpuMs = processcpu::endedChildrenCpuMs() - endedBefore - spentBeforeWaiting;

        const QString figures = QStringLiteral("%1 ms of processor time in %2 ms (%3%)")
                                    .arg(waitingCpuMs)
                                    .arg(windowMs)
                                    .arg(100.0 * waitingCpuMs / windowMs, 0, 'f', 1);
        qInfo("%s", qPrintable(figures));
        QVERIFY2(windowMs >= kShortestWindowMs, qPrintable(figures));
        QVERIFY2(waitingCpuMs * 100 <= kMostPercentWaiting * windowMs, qPrintable(figures));
    }

    // The canonical text and the message text of gateways, an IPv6 address in brackets.
    void gatewayEndpoints_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");  // empty: refused
        QTest::addColumn<QString>("described");  // or, when refused, part of the reason
        QTest::newRow("IPv6 with a port") << "tcp://[::1]:5020"
                                          << "tcp://[::1]:5020"
                                          << "Modbus TCP gateway [::1] port 5020";
        QTest::newRow("IPv6, default port") << "tcp://[::1]"
                                            << "tcp://[::1]:502"
                                            << "Modbus TCP gateway [::1] port 502";
        QTest::newRow("IPv6, longer") << "tcp://[FD00::17]:1502"
                                      << "tcp://[fd00::17]:1502"
                                      << "Modbus TCP gateway [fd00::17] port 1502";
        QTest::newRow("IPv4") << "tcp://10.0.0.5"
                              << "tcp://10.0.0.5:502"
                              << "Modbus TCP gateway 10.0.0.5 port 502";
        QTest::newRow("IPv6 without brackets") << "tcp://::1:5020" << QString() << "in brackets";
        QTest::newRow("IPv6, empty port") << "tcp://[::1]:" << QString() << "tcp://HOST:PORT";
    }
    void gatewayEndpoints() {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        QFETCH(QString, described);
        const Endpoint endpoint = Endpoint::parse(text);
        if (canonical.isEmpty()) {
            QVERIFY2(!endpoint.isValid() && endpoint.error().contains(described),
                     qPrintable(endpoint.error()));
            return;
        }
        QVERIFY2(endpoint.isValid(), qPrintable(endpoint.error()));
        QCOMPARE(endpoint.toString(), canonical);
        QCOMPARE(endpoint.describe(), described);
        QCOMPARE(Endpoint::tcp(endpoint.host(), endpoint.port()).toString(), canonical);
    }

    // The endpoint is written here, not taken from the simulator's LISTENING line, so that this
    // stands on the client alone (tst_drivesim checks that line).
    void commandsReachAGatewayOnIpv6Loopback_data() {
        QTest::addColumn<QStringList>("command");  // --port is added
        QTest::addColumn<QString>("expected");     // part of stdout
        QTest::newRow("read") << QStringList{"read", "--map", mapPath, "--json"} << "\"input_registers\"";
        // Address 1: status 0xA5, motor and user version 100, the map's model 4.
        QTest::newRow("search") << QStringList{"search", "--to", "3", "--csv"} << "\n1,165,100,100,4\n";
    }
    void commandsReachAGatewayOnIpv6Loopback() {
        QFETCH(QStringList, command);
        QFETCH(QString, expected);
        const QString missing = ipv6LoopbackMissing();
        if (!missing.isEmpty()) {
            QSKIP(qPrintable("::1 cannot be bound on this machine: " + missing));
        }
        SimulatedDrive drive;
        SimulatedDrive::Options options;
        options.mapFile = mapPath;
        options.tcp = QStringLiteral("::1:0");
        QString error;
        QVERIFY2(drive.start(options, &error), qPrintable(error));
        const QString port = drive.tcpEndpoint().section(QLatin1Char(':'), -1);
        command << "--port" << QStringLiteral("tcp://[::1]:%1").arg(port);
        const MvxctlRun run = runMvxctl(command);
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY2(run.out.contains(expected.toUtf8()), run.out.constData());
    }

    // The time-out search waits on a silent address, and the ones it refuses: Qt's client would
    // keep 1000 ms instead of a time-out below its shortest.
    void searchTimeOuts_data() {
        QTest::addColumn<Transport>("transport");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");  // part of stderr
        QTest::newRow("serial line, by its speed")
            << Transport::Serial << QStringList() << 1 << "(time-out 26 ms)";
        QTest::newRow("gateway, as the worker times one")
            << Transport::Tcp << QStringList() << 1 << "(time-out 150 ms)";
        QTest::newRow("the client's shortest")
            << Transport::Serial << QStringList{"--timeout", "10"} << 1 << "(time-out 10 ms)";
        QTest::newRow("below the client's shortest")
            << Transport::Serial << QStringList{"--timeout", "9"} << 2 << "cannot wait less than 10 ms";
        QTest::newRow("gateway, below the client's shortest")
            << Transport::Tcp << QStringList{"--timeout", "1"} << 2 << "cannot wait less than 10 ms";
    }
    void searchTimeOuts() {
        QFETCH(Transport, transport);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        SimulatedBus bus;
        QVERIFY(startExampleDrive(bus, transport));
        // Address 2 is silent: the drive is at 1.
        const MvxctlRun run =
            runMvxctl(QStringList{"search", "--port", bus.endpoint(), "--from", "2", "--to", "2"} + options);
        QVERIFY2(run.exitCode == exitCode && run.err.contains(message.toUtf8()), run.err.constData());
    }

    // What search rests on: the clients of both transports ignore a shorter time-out.
    void clientsKeepTheirTimeOutBelowTheShortest_data() { addTransportRows(); }
    void clientsKeepTheirTimeOutBelowTheShortest() {
        QFETCH(Transport, transport);
        ModbusLink link;
        link.endpoint = Endpoint::parse(transport == Transport::Tcp ? "tcp://127.0.0.1" : "/dev/null");
        const std::unique_ptr<QModbusClient> client(link.createClient(nullptr));
        client->setTimeout(ModbusLink::kShortestTimeoutMs);
        client->setTimeout(ModbusLink::kShortestTimeoutMs - 1);
        QCOMPARE(client->timeout(), ModbusLink::kShortestTimeoutMs);
    }

    // One line redrawn on a terminal; plain lines into a pipe or a file.
    void searchProgress_data() {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("expected");  // part of stderr
        QTest::newRow("terminal: one line redrawn") << true
                                                    << "searching: address 1 (1 of 2), 0 found\r"
                                                       "searching: address 2 (2 of 2), 1 found\n";
        QTest::newRow("pipe: plain lines") << false
                                           << "searching: address 1 (1 of 2), 0 found\n"
                                              "searching: address 2 (2 of 2), 1 found\n";
    }
    void searchProgress() {
        QFETCH(bool, terminal);
        QFETCH(QString, expected);
        SimulatedBus bus;
        QVERIFY(startExampleDrive(bus, Transport::Serial));
        Terminal console;
        QProcess mvxctl;
        if (terminal) {
            QVERIFY(console.open());
            mvxctl.setStandardErrorFile(console.path());
        }
        mvxctl.start(testpaths::mvxctl(), {"search", "--port", bus.endpoint(), "--to", "2"});
        QVERIFY(mvxctl.waitForFinished(60000));
        QCOMPARE(mvxctl.exitCode(), 0);
        const QByteArray err = terminal ? console.readAll() : mvxctl.readAllStandardError();
        QVERIFY2(err.contains(expected.toUtf8()), err.constData());
        QCOMPARE(err.contains('\r'), terminal);
    }
};

QTEST_GUILESS_MAIN(TestMvxctlLink)
#include "tst_mvxctl_link.moc"
