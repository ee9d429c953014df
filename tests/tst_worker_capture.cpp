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

QStringList readsFrom(const QStringList &requests, int base) {
    const QString prefix = QStringLiteral("1 04 %1").arg(base >> 12, 1, 16).toUpper();
    QStringList reads;
    for (const QString &request : requests) {
        if (request.startsWith(prefix)) {
            reads.append(request);
        }
    }
    return reads;
}

}  // namespace

class TestWorkerCapture : public QObject {
    Q_OBJECT

  private slots:
    void traceBuffersAreReadOnceTheStatusBitIsSet();
    void accelerometerIsReadWithoutProgress();
};

void TestWorkerCapture::traceBuffersAreReadOnceTheStatusBitIsSet() {
    WorkerHarness h;
    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.worker->setCaptureStatusIndex(kStatusPosition);
    h.connectWorker(40, 64);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), 10000);

    h.worker->triggerCapture();
    QVERIFY(h.waitForRequest([](const QString &line) { return line == QLatin1String("1 06 50 00 00 01"); }));
    // Armed but the bit is clear: polling goes on without reading the buffers.
    const int reads = h.probe.inputs.size();
    QTRY_VERIFY_WITH_TIMEOUT(h.probe.inputs.size() >= reads + 2, kTimeoutMs);
    QVERIFY(readsFrom(h.requests(), 0x5000).isEmpty());

    QVERIFY(h.bus.drive.command(QStringLiteral("set-input %1 0x1000").arg(kStatusPosition)));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.progress2.size(), 29, kTimeoutMs);
    // The bit stays set, but the capture was disarmed: four more polls read no buffer.
    const int polls = h.requests().count(QStringLiteral("1 04 00 00 00 28"));
    QVERIFY(h.bus.drive.waitForLog([&](const QStringList &) {
        return h.requests().count(QStringLiteral("1 04 00 00 00 28")) >= polls + 4;
    }));

    QCOMPARE(readsFrom(h.requests(), 0x5000), expectedChunkReads(0x5000));
    QList<int> percent;
    for (float value : h.probe.progress2) {
        percent.append(int(value));
    }
    QList<int> expected;
    for (int n = 1; n <= 28; ++n) {
        expected.append(int(float(n) / 28 * 100.0f));
    }
    expected.append(0);
    QCOMPARE(percent, expected);
    QCOMPARE(percent.mid(0, 3), (QList<int>{3, 7, 10}));
    QCOMPARE(h.probe.statusesContaining(QStringLiteral("Buffer listo para leer")).size(), 1);

    QList<int> chunkStarts;
    for (const WorkerProbe::Words &reply : h.probe.inputs) {
        if (reply.start >= 0x5000) {
            chunkStarts.append(reply.start);
            QCOMPARE(reply.words.size(), (reply.start & 0x3FF) == 0x3C0 ? 64 : 120);
        }
    }
    QCOMPARE(chunkStarts.size(), 27);
    QCOMPARE(chunkStarts.at(9), 0x5400);
}

void TestWorkerCapture::accelerometerIsReadWithoutProgress() {
    WorkerHarness h;
    QString error;
    QVERIFY2(h.startBus({1}, &error), qPrintable(error));
    h.connectWorker(40, 64);
    QTRY_VERIFY_WITH_TIMEOUT(!h.probe.inputs.isEmpty(), 10000);
    h.worker->startAccelerometerRead();
    QTRY_VERIFY_WITH_TIMEOUT(
        std::count_if(h.probe.inputs.begin(), h.probe.inputs.end(),
                      [](const WorkerProbe::Words &reply) { return reply.start >= 0x4000; }) == 27,
        kTimeoutMs);
    const int polls = h.requests().count(QStringLiteral("1 04 00 00 00 28"));
    QVERIFY(h.bus.drive.waitForLog([&](const QStringList &) {
        return h.requests().count(QStringLiteral("1 04 00 00 00 28")) >= polls + 2;
    }));
    QCOMPARE(readsFrom(h.requests(), 0x4000), expectedChunkReads(0x4000));
    QVERIFY(h.probe.progress2.isEmpty());
}

QTEST_GUILESS_MAIN(TestWorkerCapture)
#include "tst_worker_capture.moc"
