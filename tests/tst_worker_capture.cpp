#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

// A capture from `base` is read in 27 chunks: three blocks of 0x400 registers, each eight reads
// of 120 and one of 64; every reply arrives with its start.
class TestWorkerCapture : public QObject {
    Q_OBJECT

  private slots:
    void captureIsReadInChunks_data() {
        QTest::addColumn<int>("base");
        QTest::addColumn<QList<int>>("percent");
        QList<int> percent;
        for (int n = 1; n <= 28; ++n) {
            percent.append(int(float(n) / 28 * 100.0f));  // 3, 7, 10, ...
        }
        QTest::newRow("trace buffers, once the status bit is set") << 0x5000 << (percent << 0);
        QTest::newRow("accelerometer, without progress") << 0x4000 << QList<int>();
    }

    void captureIsReadInChunks() {
        QFETCH(int, base);
        QFETCH(QList<int>, percent);
        const QString poll = QStringLiteral("1 04 00 00 00 28");
        const int statusPosition = 20;
        const auto captureReads = [base](const QStringList &requests) {
            return requests.filter(QRegularExpression(QStringLiteral("^1 04 %1").arg(base >> 12)));
        };
        WorkerHarness h;
        h.worker->setCaptureStatusIndex(statusPosition);
        QVERIFY(h.startPolling());
        if (base == 0x5000) {
            h.worker->triggerCapture();
            QVERIFY(h.waitForRequests({QStringLiteral("1 06 50 00 00 01")}));
            // Armed but the bit is clear: polling goes on without reading the buffers.
            QVERIFY(h.waitForMore(poll));
            QVERIFY(captureReads(h.requests()).isEmpty());
            QVERIFY(h.bus.drive.command(QStringLiteral("set-input %1 0x1000").arg(statusPosition)));
        } else {
            h.worker->startAccelerometerRead();
        }
        const auto read = [](int start, int count) {
            return QString::asprintf("1 04 %02X %02X 00 %02X", start >> 8, start & 0xFF, count);
        };
        QStringList reads;
        for (int block = 0; block < 3; ++block) {
            for (int i = 0; i < 9; ++i) {
                reads << read(base + block * 0x400 + i * 120, i == 8 ? 64 : 120);
            }
        }
        QTRY_COMPARE_WITH_TIMEOUT(captureReads(h.requests()), reads, 30000);
        // The status bit stays set, but the capture was disarmed: four more polls read no buffer.
        QVERIFY(h.waitForMore(poll, 4));
        QCOMPARE(captureReads(h.requests()), reads);
        QStringList replies;  // written as the reads they answer
        for (const WorkerProbe::Words &reply : h.probe.inputs) {
            replies << (reply.start >= base ? QStringList{read(reply.start, reply.words.size())}
                                            : QStringList());
        }
        QCOMPARE(replies, reads);
        QList<int> shown;
        for (float value : h.probe.progress2) {
            shown.append(int(value));
        }
        QCOMPARE(shown, percent);
        QCOMPARE(h.probe.said(QStringLiteral("Buffer listo para leer")), percent.isEmpty() ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestWorkerCapture)
#include "tst_worker_capture.moc"
