#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <memory>

#include "comm/customfunction.h"
#include "comm/pdubuilder.h"
#include "comm/rtumaster.h"
#include "comm/tracedecode.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"
#include "tools/drive-sim/waveforms.h"

namespace {

constexpr int kFlagsPosition = 7;
constexpr int kAccessPosition = 6;

const char kTestMap[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<modbusmap>
  <options><access_level>6</access_level><flags>7</flags><power_id>-1</power_id></options>
  <block name="Main" query="auto" type="holding" start="0" end="5">
    <cmd add="0"><default>0</default><vis_type>list</vis_type><item val="0">Ninguno</item></cmd>
    <speed add="1"><default>1500</default><vis_type>integer</vis_type><unit>rpm</unit></speed>
    <offset add="2"><default>-20</default><vis_type>integer</vis_type></offset>
    <p3 add="3"><default>7</default></p3>
    <p4 add="4"><default>300</default><level>2</level></p4>
    <p5 add="5"><default>42</default></p5>
  </block>
  <block name="Aux" query="manual" type="holding" start="1000" end="1005">
    <a0 add="1000"><default>1</default></a0><a1 add="1001"><default>2</default></a1>
    <a2 add="1002"><default>3</default></a2><a3 add="1003"><default>4</default></a3>
    <a4 add="1004"><default>77</default></a4><a5 add="1005"><default>88</default></a5>
  </block>
  <Input_Register>
    <fw add="0"><vis_type>hex</vis_type></fw>
    <model add="1"><vis_type>integer</vis_type></model>
    <state add="2"><default>1</default><vis_type>list</vis_type><item val="0">Paro</item><item val="1">Marcha</item></state>
    <speed add="3"><vis_type>integer</vis_type><unit>rpm</unit></speed>
    <vbus add="4"><vis_type>ufloat</vis_type><multiplier>0.1</multiplier><unit>V</unit></vbus>
    <i_u add="5"><vis_type>float</vis_type><multiplier>0.01</multiplier><unit>A</unit></i_u>
    <level add="6"><vis_type>integer</vis_type></level>
    <capture add="7"><default>5</default><vis_type>hex</vis_type></capture>
    <energy add="8"><vis_type>float32H</vis_type><unit>kWh</unit></energy>
    <energy_h add="9"><vis_type>float32L</vis_type></energy_h>
    <hours add="10"><vis_type>uint32H</vis_type><unit>h</unit></hours>
    <hours_h add="11"><vis_type>uint32L</vis_type></hours_h>
  </Input_Register>
  <RAM_Parameter><ram add="3000"><default>1234</default></ram></RAM_Parameter>
</modbusmap>
)";

struct Answer {
    QModbusDevice::Error error = QModbusDevice::UnknownError;
    QModbusPdu::ExceptionCode exception = QModbusPdu::ExtendedException;
    QVector<quint16> values;
    QByteArray data;
};

QModbusRequest firmwareFrame(quint16 model, quint8 sub, int block = -1, const QByteArray &bytes = {}) {
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

}  // namespace

class DriveSimTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();
    void registersStartAsConfigured_data();
    void registersStartAsConfigured();
    void inputsMovePlausibly();
    void passwordGrantsLevel_data();
    void passwordGrantsLevel();
    void writesNeedTheGrantedLevel_data();
    void writesNeedTheGrantedLevel();
    void lineTimingHoldsAnswersBack_data();
    void lineTimingHoldsAnswersBack();
    void captureSetsReadyBit();
    void captureData_data();
    void captureData();
    void eachAddressAnswersOnlyItsOwn();
    void frameInPiecesIsOneFrame();
    void faultsReachTheMaster_data();
    void faultsReachTheMaster();
    void dropEveryNthReply();
    void commandRegister();
    void firmwareFramesBuildImages();
    void requestLogLines();
    void broadcastReachesEveryDriveLoggedOnce();
    void badCommandsAreRefused();
    void startupFailures_data();
    void startupFailures();

  private:
    bool connectMaster(RtuMaster *master, const QString &port);
    Answer finish(QModbusReply *reply);
    Answer read(QModbusDataUnit::RegisterType type, int start, int count, int address = 1);
    Answer write(int start, const QVector<quint16> &values, int address = 1);
    Answer firmware(const QModbusRequest &request, int address = 1);
    Answer askLevel(int level, const QString &password);
    quint16 input(int position);

    QTemporaryDir m_dir;
    QString m_mapPath;
    SimulatedBus m_bus;
    std::unique_ptr<RtuMaster> m_master;
    // The same drives served by a second simulator through its Modbus TCP gateway.
    SimulatedBus m_gateway;
    std::unique_ptr<TcpMaster> m_gatewayClient;
    QModbusClient *m_client = nullptr;  // the one the requests go to
};

void DriveSimTest::initTestCase() {
    registerFirmwareFunctionSizes();
    QVERIFY(m_dir.isValid());
    m_mapPath = m_dir.filePath(QStringLiteral("map.xml"));
    QFile map(m_mapPath);
    QVERIFY(map.open(QIODevice::WriteOnly));
    map.write(kTestMap);
    map.close();

    SimulatedDrive::Options options;
    options.addresses = {1, 247};
    options.mapFile = m_mapPath;
    options.accessLevel = 0;
    options.extraArgs = QStringList{QStringLiteral("--version"), QStringLiteral("0x0105"),
                                    QStringLiteral("--user-version"), QStringLiteral("262")};
    QString error;
    QVERIFY2(m_bus.start(options, &error), qPrintable(error));
    m_master = std::make_unique<RtuMaster>();
    QVERIFY(connectMaster(m_master.get(), m_bus.line.masterPort()));
    m_client = m_master.get();
    m_gateway.transport = Transport::Tcp;
    QVERIFY2(m_gateway.start(options, &error), qPrintable(error));
    m_gatewayClient = std::make_unique<TcpMaster>();
    const QUrl gateway(m_gateway.endpoint());
    m_gatewayClient->setConnectionParameter(QModbusDevice::NetworkAddressParameter, gateway.host());
    m_gatewayClient->setConnectionParameter(QModbusDevice::NetworkPortParameter, gateway.port());
    m_gatewayClient->setTimeout(400);
    m_gatewayClient->setNumberOfRetries(0);
    QVERIFY(m_gatewayClient->connectDevice());
    QTRY_COMPARE(m_gatewayClient->state(), QModbusDevice::ConnectedState);
}

void DriveSimTest::cleanup() {
    m_client = m_master.get();
    for (const char *reset : {"silent off", "exception clear", "delay 0", "drop 0", "corrupt 0"}) {
        QVERIFY(m_bus.drive.command(QLatin1String(reset)));
        QVERIFY(m_gateway.drive.command(QLatin1String(reset)));
    }
}

bool DriveSimTest::connectMaster(RtuMaster *master, const QString &port) {
    master->setConnectionParameter(QModbusDevice::SerialPortNameParameter, port);
    master->setConnectionParameter(QModbusDevice::SerialBaudRateParameter, 115200);
    master->setConnectionParameter(QModbusDevice::SerialParityParameter, QSerialPort::NoParity);
    master->setConnectionParameter(QModbusDevice::SerialStopBitsParameter, QSerialPort::TwoStop);
    master->setTimeout(400);
    master->setNumberOfRetries(0);
    return master->connectDevice();
}

Answer DriveSimTest::finish(QModbusReply *reply) {
    Answer answer;
    if (!reply) {
        return answer;
    }
    std::unique_ptr<QModbusReply> owner(reply);
    if (!reply->isFinished()) {
        QSignalSpy finished(reply, &QModbusReply::finished);
        finished.wait(5000);
    }
    answer.error = reply->error();
    answer.exception = reply->rawResult().exceptionCode();
    answer.values = reply->result().values();
    answer.data = reply->rawResult().data();
    return answer;
}

Answer DriveSimTest::read(QModbusDataUnit::RegisterType type, int start, int count, int address) {
    return finish(m_client->sendReadRequest(QModbusDataUnit(type, start, quint16(count)), address));
}

Answer DriveSimTest::write(int start, const QVector<quint16> &values, int address) {
    return finish(m_master->sendWriteRequest(
        QModbusDataUnit(QModbusDataUnit::HoldingRegisters, start, values), address));
}

Answer DriveSimTest::firmware(const QModbusRequest &request, int address) {
    return finish(m_master->sendRawRequest(request, address));
}

Answer DriveSimTest::askLevel(int level, const QString &password) {
    QVector<quint16> words{quint16(level)};
    for (QChar c : password) {
        words.append(quint16(c.toLatin1()));
    }
    words.append(0);
    return write(2000, words);
}

quint16 DriveSimTest::input(int position) {
    const Answer answer = read(QModbusDataUnit::InputRegisters, position, 1);
    return answer.values.value(0, 0xDEAD);
}

void DriveSimTest::registersStartAsConfigured_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QModbusDataUnit::RegisterType>("type");
    QTest::addColumn<int>("start");
    QTest::addColumn<QVector<quint16>>("expected");
    for (int address : {1, 247}) {
        QTest::addRow("inputs 0..1 at %d", address)
            << address << QModbusDataUnit::InputRegisters << 0 << QVector<quint16>{0x0105, 0x0123};
        QTest::addRow("holdings 1000..1003 at %d", address)
            << address << QModbusDataUnit::HoldingRegisters << 1000
            << QVector<quint16>{0x00A5, 0x0105, 262, 0x0123};
    }
    // The other holdings start at the map's defaults.
    QTest::newRow("holdings 0..5") << 1 << QModbusDataUnit::HoldingRegisters << 0
                                   << QVector<quint16>{0, 1500, 0xFFEC, 7, 300, 42};
    QTest::newRow("aux holdings") << 1 << QModbusDataUnit::HoldingRegisters << 1004
                                  << QVector<quint16>{77, 88};
    QTest::newRow("RAM parameter") << 1 << QModbusDataUnit::HoldingRegisters << 3000
                                   << QVector<quint16>{1234};
}

void DriveSimTest::registersStartAsConfigured() {
    QFETCH(int, address);
    QFETCH(QModbusDataUnit::RegisterType, type);
    QFETCH(int, start);
    QFETCH(QVector<quint16>, expected);
    const Answer answer = read(type, start, expected.size(), address);
    QCOMPARE(answer.error, QModbusDevice::NoError);
    QCOMPARE(answer.values, expected);
}

void DriveSimTest::inputsMovePlausibly() {
    const Answer answer = read(QModbusDataUnit::InputRegisters, 0, 12);
    QCOMPARE(answer.error, QModbusDevice::NoError);
    const QVector<quint16> &w = answer.values;
    QCOMPARE(w.at(2), quint16(1));  // a list register stays on a valid item
    QVERIFY2(qint16(w.at(3)) >= 0 && qint16(w.at(3)) <= 1510, qPrintable(QString::number(qint16(w.at(3)))));
    QVERIFY2(w.at(4) * 0.1 > 500 && w.at(4) * 0.1 < 580, qPrintable(QString::number(w.at(4) * 0.1)));
    QVERIFY(std::abs(qint16(w.at(5)) * 0.01) < 40);
    const quint32 energyBits = (quint32(w.at(9)) << 16) | w.at(8);  // low half in the H register
    float energy = 0;
    std::memcpy(&energy, &energyBits, sizeof energy);
    QVERIFY2(energy > 0 && energy < 1e6f, qPrintable(QString::number(energy)));
    QVERIFY(((quint32(w.at(11)) << 16) | w.at(10)) >= 65530u);
}

void DriveSimTest::passwordGrantsLevel_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("granted");
    QTest::newRow("level 2, right") << 0 << 2 << "2222" << 2;
    QTest::newRow("level 3 with level 2's password: level 1 kept") << 1 << 3 << "2222" << 1;
    QTest::newRow("level 1, right") << 0 << 1 << "1111" << 1;
    QTest::newRow("level 1, too long: level 2 kept") << 2 << 1 << "11111" << 2;
    QTest::newRow("level 0, no password") << 3 << 0 << "" << 0;
    QTest::newRow("level 3, right") << 0 << 3 << "3333" << 3;
    QTest::newRow("level 7: level 1 kept") << 1 << 7 << "7777" << 1;
}

void DriveSimTest::passwordGrantsLevel() {
    QFETCH(int, before);
    QFETCH(int, level);
    QFETCH(QString, password);
    QFETCH(int, granted);
    QCOMPARE(askLevel(before, QString(before ? 4 : 0, QChar('0' + before))).error, QModbusDevice::NoError);
    QCOMPARE(input(kAccessPosition), quint16(before));
    QCOMPARE(askLevel(level, password).error, QModbusDevice::NoError);
    QCOMPARE(input(kAccessPosition), quint16(granted));
}

void DriveSimTest::writesNeedTheGrantedLevel_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("start");
    QTest::addColumn<QVector<quint16>>("values");
    QTest::addColumn<bool>("refused");
    // Holding 4 needs level 2; the others of the map need none.
    QTest::newRow("level 2 register at level 1") << 1 << 4 << QVector<quint16>{11} << true;
    QTest::newRow("level 2 register at level 2") << 2 << 4 << QVector<quint16>{12} << false;
    QTest::newRow("level 2 register at level 3") << 3 << 4 << QVector<quint16>{13} << false;
    QTest::newRow("several registers, one of level 2, at level 0")
        << 0 << 3 << QVector<quint16>{14, 15} << true;
    QTest::newRow("level 0 register at level 0") << 0 << 3 << QVector<quint16>{16} << false;
}

void DriveSimTest::writesNeedTheGrantedLevel() {
    QFETCH(int, level);
    QFETCH(int, start);
    QFETCH(QVector<quint16>, values);
    QFETCH(bool, refused);
    QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 3 7")));
    QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 4 300")));
    const QVector<quint16> before = read(QModbusDataUnit::HoldingRegisters, start, values.size()).values;
    QCOMPARE(askLevel(level, QString(level ? 4 : 0, QChar('0' + level))).error, QModbusDevice::NoError);
    const Answer answer = write(start, values);
    QCOMPARE(answer.error, refused ? QModbusDevice::ProtocolError : QModbusDevice::NoError);
    if (refused) {
        QCOMPARE(answer.exception, QModbusPdu::IllegalFunction);
    }
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, start, values.size()).values, refused ? before : values);
}

void DriveSimTest::lineTimingHoldsAnswersBack_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("wireMs");
    // Read of `count` holdings: 8 request characters, 5 + 2 count answer characters, 11 bits each.
    QTest::newRow("9600 bps, 4 registers") << 9600 << 4 << (8 + 13) * 11 / 9.6;
    QTest::newRow("9600 bps, 100 registers") << 9600 << 100 << (8 + 205) * 11 / 9.6;
    QTest::newRow("115200 bps, 120 registers") << 115200 << 120 << (8 + 245) * 11 / 115.2;
}

void DriveSimTest::lineTimingHoldsAnswersBack() {
    QFETCH(int, speed);
    QFETCH(int, count);
    QFETCH(double, wireMs);
    SimulatedBus bus;
    SimulatedDrive::Options options;
    options.speed = speed;
    options.lineTiming = true;
    QString error;
    QVERIFY2(bus.start(options, &error), qPrintable(error));
    RtuMaster master;
    QVERIFY(connectMaster(&master, bus.line.masterPort()));
    master.setTimeout(2000);
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        const Answer answer =
            finish(master.sendReadRequest({QModbusDataUnit::HoldingRegisters, 0, quint16(count)}, 1));
        const double elapsedMs = clock.nsecsElapsed() / 1e6;
        QCOMPARE(answer.error, QModbusDevice::NoError);
        QVERIFY2(elapsedMs >= wireMs, qPrintable(QStringLiteral("%1 ms < %2 ms").arg(elapsedMs).arg(wireMs)));
    }
    master.disconnectDevice();
}

void DriveSimTest::captureSetsReadyBit() {
    QCOMPARE(input(kFlagsPosition), quint16(0x0005));
    QCOMPARE(write(0x5000, {1}).error, QModbusDevice::NoError);
    QTRY_VERIFY_WITH_TIMEOUT(input(kFlagsPosition) & 0x1000, 5000);
    QCOMPARE(input(kFlagsPosition), quint16(0x1005));  // the other bits are kept
    QCOMPARE(write(0x5000, {1}).error, QModbusDevice::NoError);
    QCOMPARE(input(kFlagsPosition) & 0x1000, 0);                     // cleared by the next trigger ...
    QTRY_VERIFY_WITH_TIMEOUT(input(kFlagsPosition) & 0x1000, 5000);  // ... and set when that one is done
}

void DriveSimTest::captureData_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::newRow("buffer A, first chunk") << 0x5000 << 120;
    QTest::newRow("buffer B, inner chunk") << 0x5478 << 120;
    QTest::newRow("buffer C, last chunk") << 0x5BC0 << 64;
    QTest::newRow("accelerometer X, first chunk") << 0x4000 << 120;
    QTest::newRow("accelerometer Y, last chunk") << 0x47C0 << 64;
    QTest::newRow("accelerometer Z, inner chunk") << 0x4A00 << 120;
}

void DriveSimTest::captureData() {
    QFETCH(int, start);
    QFETCH(int, count);
    const Answer answer = read(QModbusDataUnit::InputRegisters, start, count);
    QCOMPARE(answer.error, QModbusDevice::NoError);
    QCOMPARE(answer.values.size(), count);
    const int block = (start & 0x0FFF) / 0x400;
    const int offset = (start & 0x0FFF) % 0x400;
    if (start >= waveforms::kBufferABase) {
        for (int i = 0; i < count; i += 2) {
            const int k = (offset + i) / 2;
            const float value = tracedecode::decodeBufferFloat(answer.values.at(i), answer.values.at(i + 1));
            QCOMPARE(value, waveforms::bufferSample(block, k));
        }
    } else {
        for (int i = 0; i < count; ++i) {
            QCOMPARE(qint16(answer.values.at(i)), waveforms::accelSample(block, offset + i));
        }
    }
}

void DriveSimTest::eachAddressAnswersOnlyItsOwn() {
    QCOMPARE(write(3, {111}, 1).error, QModbusDevice::NoError);
    QCOMPARE(write(3, {247}, 247).error, QModbusDevice::NoError);
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1, 1).values, QVector<quint16>{111});
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1, 247).values, QVector<quint16>{247});
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1, 2).error, QModbusDevice::TimeoutError);
    for (const QString &line : m_bus.drive.logLines()) {
        QVERIFY2(!line.startsWith(QLatin1String("REQ 2 ")), qPrintable(line));
    }

    QVERIFY(m_bus.drive.command(QStringLiteral("@247 silent on")));
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1, 247).error, QModbusDevice::TimeoutError);
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1, 1).error, QModbusDevice::NoError);
    QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("RSP 247 03 SILENT")));
}

void DriveSimTest::frameInPiecesIsOneFrame() {
    // The pseudo-terminals may hand a frame over in pieces, far more than 3.5 characters apart.
    QSerialPort port(m_bus.line.masterPort());
    m_master->disconnectDevice();
    QVERIFY(port.open(QIODevice::ReadWrite));
    const QByteArray readHolding1 = QByteArray::fromHex("010300010001D5CA");
    for (const QByteArray &piece : {readHolding1.left(3), readHolding1.mid(3)}) {
        QVERIFY(port.write(piece) == piece.size() && port.waitForBytesWritten(1000));
        QTest::qWait(20);
    }
    QVERIFY(m_bus.drive.waitForLog(
        [](const QStringList &lines) { return lines.contains(QStringLiteral("RSP 1 03 02 05 DC")); }));
    port.close();
    QVERIFY(m_master->connectDevice());
}

void DriveSimTest::faultsReachTheMaster_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QModbusDevice::Error>("error");
    QTest::addColumn<int>("exception");
    QTest::addColumn<QString>("logged");
    QTest::addColumn<Transport>("transport");
    const QString answered = QStringLiteral("RSP 1 03 02 01 2C");
    for (Transport transport : {Transport::Serial, Transport::Tcp}) {
        const char *prefix = transport == Transport::Tcp ? "gateway, " : "";
        const auto row = [&](const char *name) -> QTestData & { return QTest::addRow("%s%s", prefix, name); };
        row("silent") << "silent on" << QModbusDevice::TimeoutError << 0 << "RSP 1 03 SILENT" << transport;
        row("exception, any register")
            << "exception 03 * 4" << QModbusDevice::ProtocolError << 4 << "RSP 1 83 04" << transport;
        row("drop") << "drop 1" << QModbusDevice::TimeoutError << 0 << "RSP 1 03 DROPPED" << transport;
        row("delay") << "delay 50" << QModbusDevice::NoError << 0 << answered << transport;
    }
    QTest::newRow("exception, this register")
        << "exception 0x03 4 2" << QModbusDevice::ProtocolError << 2 << "RSP 1 83 02" << Transport::Serial;
    QTest::newRow("exception, other register")
        << "exception 03 5 2" << QModbusDevice::NoError << 0 << answered << Transport::Serial;
    QTest::newRow("corrupt") << "corrupt 1" << QModbusDevice::TimeoutError << 0 << "RSP 1 03 CORRUPTED"
                             << Transport::Serial;
    // Behind the gateway a damaged serial answer comes back as exception 0x0B.
    QTest::newRow("gateway, corrupt")
        << "corrupt 1" << QModbusDevice::ProtocolError << 0x0B << "RSP 1 03 CORRUPTED" << Transport::Tcp;
}

void DriveSimTest::faultsReachTheMaster() {
    QFETCH(QString, command);
    QFETCH(QModbusDevice::Error, error);
    QFETCH(int, exception);
    QFETCH(QString, logged);
    QFETCH(Transport, transport);
    SimulatedDrive &drive = transport == Transport::Tcp ? m_gateway.drive : m_bus.drive;
    if (transport == Transport::Tcp) {
        m_client = m_gatewayClient.get();
    }
    QVERIFY(drive.command(QStringLiteral("set-holding 4 300")));
    QVERIFY(drive.command(command));
    const Answer answer = read(QModbusDataUnit::HoldingRegisters, 4, 1);
    QCOMPARE(answer.error, error);
    if (exception) {
        QCOMPARE(int(answer.exception), exception);
    }
    QCOMPARE(drive.logLines().value(drive.logLines().size() - 1), logged);
}

void DriveSimTest::dropEveryNthReply() {
    QVERIFY(m_bus.drive.command(QStringLiteral("drop 2")));
    QVector<QModbusDevice::Error> errors;
    for (int i = 0; i < 4; ++i) {
        errors.append(read(QModbusDataUnit::HoldingRegisters, 1, 1).error);
    }
    QCOMPARE(errors, (QVector<QModbusDevice::Error>{QModbusDevice::NoError, QModbusDevice::TimeoutError,
                                                    QModbusDevice::NoError, QModbusDevice::TimeoutError}));
}

void DriveSimTest::commandRegister() {
    QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 5 999")));
    QCOMPARE(write(0, {2}).error, QModbusDevice::NoError);
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 0, 6).values,
             (QVector<quint16>{0, 1500, 0xFFEC, 7, 300, 42}));
    QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD restore defaults")));
    QCOMPARE(write(0, {1}).error, QModbusDevice::NoError);
    QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD reset")));
}

void DriveSimTest::firmwareFramesBuildImages() {
    using namespace firmwarefunction;
    const quint16 model = 0x0123;
    QByteArray motorImage;
    QVector<QModbusRequest> frames{firmwareFrame(model, AnnounceMotor), firmwareFrame(model, EraseMotor)};
    for (int block = 0; block < 3; ++block) {
        frames.append(firmwareFrame(model, MotorBlock, block, testBlock(block)));
        motorImage.append(testBlock(block));
    }
    frames << firmwareFrame(model, ResetRenesas) << firmwareFrame(model, ResetAtmel);
    for (const QModbusRequest &frame : frames) {
        const Answer answer = firmware(frame);
        QCOMPARE(answer.error, QModbusDevice::NoError);
        QCOMPARE(answer.data, frame.data().left(3));  // the answer echoes model and sub-command
    }
    QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("motor"))), motorImage);

    QByteArray userImage;
    for (const QModbusRequest &frame : {firmwareFrame(model, AnnounceUser), firmwareFrame(model, EraseUser),
                                        firmwareFrame(model, UserBlock, 1, testBlock(9)),  // out of order:
                                        firmwareFrame(model, UserBlock, 0, testBlock(8)),  // lands in place
                                        firmwareFrame(model, ResetAtmel)}) {
        QCOMPARE(firmware(frame).error, QModbusDevice::NoError);
    }
    QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("user"))), testBlock(8) + testBlock(9));
    QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("motor"))), motorImage);
    QVERIFY(m_bus.drive.logLines().contains(QStringLiteral("CMD firmware user mark good (256 bytes)")));

    const Answer wrongModel = firmware(firmwareFrame(0x1234, AnnounceMotor));
    QCOMPARE(wrongModel.error, QModbusDevice::ProtocolError);
    QCOMPARE(wrongModel.exception, QModbusPdu::IllegalDataValue);
    QCOMPARE(readFile(m_bus.drive.imagePath(QStringLiteral("motor"))), motorImage);
}

void DriveSimTest::requestLogLines() {
    QCOMPARE(write(1000 + 5, {0x1234}).error, QModbusDevice::NoError);
    QCOMPARE(m_bus.drive.logLines().mid(m_bus.drive.logLines().size() - 2),
             (QStringList{"REQ 1 06 03 ED 12 34", "RSP 1 06 03 ED 12 34"}));
    QCOMPARE(write(20, {1, 2}, 247).error, QModbusDevice::NoError);
    QCOMPARE(m_bus.drive.logLines().mid(m_bus.drive.logLines().size() - 2),
             (QStringList{"REQ 247 10 00 14 00 02 04 00 01 00 02", "RSP 247 10 00 14 00 02"}));
    QVERIFY(m_bus.drive.command(QStringLiteral("exception 06 * 2")));
    QCOMPARE(write(1000, {1}).exception, QModbusPdu::IllegalDataAddress);
    QCOMPARE(m_bus.drive.logLines().mid(m_bus.drive.logLines().size() - 2),
             (QStringList{"REQ 1 06 03 E8 00 01", "RSP 1 86 02"}));
    QCOMPARE(m_bus.drive.requests().last(), QStringLiteral("1 06 03 E8 00 01"));
}

void DriveSimTest::broadcastReachesEveryDriveLoggedOnce() {
    finish(m_master->sendWriteRequest({QModbusDataUnit::HoldingRegisters, 30, QVector<quint16>{4242}}, 0));
    QVERIFY(m_bus.drive.waitForLog(
        [](const QStringList &lines) { return lines.contains(QStringLiteral("REQ 0 06 00 1E 10 92")); }));
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 30, 1, 1).values, QVector<quint16>{4242});
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 30, 1, 247).values, QVector<quint16>{4242});
    QCOMPARE(m_bus.drive.requests().count(QStringLiteral("0 06 00 1E 10 92")), 1);
    QVERIFY(!m_bus.drive.logLines().join('\n').contains(QStringLiteral("RSP 0 ")));
}

void DriveSimTest::badCommandsAreRefused() {
    for (const char *bad : {"frobnicate", "silent maybe", "set-input 99999 1", "set-holding 3 70000",
                            "exception zz * 2", "drop -1", "@5 silent on", "@247"}) {
        QVERIFY2(!m_bus.drive.command(QLatin1String(bad)), bad);
    }
    QVERIFY(m_bus.drive.command(QStringLiteral("set-holding 3 -1")));
    QCOMPARE(read(QModbusDataUnit::HoldingRegisters, 3, 1).values, QVector<quint16>{0xFFFF});
}

void DriveSimTest::startupFailures_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString missing = m_dir.filePath(QStringLiteral("absent"));
    QTest::newRow("port") << QStringList{"--port", missing} << 1 << "cannot open port";
    QTest::newRow("map") << QStringList{"--port", missing, "--map", missing + ".xml"} << 1 << "not found";
    QTest::newRow("malformed map") << QStringList{"--port", missing, "--map", m_dir.filePath("bad.xml")} << 1
                                   << "describes no registers";
    QTest::newRow("address") << QStringList{"--port", missing, "--address", "248"} << 2 << "--address";
    QTest::newRow("no port") << QStringList{} << 2 << "--port is required";
    QTest::newRow("serial and TCP") << QStringList{"--port", missing, "--tcp", "0"} << 2 << "not both";
    QTest::newRow("TCP host by name") << QStringList{"--tcp", "localhost:5020"} << 1 << "--tcp needs";
}

void DriveSimTest::startupFailures() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFile bad(m_dir.filePath(QStringLiteral("bad.xml")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("<modbusmap><block name=");
    bad.close();
    QProcess sim;
    sim.start(testpaths::simulator(), arguments);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), exitCode);
    const QString error = QString::fromLocal8Bit(sim.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!sim.readAllStandardOutput().contains("READY"));
}

QTEST_GUILESS_MAIN(DriveSimTest)
#include "tst_drivesim.moc"
