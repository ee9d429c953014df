#include <QSerialPort>
#include <QTcpServer>
#include <QtTest>
#include <cstring>
#include <memory>

#include "comm/customfunction.h"
#include "comm/endpoint.h"
#include "comm/pdubuilder.h"
#include "comm/rtumaster.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "tools/drive-sim/gatewayframes.h"
#include "tools/drive-sim/motionmodel.h"

namespace {

constexpr int kFlagsPosition = 7;
constexpr int kAccessPosition = 6;
constexpr auto kHoldings = QModbusDataUnit::HoldingRegisters;
constexpr auto kInputs = QModbusDataUnit::InputRegisters;
constexpr auto kNoError = QModbusDevice::NoError;
constexpr auto kTimeout = QModbusDevice::TimeoutError;
constexpr auto kRefused = QModbusDevice::ProtocolError;  // an exception answer
using Words = QVector<quint16>;

const char kTestMap[] = R"(<modbusmap>
  <options><access_level>6</access_level><flags>7</flags><power_id>-1</power_id></options>
  <block name="Main" query="auto" type="holding" start="0" end="5">
    <cmd add="0"><default>0</default><vis_type>list</vis_type><item val="0">Ninguno</item></cmd>
    <speed add="1"><default>1500</default><vis_type>integer</vis_type><unit>rpm</unit></speed>
    <offset add="2"><default>-20</default><vis_type>integer</vis_type></offset><p3 add="3"><default>7</default></p3>
    <p4 add="4"><default>300</default><level>2</level></p4><p5 add="5"><default>42</default></p5></block>
  <block name="Aux" query="manual" type="holding" start="1000" end="1005">
    <a0 add="1000"><default>1</default></a0><a1 add="1001"><default>2</default></a1><a2 add="1002"><default>3</default></a2>
    <a3 add="1003"><default>4</default></a3><a4 add="1004"><default>77</default></a4><a5 add="1005"><default>88</default></a5>
  </block>
  <Input_Register><fw add="0"><vis_type>hex</vis_type></fw><model add="1"><vis_type>integer</vis_type></model>
    <state add="2"><default>1</default><vis_type>list</vis_type><item val="0">Paro</item><item val="1">Marcha</item></state>
    <speed add="3"><vis_type>integer</vis_type><unit>rpm</unit></speed>
    <vbus add="4"><vis_type>ufloat</vis_type><multiplier>0.1</multiplier><unit>V</unit></vbus>
    <i_u add="5"><vis_type>float</vis_type><multiplier>0.01</multiplier><unit>A</unit></i_u>
    <level add="6"><vis_type>integer</vis_type></level><capture add="7"><default>5</default><vis_type>hex</vis_type></capture>
    <energy add="8"><vis_type>float32H</vis_type><unit>kWh</unit></energy><energy_h add="9"><vis_type>float32L</vis_type></energy_h>
    <hours add="10"><vis_type>uint32H</vis_type><unit>h</unit></hours><hours_h add="11"><vis_type>uint32L</vis_type></hours_h>
  </Input_Register><RAM_Parameter><ram add="3000"><default>1234</default></ram></RAM_Parameter></modbusmap>)";

struct Answer {
    QModbusDevice::Error error = QModbusDevice::UnknownError;
    QModbusPdu::ExceptionCode exception = QModbusPdu::ExtendedException;
    Words values;
    QByteArray data;
};

QModbusRequest firmwareFrame(quint8 sub, int block = -1, const QByteArray &bytes = {},
                             quint16 model = 0x0123) {
    return block < 0 ? pdu::firmwareCommand(model, sub)
                     : pdu::firmwareBlock(model, sub, quint16(block), bytes);
}

QByteArray testBlock(int seed) {
    QByteArray block(firmwarefunction::kBlockSize, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i) {
        block[i] = char((seed * 31 + i * 7) & 0xFF);
    }
    return block;
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool connectMaster(RtuMaster *master, const QString &port, int timeoutMs = 400) {
    master->setConnectionParameter(QModbusDevice::SerialPortNameParameter, port);
    master->setConnectionParameter(QModbusDevice::SerialBaudRateParameter, 115200);
    master->setTimeout(timeoutMs);
    master->setNumberOfRetries(0);
    return master->connectDevice();
}

Answer finish(QModbusReply *reply) {
    std::unique_ptr<QModbusReply> owner(reply);
    if (reply && !reply->isFinished()) {
        QSignalSpy(reply, &QModbusReply::finished).wait(5000);
    }
    return reply ? Answer{reply->error(), reply->rawResult().exceptionCode(), reply->result().values(),
                          reply->rawResult().data()}
                 : Answer{};
}

QString show(const Words &words) {
    QString text;
    for (quint16 word : words) {
        text += QLatin1Char(' ') + QString::number(word);
    }
    return text;
}

// "ok", "timeout", "exception 2" …: what the master made of a request.
QString outcome(const Answer &answer) {
    return answer.error == kNoError   ? QStringLiteral("ok")
           : answer.error == kTimeout ? QStringLiteral("timeout")
           : answer.error == kRefused ? QStringLiteral("exception %1").arg(answer.exception)
                                      : QStringLiteral("error %1").arg(answer.error);
}

}  // namespace

// The simulated drive as the code under test meets it: registers, access levels, line timing, the
// capture trigger, several drives on one line, fault injection, firmware images and the request log.
class DriveSimTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SimulatedBus m_bus;
    RtuMaster m_master;
    // The same drives served by a second simulator through its Modbus TCP gateway.
    SimulatedBus m_gateway;
    TcpMaster m_gatewayClient;
    QModbusClient *m_client = &m_master;  // the one the reads go to

    Answer read(QModbusDataUnit::RegisterType type, int start, int count, int address = 1) {
        return finish(m_client->sendReadRequest(QModbusDataUnit(type, start, quint16(count)), address));
    }
    Answer write(int start, const Words &values, int address = 1) {
        return finish(m_master.sendWriteRequest(QModbusDataUnit(kHoldings, start, values), address));
    }
    Answer firmware(const QModbusRequest &request) { return finish(m_master.sendRawRequest(request, 1)); }
    quint16 input(int position) { return read(kInputs, position, 1).values.value(0, 0xDEAD); }
    QStringList lastLogLines(int count) const {
        return m_bus.drive.logLines().mid(m_bus.drive.logLines().size() - count);
    }
    Answer askLevel(int level, const QString &password) {
        Words words{quint16(level)};
        for (QChar c : password + QChar(0)) {
            words.append(c.unicode());
        }
        return write(2000, words);
    }
    // Each level's right password is its digit four times; level 0 needs none.
    Answer grant(int level) { return askLevel(level, QString(level ? 4 : 0, QChar('0' + level))); }
    void clearFaults() {
        for (const char *reset : {"silent off", "exception clear", "delay 0", "drop 0", "corrupt 0"}) {
            QVERIFY(m_bus.drive.command(QLatin1String(reset)) &&
                    m_gateway.drive.command(QLatin1String(reset)));
        }
    }

  private slots:
    void initTestCase() {
        registerFirmwareFunctionSizes();
        QFile map(m_dir.filePath(QStringLiteral("map.xml")));
        QVERIFY(map.open(QIODevice::WriteOnly) && map.write(kTestMap) > 0);
        map.close();
        SimulatedDrive::Options options;
        options.addresses = {1, 247};
        options.mapFile = map.fileName();
        options.accessLevel = 0;
        options.extraArgs = QStringList{"--version", "0x0105", "--user-version", "262"};
        QString error;
        QVERIFY2(m_bus.start(options, &error), qPrintable(error));
        QVERIFY(connectMaster(&m_master, m_bus.line.masterPort()));
        m_gateway.transport = Transport::Tcp;
        QVERIFY2(m_gateway.start(options, &error), qPrintable(error));
        const QUrl gateway(m_gateway.endpoint());
        m_gatewayClient.setConnectionParameter(QModbusDevice::NetworkAddressParameter, gateway.host());
        m_gatewayClient.setConnectionParameter(QModbusDevice::NetworkPortParameter, gateway.port());
        m_gatewayClient.setTimeout(400);
        m_gatewayClient.setNumberOfRetries(0);
        QVERIFY(m_gatewayClient.connectDevice());
        QTRY_COMPARE(m_gatewayClient.state(), QModbusDevice::ConnectedState);
    }

    void cleanup() {
        m_client = &m_master;
        clearFaults();
    }

    void registersStartAsConfigured() {
        // Identification at 1000..1003 of both drives; the other holdings start at the map's defaults.
        const Words identification{0x00A5, 0x0105, 262, 0x0123};
        const std::tuple<int, QModbusDataUnit::RegisterType, int, Words> cases[] = {
            {1, kInputs, 0, {0x0105, 0x0123}},
            {247, kInputs, 0, {0x0105, 0x0123}},
            {1, kHoldings, 1000, identification},
            {247, kHoldings, 1000, identification},
            {1, kHoldings, 0, {0, 1500, 0xFFEC, 7, 300, 42}},
            {1, kHoldings, 1004, {77, 88}},
            {1, kHoldings, 3000, {1234}}};
        for (const auto &[address, type, start, expected] : cases) {
            const QString name = QStringLiteral("%1 at drive %2: ").arg(start).arg(address);
            const Answer answer = read(type, start, expected.size(), address);
            QCOMPARE(name + outcome(answer) + show(answer.values), name + "ok" + show(expected));
        }
    }

    void inputsMovePlausibly() {
        const Answer answer = read(kInputs, 0, 12);
        QCOMPARE(answer.error, kNoError);
        const Words &w = answer.values;
        QCOMPARE(w.at(2), quint16(1));  // a list register stays on a valid item
        QVERIFY2(qint16(w.at(3)) >= 0 && qint16(w.at(3)) <= 1510,
                 qPrintable(QString::number(qint16(w.at(3)))));
        QVERIFY2(w.at(4) * 0.1 > 500 && w.at(4) * 0.1 < 580, qPrintable(QString::number(w.at(4) * 0.1)));
        QVERIFY(std::abs(qint16(w.at(5)) * 0.01) < 40);
        const quint32 energyBits = (quint32(w.at(9)) << 16) | w.at(8);  // low half in the H register
        float energy = 0;
        std::memcpy(&energy, &energyBits, sizeof energy);
        QVERIFY2(energy > 0 && energy < 1e6f, qPrintable(QString::number(energy)));
        QVERIFY(((quint32(w.at(11)) << 16) | w.at(10)) >= 65530u);
    }

    void passwordGrantsLevel() {
        // {level granted before, level asked for, password, level granted after}
        const std::tuple<int, int, const char *, int> cases[] = {
            {0, 2, "2222", 2}, {1, 3, "2222", 1}, {0, 1, "1111", 1}, {2, 1, "11111", 2},
            {3, 0, "", 0},     {0, 3, "3333", 3}, {1, 7, "7777", 1}};
        for (const auto &[before, level, password, granted] : cases) {
            QCOMPARE(grant(before).error, kNoError);
            QCOMPARE(input(kAccessPosition), quint16(before));
            QCOMPARE(askLevel(level, QLatin1String(password)).error, kNoError);
            const QString name =
                QStringLiteral("level %1 with \"%2\" from %3: ").arg(level).arg(password).arg(before);
            QCOMPARE(name + QString::number(input(kAccessPosition)), name + QString::number(granted));
        }
    }

    void writesNeedTheGrantedLevel() {
        // Holding 4 needs level 2; the others of the map need none. Every value differs from the last.
        using Row = std::tuple<int, int, Words, bool>;
        const Row cases[] = {{1, 4, {11}, true},
                             {2, 4, {12}, false},
                             {3, 4, {13}, false},
                             {0, 3, {14, 15}, true},
                             {0, 3, {16}, false}};
        for (const auto &[level, start, values, refused] : cases) {
            const Words before = read(kHoldings, start, values.size()).values;
            QCOMPARE(grant(level).error, kNoError);
            const QString name =
                QStringLiteral("write%1 to %2 at level %3: ").arg(show(values)).arg(start).arg(level);
            const QString result = outcome(write(start, values));
            QCOMPARE(name + result + show(read(kHoldings, start, values.size()).values),
                     name + (refused ? "exception 1" + show(before) : "ok" + show(values)));
        }
    }

    void lineTimingHoldsAnswersBack() {
        // A read of `count` holdings: 8 request characters, 5 + 2 count answer characters, 11 bits each.
        for (const auto &c : {std::pair{9600, 4}, std::pair{9600, 100}, std::pair{115200, 120}}) {
            const double wireMs = (8 + 5 + 2 * c.second) * 11 * 1000.0 / c.first;
            SimulatedBus bus;
            SimulatedDrive::Options options;
            options.speed = c.first;
            options.lineTiming = true;
            QString error;
            QVERIFY2(bus.start(options, &error), qPrintable(error));
            RtuMaster master;
            QVERIFY(connectMaster(&master, bus.line.masterPort(), 2000));
            for (int i = 0; i < 3; ++i) {
                QElapsedTimer clock;
                clock.start();
                const Answer answer = finish(master.sendReadRequest({kHoldings, 0, quint16(c.second)}, 1));
                const double elapsedMs = clock.nsecsElapsed() / 1e6;
                QCOMPARE(answer.error, kNoError);
                QVERIFY2(elapsedMs >= wireMs,
                         qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsedMs).arg(wireMs)));
            }
        }
    }

    void captureSetsReadyBit() {
        QCOMPARE(input(kFlagsPosition), quint16(0x0005));
        QCOMPARE(write(0x5000, {1}).error, kNoError);
        QTRY_VERIFY_WITH_TIMEOUT(input(kFlagsPosition) & 0x1000, 5000);
        QCOMPARE(input(kFlagsPosition), quint16(0x1005));  // the other bits are kept
        QCOMPARE(write(0x5000, {1}).error, kNoError);
        QCOMPARE(input(kFlagsPosition) & 0x1000, 0);                     // cleared by the next trigger ...
        QTRY_VERIFY_WITH_TIMEOUT(input(kFlagsPosition) & 0x1000, 5000);  // ... and set when that one is done
        // The data read after it: every sample of every buffer and axis in tst_gui_plots.
    }

    void eachAddressAnswersOnlyItsOwn() {
        QCOMPARE(write(3, {111}, 1).error, kNoError);
        QCOMPARE(write(2, {247, 248}, 247).error, kNoError);
        QCOMPARE(lastLogLines(2),
                 (QStringList{"REQ 247 10 00 02 00 02 04 00 F7 00 F8", "RSP 247 10 00 02 00 02"}));
        QCOMPARE(read(kHoldings, 3, 1, 1).values, Words{111});
        QCOMPARE(read(kHoldings, 3, 1, 247).values, Words{248});
        QCOMPARE(read(kHoldings, 3, 1, 2).error, kTimeout);
        QVERIFY(!m_bus.drive.logLines().join('\n').contains(QStringLiteral("REQ 2 ")));
        QVERIFY(m_bus.drive.command(QStringLiteral("@247 silent on")));
        QCOMPARE(read(kHoldings, 3, 1, 247).error, kTimeout);
        QCOMPARE(read(kHoldings, 3, 1, 1).error, kNoError);
        QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("RSP 247 03 SILENT")));
        // A broadcast reaches both drives and is logged once, without an answer.
        clearFaults();
        finish(m_master.sendWriteRequest({kHoldings, 30, Words{4242}}, 0));
        QVERIFY(m_bus.drive.waitForLog(
            [](const QStringList &lines) { return lines.contains(QStringLiteral("REQ 0 06 00 1E 10 92")); }));
        QCOMPARE(read(kHoldings, 30, 1, 1).values, Words{4242});
        QCOMPARE(read(kHoldings, 30, 1, 247).values, Words{4242});
        QCOMPARE(m_bus.drive.requests().count(QStringLiteral("0 06 00 1E 10 92")), 1);
        QVERIFY(!m_bus.drive.logLines().join('\n').contains(QStringLiteral("RSP 0 ")));
    }

    void frameInPiecesIsOneFrame() {
        // The pseudo-terminals may hand a frame over in pieces, far more than 3.5 characters apart.
        QSerialPort port(m_bus.line.masterPort());
        m_master.disconnectDevice();
        QVERIFY(port.open(QIODevice::ReadWrite));
        const QByteArray readHolding1 = QByteArray::fromHex("010300010001D5CA");
        for (const QByteArray &piece : {readHolding1.left(3), readHolding1.mid(3)}) {
            QVERIFY(port.write(piece) == piece.size() && port.waitForBytesWritten(1000));
            QTest::qWait(20);
        }
        QVERIFY(m_bus.drive.waitForLog(
            [](const QStringList &lines) { return lines.contains(QStringLiteral("RSP 1 03 02 05 DC")); }));
        port.close();
        QVERIFY(m_master.connectDevice());
    }

    void faultsReachTheMaster() {
        const QString answered = QStringLiteral("ok, RSP 1 03 02 01 2C");
        const std::tuple<Transport, const char *, QString> cases[] = {
            {Transport::Serial, "silent on", "timeout, RSP 1 03 SILENT"},
            {Transport::Tcp, "silent on", "timeout, RSP 1 03 SILENT"},
            {Transport::Serial, "exception 03 * 4", "exception 4, RSP 1 83 04"},
            {Transport::Tcp, "exception 03 * 4", "exception 4, RSP 1 83 04"},
            {Transport::Serial, "drop 1", "timeout, RSP 1 03 DROPPED"},
            {Transport::Tcp, "drop 1", "timeout, RSP 1 03 DROPPED"},
            {Transport::Serial, "delay 50", answered},
            {Transport::Tcp, "delay 50", answered},
            {Transport::Serial, "exception 0x03 4 2", "exception 2, RSP 1 83 02"},
            {Transport::Serial, "exception 03 5 2", answered},  // another register
            {Transport::Serial, "corrupt 1", "timeout, RSP 1 03 CORRUPTED"},
            // Behind the gateway a damaged serial answer comes back as exception 0x0B.
            {Transport::Tcp, "corrupt 1", "exception 11, RSP 1 03 CORRUPTED"}};
        for (const auto &[transport, command, expected] : cases) {
            const bool tcp = transport == Transport::Tcp;
            SimulatedDrive &drive = tcp ? m_gateway.drive : m_bus.drive;
            m_client = tcp ? static_cast<QModbusClient *>(&m_gatewayClient) : &m_master;
            clearFaults();
            QVERIFY(drive.command(QStringLiteral("set-holding 4 300")) &&
                    drive.command(QLatin1String(command)));
            const QString name = QLatin1String(tcp ? "gateway, " : "") + command + QLatin1String(": ");
            const QString result = outcome(read(kHoldings, 4, 1));
            QCOMPARE(name + result + ", " + drive.logLines().last(), name + expected);
        }
        m_client = &m_master;
        clearFaults();
        QVERIFY(m_bus.drive.command(QStringLiteral("drop 2")));  // every second reply
        QStringList outcomes;
        for (int i = 0; i < 4; ++i) {
            outcomes << outcome(read(kHoldings, 1, 1));
        }
        QCOMPARE(outcomes, (QStringList{"ok", "timeout", "ok", "timeout"}));
    }

    void commandRegister() {
        QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 5 999")));
        QCOMPARE(write(0, {2}).error, kNoError);
        QCOMPARE(read(kHoldings, 0, 6).values, (Words{0, 1500, 0xFFEC, 7, 300, 42}));
        QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD restore defaults")));
        QCOMPARE(write(0, {1}).error, kNoError);
        QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD reset")));
    }

    void firmwareFramesBuildImages() {
        using namespace firmwarefunction;
        QByteArray motorImage;
        QVector<QModbusRequest> frames{firmwareFrame(AnnounceMotor), firmwareFrame(EraseMotor)};
        for (int block = 0; block < 3; ++block) {
            frames.append(firmwareFrame(MotorBlock, block, testBlock(block)));
            motorImage.append(testBlock(block));
        }
        for (const QModbusRequest &frame : frames << firmwareFrame(ResetRenesas)
                                                  << firmwareFrame(ResetAtmel)) {
            const Answer answer = firmware(frame);
            QCOMPARE(answer.error, kNoError);
            QCOMPARE(answer.data, frame.data().left(3));  // the answer echoes model and sub-command
        }
        QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("motor"))), motorImage);
        for (const QModbusRequest &frame : {firmwareFrame(AnnounceUser), firmwareFrame(EraseUser),
                                            firmwareFrame(UserBlock, 1, testBlock(9)),  // out of order:
                                            firmwareFrame(UserBlock, 0, testBlock(8)),  // lands in place
                                            firmwareFrame(ResetAtmel)}) {
            QCOMPARE(firmware(frame).error, kNoError);
        }
        QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("user"))), testBlock(8) + testBlock(9));
        QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD firmware user mark good (256 bytes)")));
        QCOMPARE(outcome(firmware(firmwareFrame(AnnounceMotor, -1, {}, 0x1234))),
                 "exception 3");  // wrong model
        QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("motor"))), motorImage);
    }

    void badCommandsAreRefused() {
        for (const char *bad : {"frobnicate", "silent maybe", "set-input 99999 1", "set-holding 3 70000",
                                "exception zz * 2", "drop -1", "@5 silent on", "@247"}) {
            QVERIFY2(!m_bus.drive.command(QLatin1String(bad)), bad);
        }
        QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 3 -1")));
        QCOMPARE(read(kHoldings, 3, 1).values, Words{0xFFFF});
    }

    // Each address of a simulated bus runs a cycle of its own (stopped 2 s, ramp 5 s, hold 5 s,
    // ramp 5 s, stopped 3 s): address 1 the plain one, the others higher and later.
    void eachAddressMovesOnItsOwn_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<double>("rpm");
        QTest::addColumn<int>("state");
        QTest::newRow("1 standing") << 1 << 0.0 << 0.0 << 0;
        QTest::newRow("1 starting") << 1 << 4.5 << 750.0 << 1;
        QTest::newRow("1 running") << 1 << 9.0 << 1500.0 << 2;
        QTest::newRow("1 braking") << 1 << 14.5 << 750.0 << 3;
        QTest::newRow("2 starting, 3.7 s ahead, towards 1875") << 2 << 0.0 << 637.5 << 1;
        QTest::newRow("3 running at 2250") << 3 << 0.0 << 2250.0 << 2;
        QTest::newRow("6 like 1 but later") << 6 << 0.0 << 0.0 << 0;
    }

    void eachAddressMovesOnItsOwn() {
        QFETCH(int, address);
        QFETCH(double, seconds);
        QFETCH(double, rpm);
        QFETCH(int, state);
        const MotionModel::Cycle cycle = MotionModel::Cycle::forAddress(address);
        QCOMPARE(MotionModel::speedRpm(seconds, cycle), rpm);
        QCOMPARE(MotionModel::state(seconds, cycle), state);
    }

    // The gateway's framing on its own: what it passes to the drives of units 1 and 2, and when
    // it closes the connection. Each request is "transaction protocol length unit" + PDU, in hex.
    void gatewayRoutesWholeFrames_data() {
        QTest::addColumn<QByteArray>("streamHex");
        QTest::addColumn<QStringList>("routed");  // "unit:transaction" per frame passed on
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("leftBytes");
        const QByteArray read1 = "0001 0000 0006 01 0300000001";
        const QByteArray read2 = "0002 0000 0006 02 0300000001";
        QTest::newRow("two drives") << read1 + read2 << QStringList{"1:1", "2:2"} << false << 0;
        QTest::newRow("unit without a drive dropped")
            << "0001 0000 0006 09 0300000001" + read2 << QStringList{"2:2"} << false << 0;
        QTest::newRow("partial frame waits") << read1 + read2.left(20) << QStringList{"1:1"} << false << 8;
        QTest::newRow("partial header waits") << QByteArray("0001 0000 00") << QStringList{} << false << 5;
        QTest::newRow("length 0 closes") << read1 + "0002 0000 0000 01" << QStringList{"1:1"} << true << 7;
        QTest::newRow("length 1 closes") << QByteArray("0002 0000 0001 01") << QStringList{} << true << 7;
        QTest::newRow("length 2, the shortest")
            << QByteArray("0002 0000 0002 01 07") << QStringList{"1:2"} << false << 0;
        QTest::newRow("length 254, the longest")
            << "0003 0000 00FE 02" + QByteArray("00").repeated(253) << QStringList{"2:3"} << false << 0;
        QTest::newRow("length 255 closes") << QByteArray("0003 0000 00FF 02") << QStringList{} << true << 7;
        QTest::newRow("length 65535 closes")
            << QByteArray("0004 0000 FFFF 01 03") << QStringList{} << true << 8;
        // The protocol id is not read here: the drive's own Modbus TCP server judges it.
        QTest::newRow("other protocol id passed on")
            << QByteArray("0005 1234 0006 01 0300000001") << QStringList{"1:5"} << false << 0;
    }
    void gatewayRoutesWholeFrames() {
        QFETCH(QByteArray, streamHex);
        QFETCH(QStringList, routed);
        QFETCH(bool, closed);
        QFETCH(int, leftBytes);
        QByteArray buffer = QByteArray::fromHex(streamHex.replace(' ', ""));
        const gatewayframes::Split split =
            gatewayframes::route(&buffer, [](int unit) { return unit == 1 || unit == 2; });
        QStringList passed;
        for (const gatewayframes::Routed &frame : split.frames) {
            QCOMPARE(gatewayframes::unitId(frame.frame), frame.unit);
            passed << QStringLiteral("%1:%2")
                          .arg(frame.unit)
                          .arg((quint8(frame.frame[0]) << 8) | quint8(frame.frame[1]));
        }
        QCOMPARE(passed, routed);
        QCOMPARE(split.malformed, closed);
        QCOMPARE(buffer.size(), leftBytes);
    }

    // What the gateway prints is what mvxctl --port and the window's port box take as it is.
    void gatewayPrintsAUsableEndpoint_data() {
        QTest::addColumn<QString>("listenOn");
        QTest::addColumn<QString>("host");
        QTest::newRow("IPv4 loopback") << "127.0.0.1:0"
                                       << "127.0.0.1";
        QTest::newRow("IPv6 loopback") << "::1:0"
                                       << "::1";
        QTest::newRow("IPv6 loopback, bracketed") << "[::1]:0"
                                                  << "::1";
    }
    void gatewayPrintsAUsableEndpoint() {
        QFETCH(QString, listenOn);
        QFETCH(QString, host);
        QTcpServer probe;
        if (!probe.listen(QHostAddress(host), 0)) {
            QSKIP(qPrintable(host + " cannot be bound on this machine: " + probe.errorString()));
        }
        SimulatedDrive drive;
        SimulatedDrive::Options options;
        options.tcp = listenOn;
        QString error;
        QVERIFY2(drive.start(options, &error), qPrintable(error));
        const Endpoint endpoint = Endpoint::parse(drive.tcpEndpoint());
        QVERIFY2(endpoint.isValid(), qPrintable(drive.tcpEndpoint() + ": " + endpoint.error()));
        QCOMPARE(endpoint.host(), host);
        QCOMPARE(drive.tcpEndpoint(), endpoint.toString());
    }

    void startupFailures() {
        QFile bad(m_dir.filePath(QStringLiteral("bad.xml")));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("<modbusmap><block name=") > 0);
        bad.close();
        const QString missing = m_dir.filePath(QStringLiteral("absent"));
        const std::tuple<QStringList, int, const char *> cases[] = {
            {{"--port", missing}, 1, "cannot open port"},
            {{"--port", missing, "--map", missing + ".xml"}, 1, "not found"},
            {{"--port", missing, "--map", bad.fileName()}, 1, "describes no registers"},
            {{"--port", missing, "--address", "248"}, 2, "--address"},
            {{}, 2, "--port is required"},
            {{"--port", missing, "--tcp", "0"}, 2, "not both"},
            {{"--tcp", "localhost:5020"}, 1, "--tcp needs"}};
        for (const auto &[arguments, exitCode, message] : cases) {
            QProcess sim;
            sim.start(testpaths::simulator(), arguments);
            QVERIFY(sim.waitForFinished(10000));
            const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
            QVERIFY2(sim.exitCode() == exitCode && error.contains(QLatin1String(message)), qPrintable(error));
            QVERIFY(!sim.readAllStandardOutput().contains("READY"));
        }
    }
};

QTEST_GUILESS_MAIN(DriveSimTest)
#include "tst_drivesim.moc"
