#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

namespace {

constexpr int kStatusPosition = 20;
constexpr int kTimeoutMs = 30000;

// The 27 chunk reads of a capture from `base`, as the drive's log shows them.
QStringList expectedChunkReads(int base) {
    QStringList reads;
    for (int block = 0; block < 3; ++block) {
        for (int i = 0; i < 9; ++i) {
            const int start = base + block * 0x400 + i * 120;
            const int count = i == 8 ? 64 : 120;
            reads << QStringLiteral("1 04 %1 %2 00 %3")
                         .arg(start >> 8, 2, 16, QLatin1Char('0'))
                         .arg(start & 0xFF, 2, 16, QLatin1Char('0'))
                         .arg(count, 2, 16, QLatin1Char('0'))
                         .toUpper();
        }
    }
    return reads;
}

// The capture reads from `base` in the request log.
QStringList readsFrom(const QStringList &requests, int base) {
    return requests.filter(QRegularExpression(QStringLiteral("^1 04 %1").arg(base >> 12)));
}

}  // namespace

class TestWorkerCapture : public QObject {
    Q_OBJECT

  private slots:
    void captureIsReadInChunks_data();
    void captureIsReadInChunks();
};

void TestWorkerCapture::captureIsReadInChunks_data() {
    QTest::addColumn<int>("base");
    QTest::addColumn<QList<int>>("percent");
    QList<int> percent;
    for (int n = 1; n <= 28; ++n) {
        percent.append(int(float(n) / 28 * 100.0f));  // 3, 7, 10, ...
    }
    QTest::newRow("trace buffers, once the status bit is set") << 0x5000 << (percent << 0);
    QTest::newRow("accelerometer, without progress") << 0x4000 << QList<int>();
}

void TestWorkerCapture::captureIsReadInChunks() {
    QFETCH(int, base);
    QFETCH(QList<int>, percent);
    const QString poll = QStringLiteral("1 04 00 00 00 28");
    WorkerHarness h;
    h.worker->setCaptureStatusIndex(kStatusPosition);
    QVERIFY(h.startPolling());
    if (base == 0x5000) {
        h.worker->triggerCapture();
        QVERIFY(h.waitForRequests({QStringLiteral("1 06 50 00 00 01")}));
        // Armed but the bit is clear: polling goes on without reading the buffers.
        QVERIFY(h.waitForMore(poll));
        QVERIFY(readsFrom(h.requests(), base).isEmpty());
        QVERIFY(h.bus.drive.command(QStringLiteral("set-input %1 0x1000").arg(kStatusPosition)));
    } else {
        h.worker->startAccelerometerRead();
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        std::count_if(h.probe.inputs.begin(), h.probe.inputs.end(),
                      [&](const WorkerProbe::Words &reply) { return reply.start >= base; }) == 27,
        kTimeoutMs);
    // The status bit stays set, but the capture was disarmed: four more polls read no buffer.
    QVERIFY(h.waitForMore(poll, 4));
    QCOMPARE(readsFrom(h.requests(), base), expectedChunkReads(base));
    QList<int> chunkStarts;
    for (const WorkerProbe::Words &reply : h.probe.inputs) {
        if (reply.start >= base) {
            chunkStarts.append(reply.start);
            QCOMPARE(reply.words.size(), (reply.start & 0x3FF) == 0x3C0 ? 64 : 120);
        }
    }
    QCOMPARE(chunkStarts.size(), 27);
    QCOMPARE(chunkStarts.at(9), base + 0x400);
    QList<int> shown;
    for (float value : h.probe.progress2) {
        shown.append(int(value));
    }
    QCOMPARE(shown, percent);
    QCOMPARE(h.probe.said(QStringLiteral("Buffer listo para leer")), percent.isEmpty() ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestWorkerCapture)
#include "tst_worker_capture.moc"
