#include <QtTest>

#include "comm/capturereader.h"
#include "comm/endpoint.h"
#include "comm/failurecounter.h"
#include "comm/firmwareimage.h"
#include "comm/firmwarepath.h"
#include "comm/linesettings.h"
#include "comm/splitread.h"

class TestWorkerParts : public QObject {
    Q_OBJECT

  private slots:
    void pollInterval_data();
    void pollInterval();
    void endpoints_data();
    void endpoints();
    void speedRows_data();
    void speedRows();
    void framing_data();
    void framing();
    void firmwarePath_data();
    void firmwarePath();
    void firmwareBlocks();
    void firmwareProgress_data();
    void firmwareProgress();
    void captureChunks_data();
    void captureChunks();
    void splitRead();
    void splitReadRejectsWrongCount();
    void failureRun();
    void failureLimitZero();
    void searchTimeoutsAreNotErrors();
};

void TestWorkerParts::pollInterval_data() {
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("interval");
    QTest::newRow("50 ms at 9600") << 50 << 9600 << 250;
    QTest::newRow("50 ms at 57600") << 50 << 57600 << 100;
    QTest::newRow("1000 ms at 115200") << 1000 << 115200 << 1000;
    QTest::newRow("0 ms at 115200") << 0 << 115200 << 100;
    QTest::newRow("unknown speed uses 9600 row") << 100 << 4800 << 250;
}

void TestWorkerParts::pollInterval() {
    QFETCH(int, requested);
    QFETCH(int, speed);
    QFETCH(int, interval);
    QCOMPARE(linesettings::pollInterval(requested, speed), interval);
}

void TestWorkerParts::endpoints_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("interval");       // for 50 ms asked at 9600 bps
    QTest::addColumn<QString>("canonical");  // empty: refused
    QTest::newRow("serial device") << "/dev/ttyUSB0" << 250 << "/dev/ttyUSB0";
    QTest::newRow("gateway, default port") << "tcp://127.0.0.1" << 100 << "tcp://127.0.0.1:502";
    QTest::newRow("blanks and capitals") << " TCP://127.0.0.1:1502 " << 100 << "tcp://127.0.0.1:1502";
    QTest::newRow("IPv6 host") << "tcp://[::1]:5020" << 100 << "tcp://[::1]:5020";
    for (const char *refused : {"", "tcp://", "tcp://127.0.0.1:", "tcp://127.0.0.1:0",
                                "tcp://127.0.0.1:65536", "tcp://127.0.0.1/x", "udp://127.0.0.1"}) {
        QTest::newRow(refused[0] ? refused : "empty") << refused << 0 << QString();
    }
}

void TestWorkerParts::endpoints() {
    QFETCH(QString, text);
    QFETCH(int, interval);
    QFETCH(QString, canonical);
    const Endpoint endpoint = Endpoint::parse(text);
    QCOMPARE(endpoint.isValid(), !canonical.isEmpty());
    if (!endpoint.isValid()) {
        QVERIFY(!endpoint.error().isEmpty());
        return;
    }
    QCOMPARE(endpoint.toString(), canonical);
    QCOMPARE(Endpoint::parse(endpoint.toString()).toString(), canonical);
    QCOMPARE(linesettings::pollInterval(50, linesettings::timingSpeed(endpoint, 9600)), interval);
}

void TestWorkerParts::speedRows_data() {
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<int>("flashInterval");
    QTest::addColumn<int>("flashTimeout");
    QTest::newRow("9600") << 9600 << 9600 << 400 << 400 << 400;
    QTest::newRow("19200") << 19200 << 19200 << 200 << 250 << 200;
    QTest::newRow("38400") << 38400 << 38400 << 150 << 100 << 150;
    QTest::newRow("57600") << 57600 << 57600 << 75 << 100 << 75;
    QTest::newRow("115200") << 115200 << 115200 << 250 << 40 << 20;
    QTest::newRow("other") << 1200 << 9600 << 400 << 400 << 400;
}

void TestWorkerParts::speedRows() {
    QFETCH(int, speed);
    QFETCH(int, baud);
    QFETCH(int, timeout);
    QFETCH(int, flashInterval);
    QFETCH(int, flashTimeout);
    QCOMPARE(linesettings::speedRow(speed).baudRate, baud);
    QCOMPARE(linesettings::speedRow(speed).responseTimeoutMs, timeout);
    QCOMPARE(linesettings::flashTiming(speed).blockIntervalMs, flashInterval);
    QCOMPARE(linesettings::flashTiming(speed).responseTimeoutMs, flashTimeout);
}

void TestWorkerParts::framing_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("0") << 0 << int(QSerialPort::NoParity) << int(QSerialPort::TwoStop);
    QTest::newRow("1") << 1 << int(QSerialPort::OddParity) << int(QSerialPort::OneStop);
    QTest::newRow("2") << 2 << int(QSerialPort::EvenParity) << int(QSerialPort::OneStop);
    QTest::newRow("3") << 3 << int(QSerialPort::NoParity) << int(QSerialPort::OneStop);
    QTest::newRow("7") << 7 << int(QSerialPort::NoParity) << int(QSerialPort::TwoStop);
    QTest::newRow("-1") << -1 << int(QSerialPort::NoParity) << int(QSerialPort::TwoStop);
}

void TestWorkerParts::framing() {
    QFETCH(int, index);
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    QCOMPARE(int(linesettings::framing(index).parity), parity);
    QCOMPARE(int(linesettings::framing(index).stopBits), stopBits);
}

void TestWorkerParts::firmwarePath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("pieceIndex");
    const int motor = int(FirmwarePathInfo::Target::Motor);
    const int user = int(FirmwarePathInfo::Target::User);
    const int none = int(FirmwarePathInfo::Target::None);
    QTest::newRow("model and motor") << "C:/fw/drive_0x1A2B_motor.ofw" << motor << 0x1A2B << 1;
    QTest::newRow("capital X") << "/fw/drive_0X1A2B_motor.ofw" << motor << 0 << -1;
    QTest::newRow("seven characters") << "/fw/drive_0x1A2B3_user.ofw" << user << 0 << -1;
    QTest::newRow("not hexadecimal") << "/fw/drive_0x1G2B_user.ofw" << user << 0 << -1;
    QTest::newRow("last piece wins") << "/fw/a_0x0001_0x0002_user.ofw" << user << 2 << 2;
    QTest::newRow("motor and user") << "/fw/user_motor.ofw" << motor << 0 << -1;
    QTest::newRow("Motor is case-sensitive") << "/fw/Motor.ofw" << none << 0 << -1;
    QTest::newRow("neither") << "/fw/drive.ofw" << none << 0 << -1;
}

void TestWorkerParts::firmwarePath() {
    QFETCH(QString, path);
    QFETCH(int, target);
    QFETCH(int, model);
    QFETCH(int, pieceIndex);
    const FirmwarePathInfo info = parseFirmwarePath(path);
    QCOMPARE(int(info.target), target);
    QCOMPARE(int(info.model()), model);
    QCOMPARE(info.hasModel() ? info.modelPieces.last().index : -1, pieceIndex);
}

void TestWorkerParts::firmwareBlocks() {
    QByteArray bytes(300, 0);
    for (int i = 0; i < bytes.size(); ++i) {
        bytes[i] = char(i);
    }
    const FirmwareImage image(bytes);
    QCOMPARE(image.blockCount(), 3);
    QCOMPARE(image.block(0), bytes.left(128));
    QCOMPARE(image.block(2), bytes.mid(256) + QByteArray(84, char(0xFF)));
}

void TestWorkerParts::firmwareProgress_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<QVector<float>>("progress");
    QTest::newRow("300 bytes") << 300 << QVector<float>{0.0f, 200.0f / 3.0f, 100.0f};
    QTest::newRow("exactly two blocks") << 256 << QVector<float>{0.0f, 100.0f};
    QTest::newRow("one short block") << 10 << QVector<float>{0.0f};
}

void TestWorkerParts::firmwareProgress() {
    QFETCH(int, size);
    QFETCH(QVector<float>, progress);
    const FirmwareImage image(QByteArray(size, 'x'));
    QCOMPARE(image.blockCount(), progress.size());
    for (int k = 0; k < progress.size(); ++k) {
        QCOMPARE(image.progressAfterBlock(k), progress.at(k));
    }
}

void TestWorkerParts::captureChunks_data() {
    QTest::addColumn<int>("base");
    QTest::newRow("trace buffers") << CaptureReader::kBufferBase;
    QTest::newRow("accelerometer") << CaptureReader::kAccelerometerBase;
}

void TestWorkerParts::captureChunks() {
    QFETCH(int, base);
    CaptureReader reader;
    reader.restart(base);
    QVector<CaptureReader::Chunk> chunks;
    while (reader.active()) {
        chunks.append(reader.next());
    }
    QCOMPARE(chunks.size(), 27);
    int expectedStart = base;
    for (int i = 0; i < chunks.size(); ++i) {
        QCOMPARE(chunks.at(i).start, expectedStart);
        QCOMPARE(chunks.at(i).count, i % 9 == 8 ? 64 : 120);
        expectedStart += chunks.at(i).count;
    }
    QCOMPARE(chunks.at(8).start, base + 0x3C0);
    QCOMPARE(chunks.at(9).start, base + 0x400);
    QCOMPARE(expectedStart, base + 0xC00);
}

void TestWorkerParts::splitRead() {
    SplitRead read(0, 130);
    QCOMPARE(read.parts().size(), 2);
    QCOMPARE(read.parts().at(1).start, 125);
    QCOMPARE(read.parts().at(1).count, 5);
    QVector<uint16_t> second{1, 2, 3, 4, 5};
    QVERIFY(read.accept(1, second));
    QVERIFY(!read.complete());
    QVector<uint16_t> first(125, 7);
    QVERIFY(read.accept(0, first));
    QVERIFY(read.complete());
    QCOMPARE(read.words(), first + second);
}

void TestWorkerParts::splitReadRejectsWrongCount() {
    SplitRead read(1000, 4);
    QVERIFY(!read.accept(0, {1, 2, 3}));
    QVERIFY(read.failed());
    QVERIFY(!read.complete());
}

void TestWorkerParts::failureRun() {
    FailureCounter counter;
    QVERIFY(counter.recordSuccess());  // quiet from the start: the first good reply ends it
    QVERIFY(!counter.recordSuccess());
    int limitRuns = 0;
    for (int i = 0; i < 8; ++i) {
        const FailureCounter::Outcome outcome = counter.recordFailure(FailureCounter::Kind::Other);
        QVERIFY(outcome.countError);
        limitRuns += outcome.limitRun ? 1 : 0;
        QCOMPARE(outcome.limitRun, i == 5);  // the sixth failure in a row
    }
    QCOMPARE(limitRuns, 1);
    QCOMPARE(counter.errorCount(), 8);
    QVERIFY(counter.recordSuccess());
    QCOMPARE(counter.consecutive(), 0);
}

void TestWorkerParts::failureLimitZero() {
    FailureCounter counter;
    counter.setLimit(0);
    counter.recordSuccess();
    QVERIFY(!counter.recordFailure(FailureCounter::Kind::Exception).limitRun);
    QVERIFY(counter.quiet());
}

void TestWorkerParts::searchTimeoutsAreNotErrors() {
    FailureCounter counter;
    counter.recordSuccess();
    for (int i = 0; i < 7; ++i) {
        const FailureCounter::Outcome outcome = counter.recordFailure(FailureCounter::Kind::SearchNoAnswer);
        QVERIFY(!outcome.countError);
        QVERIFY(!outcome.limitRun);
    }
    QCOMPARE(counter.errorCount(), 7);
    QVERIFY(counter.recordFailure(FailureCounter::Kind::Exception).countError);
}

QTEST_GUILESS_MAIN(TestWorkerParts)
#include "tst_worker_parts.moc"
