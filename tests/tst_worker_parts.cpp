#include <QtTest>

#include "comm/endpoint.h"
#include "comm/failurecounter.h"
#include "comm/firmwareimage.h"
#include "comm/firmwarepath.h"
#include "comm/linesettings.h"
#include "comm/splitread.h"

// The worker's decisions that need no drive. (The capture's chunking is checked read by read on
// the wire in tst_worker_capture.)
class TestWorkerParts : public QObject {
    Q_OBJECT

  private slots:
    // Baud rate, poll interval for 0 and 300 ms asked, response time-out, flash block interval
    // and flash time-out; a speed without a row of its own takes the 9600 one.
    void speedRows_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QList<int>>("row");
        QTest::newRow("9600") << 9600 << QList<int>{9600, 250, 300, 400, 400, 400};
        QTest::newRow("19200") << 19200 << QList<int>{19200, 250, 300, 200, 250, 200};
        QTest::newRow("38400") << 38400 << QList<int>{38400, 100, 300, 150, 100, 150};
        QTest::newRow("57600") << 57600 << QList<int>{57600, 100, 300, 75, 100, 75};
        QTest::newRow("115200") << 115200 << QList<int>{115200, 100, 300, 250, 40, 20};
        QTest::newRow("other") << 1200 << QList<int>{9600, 250, 300, 400, 400, 400};
    }
    void speedRows() {
        QFETCH(int, speed);
        const linesettings::SpeedRow row = linesettings::speedRow(speed);
        const linesettings::FlashTiming flash = linesettings::flashTiming(speed);
        QTEST((QList<int>{row.baudRate, linesettings::pollInterval(0, speed),
                          linesettings::pollInterval(300, speed), row.responseTimeoutMs,
                          flash.blockIntervalMs, flash.responseTimeoutMs}),
              "row");
    }

    void framing() {  // 8N2, 8O1, 8E1, 8N1 and 8N2 for anything else
        const QMap<int, QString> parity{
            {QSerialPort::NoParity, "N"}, {QSerialPort::OddParity, "O"}, {QSerialPort::EvenParity, "E"}};
        QStringList framings;
        for (int index : {0, 1, 2, 3, 7, -1}) {
            const linesettings::Framing framing = linesettings::framing(index);
            framings << parity.value(framing.parity) + QString::number(framing.stopBits);
        }
        QCOMPARE(framings, QStringLiteral("N2 O1 E1 N1 N2 N2").split(' '));
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
        QCOMPARE(endpoint.error().isEmpty(), endpoint.isValid());  // a refused text says why
        if (endpoint.isValid()) {
            QCOMPARE(endpoint.toString(), canonical);
            QCOMPARE(Endpoint::parse(endpoint.toString()).toString(), canonical);
            QCOMPARE(linesettings::pollInterval(50, linesettings::timingSpeed(endpoint, 9600)), interval);
        }
    }

    // The controller's name and the model: the last piece "0x" and four hexadecimal digits.
    void firmwarePath() {
        using Target = FirmwarePathInfo::Target;
        for (const auto &[path, target, model, pieceIndex] :
             {std::tuple{"C:/fw/drive_0x1A2B_motor.ofw", Target::Motor, 0x1A2B, 1},
              {"/fw/drive_0X1A2B_motor.ofw", Target::Motor, 0, -1},  // capital X
              {"/fw/drive_0x1A2B3_user.ofw", Target::User, 0, -1},   // seven characters
              {"/fw/drive_0x1G2B_user.ofw", Target::User, 0, -1},    // not hexadecimal
              {"/fw/a_0x0001_0x0002_user.ofw", Target::User, 2, 2},
              {"/fw/user_motor.ofw", Target::Motor, 0, -1},
              {"/fw/Motor.ofw", Target::None, 0, -1},  // case-sensitive
              {"/fw/drive.ofw", Target::None, 0, -1}}) {
            const FirmwarePathInfo info = parseFirmwarePath(path);
            const int lastPiece = info.hasModel() ? info.modelPieces.last().index : -1;
            QVERIFY2(info.target == target && info.model() == model && lastPiece == pieceIndex, path);
        }
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
        std::iota(bytes.begin(), bytes.end(), char(0));
        const FirmwareImage image(bytes);
        QCOMPARE(image.blockCount(), progress.size());
        for (int k = 0; k < progress.size(); ++k) {
            QCOMPARE(image.progressAfterBlock(k), progress.at(k));
            const QByteArray data = bytes.mid(128 * k, 128);
            QCOMPARE(image.block(k), data + QByteArray(128 - data.size(), char(0xFF)));
        }
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
        QTest::newRow("quiet from the start: the first good reply ends it") << 5 << "ss"
                                                                            << "Q-";
        QTest::newRow("sixth failure in a row passes the limit") << 5 << "sffffffffs"
                                                                 << "QcccccLccQ";
        QTest::newRow("a good reply starts the run again") << 5 << "sfffsffffffs"
                                                           << "Qccc-cccccLQ";
        QTest::newRow("limit 0: quiet at once, no run") << 0 << "sxs"
                                                        << "QcQ";
        QTest::newRow("unanswered searches are not errors") << 5 << "snnnnnnnx"
                                                            << "Q.......c";
    }
    void failureCounter() {
        QFETCH(int, limit);
        QFETCH(QString, events);
        FailureCounter counter;
        counter.setLimit(limit);
        QString outcomes;
        for (const QChar event : events) {
            if (event == 's') {
                outcomes += counter.recordSuccess() ? 'Q' : '-';
                QCOMPARE(counter.consecutive(), 0);
                continue;
            }
            using Kind = FailureCounter::Kind;
            const auto outcome = counter.recordFailure(event == 'f'   ? Kind::Other
                                                       : event == 'x' ? Kind::Exception
                                                                      : Kind::SearchNoAnswer);
            outcomes += outcome.limitRun ? 'L' : outcome.countError ? 'c' : '.';
        }
        QTEST(outcomes, "outcomes");
        QCOMPARE(counter.errorCount(), events.count(QRegularExpression("[fxn]")));
    }
};

QTEST_GUILESS_MAIN(TestWorkerParts)
#include "tst_worker_parts.moc"
