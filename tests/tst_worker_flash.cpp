#include <QtTest>

#include "comm/modbus.h"
#include "support/workerharness.h"

namespace {

QByteArray testImage(int size) {
    QByteArray bytes(size, 0);
    std::iota(bytes.begin(), bytes.end(), char(3));
    return bytes;
}

// Writes testImage(size) to `name` in `dir` and returns the path.
QString writeImage(const QTemporaryDir &dir, const QString &name, int size = 300) {
    QFile file(dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(testImage(size)) == size ? file.fileName()
                                                                                  : QString();
}

}  // namespace

class TestWorkerFlash : public QObject {
    Q_OBJECT

  private slots:
    void flash_data();
    void flash();
};

void TestWorkerFlash::flash_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("model");
    QTest::addColumn<QList<int>>("subCommands");
    QTest::addColumn<QList<int>>("intervals");  // tick intervals met in the block state
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<Transport>("transport");
    const QStringList motorLog{"Sending file to MOTOR uC", "Erase MOTOR memory", "cerrando fichero",
                               "Envio de reset del renesas a app principal",
                               "Envio de reset del atmel a app principal"};
    const QList<int> motorFrames{1, 7, 5, 5, 5, 3, 4};
    QTest::newRow("motor, model from the drive; then a model the drive refuses")
        << "drive_motor.ofw" << 0x0123 << motorFrames << QList<int>{1250, 40} << motorLog
        << Transport::Serial;
    QTest::newRow("user, model from the path; then a silent drive")
        << "drive_0x0123_user.ofw" << 0x0777 << QList<int>{2, 8, 6, 6, 6, 4} << QList<int>{1000, 40}
        << QStringList{"Sending file to USER uC", "Erase USER memory", "cerrando fichero",
                       "Marcar firmware como bueno"}
        << Transport::Serial;
    QTest::newRow("motor through a gateway; then a model the drive refuses")
        << "drive_motor.ofw" << 0x0123 << motorFrames << QList<int>{1250, 100} << motorLog << Transport::Tcp;
}

void TestWorkerFlash::flash() {
    QFETCH(QString, fileName);
    QFETCH(int, model);
    QFETCH(QList<int>, subCommands);
    QFETCH(QList<int>, intervals);
    QFETCH(QStringList, log);
    QFETCH(Transport, transport);
    QTemporaryDir dir;
    WorkerHarness h(transport);
    // Files refused before anything is sent.
    for (const auto &[path, model, message] :
         {std::tuple{writeImage(dir, "firmware.ofw"), 0x0123, "is neither a motor nor a user firmware"},
          {writeImage(dir, "drive_motor.ofw"), 0, "The model number must be defined"},
          {dir.filePath("absent_motor.ofw"), 0x0123, "can't be opened"},
          {writeImage(dir, "drive_user.ofw", 0), 0x0123, "can't be flashed"}}) {
        h.probe.clear();
        h.worker->selectFirmwareFile(model, path);
        QTRY_COMPARE(h.probe.flashResults, QList<bool>{false});
        QVERIFY2(h.probe.said(message) == 1 && h.probe.interactionDisabled.isEmpty(), message);
        QVERIFY(h.ask([](Modbus &worker) { return worker.pollState() == Modbus::ESTADO_R_INPUTS; }));
    }

    // The file in 128-byte blocks, the last one padded, between the controller's frames.
    QVERIFY(h.startPolling());
    h.probe.clear();
    QList<int> seen;  // the poll timer is the first timer the worker makes
    h.onTick([&seen](Modbus &worker) {
        if (worker.pollState() == Modbus::ESTADO_W_BOOT_FILE ||
            worker.pollState() == Modbus::ESTADO_W_USER_FILE) {
            seen.append(worker.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly)->interval());
        }
    });
    h.worker->selectFirmwareFile(model, writeImage(dir, fileName));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.flashResults, QList<bool>{true}, 30000);
    h.onTick(nullptr);
    seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
    QCOMPARE(seen, intervals);
    QList<int> sent;
    QStringList blockNumbers;
    for (const QString &request : h.requests().filter(QRegularExpression("^1 64 "))) {
        const QStringList bytes = request.split(QLatin1Char(' '));
        QCOMPARE(bytes.mid(2, 2).join(QLatin1Char(' ')), QStringLiteral("01 23"));  // model, high first
        sent.append(bytes.value(4).toInt(nullptr, 16));
        blockNumbers << (bytes.size() == 2 + 133 ? QStringList{bytes.mid(5, 2).join(' ')} : QStringList());
    }
    QCOMPARE(sent, subCommands);
    QCOMPARE(blockNumbers, (QStringList{"00 00", "00 01", "00 02"}));
    const QString controller = fileName.contains(QLatin1String("motor")) ? "MOTOR" : "USER";
    QFile image(h.bus.drive.imagePath(controller.toLower()));
    QVERIFY(image.open(QIODevice::ReadOnly));
    QCOMPARE(image.readAll(), testImage(300) + QByteArray(84, char(0xFF)));
    QCOMPARE(h.probe.interactionDisabled, (QList<bool>{true, false}));
    QCOMPARE(h.probe.progressText,
             (QList<QPair<float, bool>>{{0.0f, true}, {2.0f / 3.0f * 100.0f, false}, {100.0f, false}}));
    const QString verdict = QStringLiteral("Firmware update of the %1 uC ").arg(controller);
    QCOMPARE(h.probe.flashVerdicts,
             (QList<QPair<bool, QString>>{{true, verdict + "completed: 300 bytes sent"}}));
    QStringList texts;
    for (const WorkerProbe::Status &status : h.probe.statuses) {
        texts.append(status.text);
    }
    QCOMPARE(texts.mid(texts.indexOf(log.first())), log);
    QVERIFY(h.waitForMore(QStringLiteral("1 04 00 00 00 28")));  // polling resumes

    // The first frame the drive refuses, or leaves unanswered, ends the flash.
    const bool silent = controller == "USER";
    QVERIFY(!silent || h.bus.drive.command("silent on"));
    h.probe.clear();
    const int before = h.requests().size();
    h.worker->selectFirmwareFile(0x0123, writeImage(dir, silent ? fileName : "drive_0x0777_motor.ofw"));
    QTRY_COMPARE_WITH_TIMEOUT(h.probe.flashResults, QList<bool>{false}, 30000);
    const QString failure = silent ? "no answer" : "exception 0x3, illegal data value";
    QCOMPARE(h.probe.flashVerdicts,
             (QList<QPair<bool, QString>>{{false, verdict + "failed at the announce frame: " + failure}}));
    QCOMPARE(h.probe.routeOf("RESPUESTA A FUNCION 0x64"), "-S-");
    const QString reply = h.probe.statusesContaining("RESPUESTA A FUNCION 0x64").first().text;
    QVERIFY2(silent ? reply.startsWith("RESPUESTA A FUNCION 0x64  - =/= NoError - Write response error: ") &&
                          reply.endsWith("(code: 0x5)")
                    : reply.startsWith("RESPUESTA A FUNCION 0x64 - ProtocolError - Write response error: ") &&
                          reply.endsWith("(Mobus exception: 0x3)"),
             qPrintable(reply));
    QCOMPARE(h.probe.interactionDisabled, (QList<bool>{true, false}));
    QCOMPARE(h.probe.progressText, (QList<QPair<float, bool>>{{0.0f, true}}));  // the line that says so
    QVERIFY(h.probe.count("incErrorCnt") >= 1);
    // Nothing after the announce frame.
    QCOMPARE(h.requests().mid(before).filter(QRegularExpression("^1 64 .. .. 0[3-8]")), QStringList());
}

QTEST_GUILESS_MAIN(TestWorkerFlash)
#include "tst_worker_flash.moc"
