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
    void pollInterval_data() {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("50 ms at 9600") << 50 << 9600 << 250;
        QTest::newRow("50 ms at 57600") << 50 << 57600 << 100;
        QTest::newRow("1000 ms at 115200") << 1000 << 115200 << 1000;
        QTest::newRow("0 ms at 115200") << 0 << 115200 << 100;
        QTest::newRow("unknown speed uses 9600 row") << 100 << 4800 << 250;
    }
    void pollInterval() {
        QFETCH(int, requested);
        QFETCH(int, speed);
        QTEST(linesettings::pollInterval(requested, speed), "interval");
    }

    void endpoints_data() {
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
    void endpoints() {
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

    void speedRows_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QList<int>>("row");  // baud, response timeout, flash block interval, flash timeout
        QTest::newRow("9600") << 9600 << QList<int>{9600, 400, 400, 400};
        QTest::newRow("19200") << 19200 << QList<int>{19200, 200, 250, 200};
        QTest::newRow("38400") << 38400 << QList<int>{38400, 150, 100, 150};
        QTest::newRow("57600") << 57600 << QList<int>{57600, 75, 100, 75};
        QTest::newRow("115200") << 115200 << QList<int>{115200, 250, 40, 20};
        QTest::newRow("other") << 1200 << QList<int>{9600, 400, 400, 400};
    }
    void speedRows() {
        QFETCH(int, speed);
        const linesettings::SpeedRow row = linesettings::speedRow(speed);
        const linesettings::FlashTiming flash = linesettings::flashTiming(speed);
        QTEST(
            (QList<int>{row.baudRate, row.responseTimeoutMs, flash.blockIntervalMs, flash.responseTimeoutMs}),
            "row");
    }

    void framing_data() {
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
    void framing() {
        QFETCH(int, index);
        QTEST(int(linesettings::framing(index).parity), "parity");
        QTEST(int(linesettings::framing(index).stopBits), "stopBits");
    }

    void firmwarePath_data() {
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
    void firmwarePath() {
        QFETCH(QString, path);
        const FirmwarePathInfo info = parseFirmwarePath(path);
        QTEST(int(info.target), "target");
        QTEST(int(info.model()), "model");
        QTEST(info.hasModel() ? info.modelPieces.last().index : -1, "pieceIndex");
    }

    // 128-byte blocks, the last one padded with 0xFF; progress after block k of n is (k+1)/n, 0 after the
    // first.
    void firmwareImage_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QVector<float>>("progress");
        QTest::newRow("300 bytes") << 300 << QVector<float>{0.0f, 200.0f / 3.0f, 100.0f};
        QTest::newRow("exactly two blocks") << 256 << QVector<float>{0.0f, 100.0f};
        QTest::newRow("one short block") << 10 << QVector<float>{0.0f};
    }
    void firmwareImage() {
        QFETCH(int, size);
        QFETCH(QVector<float>, progress);
        QByteArray bytes(size, 0);
        for (int i = 0; i < size; ++i) {
            bytes[i] = char(i);
        }
        const FirmwareImage image(bytes);
        QCOMPARE(image.blockCount(), progress.size());
        for (int k = 0; k < progress.size(); ++k) {
            QCOMPARE(image.progressAfterBlock(k), progress.at(k));
            const QByteArray data = bytes.mid(128 * k, 128);
            QCOMPARE(image.block(k), data + QByteArray(128 - data.size(), char(0xFF)));
        }
    }

    void captureChunks_data() {
        QTest::addColumn<int>("base");
        QTest::newRow("trace buffers") << CaptureReader::kBufferBase;
        QTest::newRow("accelerometer") << CaptureReader::kAccelerometerBase;
    }
    void captureChunks() {
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
        QCOMPARE(chunks.at(9).start, base + 0x400);
        QCOMPARE(expectedStart, base + 0xC00);
    }

    void splitRead() {
        SplitRead read(0, 130);
        QCOMPARE(read.parts().size(), 2);
        QCOMPARE(read.parts().at(1).start, 125);
        QCOMPARE(read.parts().at(1).count, 5);
        const QVector<uint16_t> second{1, 2, 3, 4, 5}, first(125, 7);
        QVERIFY(read.accept(1, second));
        QVERIFY(!read.complete());
        QVERIFY(read.accept(0, first));
        QVERIFY(read.complete());
        QCOMPARE(read.words(), first + second);
        SplitRead wrongCount(1000, 4);
        QVERIFY(!wrongCount.accept(0, {1, 2, 3}));
        QVERIFY(wrongCount.failed());
        QVERIFY(!wrongCount.complete());
    }

    // Events: s good reply, f failed read, x exception, n unanswered search read.
    // Outcomes: s gives Q when it ends a quiet period, else -; a failure gives c when counted as an
    // error, L when counted and it passes the limit, . when not counted.
    void failureCounter_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("events");
        QTest::addColumn<QString>("outcomes");
        // clang-format off
        QTest::newRow("quiet from the start: the first good reply ends it") << 5 << "ss" << "Q-";
        QTest::newRow("sixth failure in a row passes the limit") << 5 << "sffffffffs" << "QcccccLccQ";
        QTest::newRow("a good reply starts the run again") << 5 << "sfffsffffffs" << "Qccc-cccccLQ";
        QTest::newRow("limit 0: quiet at once, no run") << 0 << "sxs" << "QcQ";
        QTest::newRow("unanswered searches are not errors") << 5 << "snnnnnnnx" << "Q.......c";
        // clang-format on
    }
    void failureCounter() {
        QFETCH(int, limit);
        QFETCH(QString, events);
        FailureCounter counter;
        counter.setLimit(limit);
        QString outcomes;
        int failures = 0;
        for (const QChar event : events) {
            if (event == QLatin1Char('s')) {
                outcomes += counter.recordSuccess() ? QLatin1Char('Q') : QLatin1Char('-');
                QCOMPARE(counter.consecutive(), 0);
                continue;
            }
            ++failures;
            const FailureCounter::Outcome outcome =
                counter.recordFailure(event == QLatin1Char('f')   ? FailureCounter::Kind::Other
                                      : event == QLatin1Char('x') ? FailureCounter::Kind::Exception
                                                                  : FailureCounter::Kind::SearchNoAnswer);
            outcomes += outcome.limitRun     ? QLatin1Char('L')
                        : outcome.countError ? QLatin1Char('c')
                                             : QLatin1Char('.');
        }
        QTEST(outcomes, "outcomes");
        QCOMPARE(counter.errorCount(), failures);
    }
};

QTEST_GUILESS_MAIN(TestWorkerParts)
#include "tst_worker_parts.moc"
