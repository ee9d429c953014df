#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

namespace {

QByteArray testImage(int size) {
    QByteArray bytes(size, 0);
    for (int i = 0; i < size; ++i) {
        bytes[i] = char((i * 7 + 3) & 0xFF);
    }
    return bytes;
}

// Writes testImage(size) to `name` in `dir` and returns the path.
QString writeImage(const QTemporaryDir &dir, const QString &name, int size) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(testImage(size)) == size ? file.fileName()
                                                                                  : QString();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestWorkerFlash : public QObject {
    Q_OBJECT

  private slots:
    void flashSendsTheFileInBlocks_data();
    void flashSendsTheFileInBlocks();
    void failedFrameEndsTheFlash_data();
    void failedFrameEndsTheFlash();
    void refusedFiles_data();
    void refusedFiles();
};

void TestWorkerFlash::flashSendsTheFileInBlocks_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("model");
    QTest::addColumn<QList<int>>("subCommands");
    QTest::addColumn<QList<int>>("intervals");  // tick intervals met in the block state
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<Transport>("transport");
    const QStringList motorLog{"Sending file to MOTOR uC", "Erase MOTOR memory", "cerrando fichero",
                               "Envio de reset del renesas a app principal",
                               "Envio de reset del atmel a app principal"};
    QTest::newRow("motor, model from the drive")
        << "drive_motor.ofw" << 0x0123 << QList<int>{1, 7, 5, 5, 5, 3, 4} << QList<int>{1250, 40} << motorLog
        << Transport::Serial;
    QTest::newRow("user, model from the path")
        << "drive_0x0123_user.ofw" << 0x0777 << QList<int>{2, 8, 6, 6, 6, 4} << QList<int>{1000, 40}
        << QStringList{"Sending file to USER uC", "Erase USER memory", "cerrando fichero",
                       "Marcar firmware como bueno"}
        << Transport::Serial;
    QTest::newRow("motor, through a gateway")
        << "drive_motor.ofw" << 0x0123 << QList<int>{1, 7, 5, 5, 5, 3, 4} << QList<int>{1250, 100} << motorLog
        << Transport::Tcp;
}

void TestWorkerFlash::flashSendsTheFileInBlocks() {
    QFETCH(QString, fileName);
    QFETCH(int, model);
    QFETCH(QList<int>, subCommands);
    QFETCH(QList<int>, intervals);
    QFETCH(QStringList, log);
    QFETCH(Transport, transport);
    QTemporaryDir dir;
    const QString path = writeImage(dir, fileName, 300);
    QVERIFY(!path.isEmpty());
    WorkerHarness h(transport);
    QVERIFY(h.startPolling());
    QList<int> seen;  // the poll timer is the first timer the worker makes
    h.onTick([&seen](Modbus &worker) {
        if (worker.pollState() == Modbus::ESTADO_W_BOOT_FILE ||
            worker.pollState() == Modbus::ESTADO_W_USER_FILE) {
            seen.append(worker.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly)->interval());
        }
    });
    h.worker->selectFirmwareFile(model, path);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.flashResults, QList<bool>{true}, 30000);
    h.onTick(nullptr);
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    QCOMPARE(seen, intervals);

    QList<int> sent;
    QStringList blockNumbers;
    for (const QString &request : h.requests()) {
        const QStringList bytes = request.split(QLatin1Char(' '));
        if (bytes.value(1) == QLatin1String("64")) {
            QCOMPARE(bytes.mid(2, 2).join(QLatin1Char(' ')), QStringLiteral("01 23"));  // model, high first
            sent.append(bytes.value(4).toInt(nullptr, 16));
            if (bytes.size() == 2 + 133) {
                blockNumbers.append(bytes.mid(5, 2).join(QLatin1Char(' ')));
            }
        }
    }
    QCOMPARE(sent, subCommands);
    QCOMPARE(blockNumbers, (QStringList{"00 00", "00 01", "00 02"}));
    const QString controller = fileName.contains(QLatin1String("motor")) ? "motor" : "user";
    QCOMPARE(readFile(h.bus.drive.imagePath(controller)), testImage(300) + QByteArray(84, char(0xFF)));
    QCOMPARE(h.probe.interactionDisabled, (QList<bool>{true, false}));
    QCOMPARE(h.probe.progressText.size(), 3);
    QCOMPARE(h.probe.progressText.at(0), qMakePair(0.0f, true));
    QCOMPARE(h.probe.progressText.at(2), qMakePair(100.0f, false));
    const QString byteCount =
        QStringLiteral("Firmware update of the %1 uC completed: 300 bytes sent").arg(controller.toUpper());
    QCOMPARE(h.probe.flashVerdicts, (QList<QPair<bool, QString>>{{true, byteCount}}));
    QStringList texts;
    for (const WorkerProbe::Status &status : h.probe.statuses) {
        texts.append(status.text);
    }
    QCOMPARE(texts.mid(texts.indexOf(log.first())), log);
    QVERIFY(h.waitForMore(QStringLiteral("1 04 00 00 00 28")));  // polling resumes
}

void TestWorkerFlash::failedFrameEndsTheFlash_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<QString>("replyStart");
    QTest::addColumn<QString>("replyEnd");
    QTest::newRow("model refused by the drive")
        << "drive_0x0777_motor.ofw" << QString()
        << "Firmware update of the MOTOR uC failed at the announce frame: exception 0x3, illegal data value"
        << "RESPUESTA A FUNCION 0x64 - ProtocolError - Write response error: "
        << "(Mobus exception: 0x3)";
    QTest::newRow("silent drive") << "drive_user.ofw"
                                  << "silent on"
                                  << "Firmware update of the USER uC failed at the announce frame: no answer"
                                  << "RESPUESTA A FUNCION 0x64  - =/= NoError - Write response error: "
                                  << "(code: 0x5)";
}

void TestWorkerFlash::failedFrameEndsTheFlash() {
    QFETCH(QString, fileName);
    QFETCH(QString, fault);
    QFETCH(QString, verdict);
    QFETCH(QString, replyStart);
    QFETCH(QString, replyEnd);
    QTemporaryDir dir;
    const QString path = writeImage(dir, fileName, 300);
    QVERIFY(!path.isEmpty());
    WorkerHarness h;
    QVERIFY(h.startPolling());
    QVERIFY(fault.isEmpty() || h.bus.drive.command(fault));
    h.probe.clear();
    h.worker->selectFirmwareFile(0x0123, path);
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.flashResults, QList<bool>{false}, 30000);

    QCOMPARE(h.probe.flashVerdicts, (QList<QPair<bool, QString>>{{false, verdict}}));
    QCOMPARE(h.probe.routeOf(QStringLiteral("RESPUESTA A FUNCION 0x64")), QStringLiteral("-S-"));
    const QString reply = h.probe.statusesContaining(QStringLiteral("RESPUESTA A FUNCION 0x64")).first().text;
    QVERIFY2(reply.startsWith(replyStart) && reply.endsWith(replyEnd), qPrintable(reply));
    QCOMPARE(h.probe.interactionDisabled, (QList<bool>{true, false}));
    QCOMPARE(h.probe.progressText, (QList<QPair<float, bool>>{{0.0f, true}}));  // the line that says so
    QVERIFY(h.probe.count(QStringLiteral("incErrorCnt")) >= 1);
    for (const QString &request : h.requests()) {
        QVERIFY2(!QRegularExpression(QStringLiteral("^1 64 .. .. 0[3-8]")).match(request).hasMatch(),
                 qPrintable(request));  // nothing after the refused announce
    }
}

void TestWorkerFlash::refusedFiles_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("message");
    QTest::newRow("no controller in the name")
        << "firmware.ofw" << 300 << 0x0123 << "is neither a motor nor a user firmware";
    QTest::newRow("no model") << "drive_motor.ofw" << 300 << 0 << "The model number must be defined";
    QTest::newRow("missing file") << "" << 0 << 0x0123 << "can't be opened";
    QTest::newRow("empty file") << "drive_user.ofw" << 0 << 0x0123 << "can't be flashed";
}

void TestWorkerFlash::refusedFiles() {
    QFETCH(QString, fileName);
    QFETCH(int, size);
    QFETCH(int, model);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = fileName.isEmpty() ? dir.filePath(QStringLiteral("absent_motor.ofw"))
                                            : writeImage(dir, fileName, size);
    WorkerHarness h;
    h.worker->selectFirmwareFile(model, path);
    QTRY_COMPARE(h.probe.flashResults, QList<bool>{false});
    QCOMPARE(h.probe.statusesContaining(message).size(), 1);
    QVERIFY(h.probe.interactionDisabled.isEmpty());
    QVERIFY(h.ask([](Modbus &worker) { return worker.pollState() == Modbus::ESTADO_R_INPUTS; }));
}

QTEST_GUILESS_MAIN(TestWorkerFlash)
#include "tst_worker_flash.moc"
