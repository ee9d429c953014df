#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "support/mvxctlrun.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

QString mapPath() {
    return testpaths::example(QStringLiteral("drive-map.xml"));
}

QJsonObject json(const QByteArray &out) {
    return QJsonDocument::fromJson(out).object();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool startBus(SimulatedBus &bus, Transport transport = Transport::Serial) {
    bus.transport = transport;
    SimulatedDrive::Options options;
    options.mapFile = mapPath();
    QString error;
    const bool started = bus.start(options, &error);
    if (!started) {
        qWarning() << error;
    }
    return started;
}

// A search's stdout, the --json form written as the --csv one.
QString searchOutput(const QByteArray &out) {
    const QJsonDocument document = QJsonDocument::fromJson(out);
    QString csv = document.isObject() ? QStringLiteral("address,status,motor_version,io_version,model\n")
                                      : QString::fromUtf8(out);
    for (const QJsonValue &drive : document["drives"].toArray()) {
        QStringList fields;
        for (const char *key : {"address", "status", "motor_version", "io_version", "model"}) {
            fields << QString::number(drive[QLatin1String(key)].toInt(-1));
        }
        csv += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return csv;
}

}  // namespace

// mvxctl read, flash and search against the simulated drive.
class TestMvxctlWire : public QObject {
    Q_OBJECT

  private slots:
    void readShowsTheDrivesValues_data() { addTransportRows(); }
    void readShowsTheDrivesValues() {
        QFETCH(Transport, transport);
        SimulatedBus bus;
        QVERIFY(startBus(bus, transport));
        const MvxctlRun run = runMvxctl({"read", "--port", bus.endpoint(), "--map", mapPath(), "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject read = json(run.out);
        const QJsonObject map = json(runMvxctl({"check-map", mapPath(), "--json"}).out);
        const QJsonArray inputs = read["input_registers"].toArray();
        const QJsonArray holdings = read["holdings"].toArray();
        const QJsonArray mapHoldings = map["holdings"].toArray();
        QCOMPARE(inputs.size(), map["input_registers"].toArray().size());
        QCOMPARE(holdings.size(), mapHoldings.size());
        for (const QJsonArray &rows : {inputs, holdings}) {
            for (const QJsonValue &row : rows) {
                for (const char *key : {"index", "add", "text", "raw", "value", "unit"}) {
                    QVERIFY2(row.toObject().contains(QLatin1String(key)), key);
                }
            }
        }
        QCOMPARE(inputs[1]["raw"].toInt(), map["options"]["model"].toString().toInt());
        // The simulated drive starts its holdings at the map's defaults; list rows show their item.
        for (int i = 0; i < holdings.size(); ++i) {
            const QJsonValue row = holdings[i];
            const QJsonValue described = mapHoldings[i];
            const int raw = row["raw"].toInt();
            QCOMPARE(row["index"].toInt(), i);
            QCOMPARE(row["text"].toString(), described["text"].toString());
            QCOMPARE(raw, described["def"].toInt() & 0xFFFF);
            const QJsonArray items = described["items"].toArray();
            QString listed;
            for (const QJsonValue &item : items) {
                listed = item["val"].toInt() == raw ? item["text"].toString() : listed;
            }
            const QString value = row["value"].toString();
            QVERIFY2(items.isEmpty() ? !value.isEmpty() : value == listed, qPrintable(value));
        }
        const QString text =
            QString::fromUtf8(runMvxctl({"read", "--port", bus.endpoint(), "--map", mapPath()}).out);
        for (const QString &part : {QStringLiteral("input registers ("), QStringLiteral("holdings ("),
                                    mapHoldings[0]["text"].toString()}) {
            QVERIFY2(text.contains(part), qPrintable(part));
        }
    }

    void flashSendsTheWholeFile() {
        QByteArray image(300, 0);
        for (int i = 0; i < image.size(); ++i) {
            image[i] = char(255 - i % 256);
        }
        // {file, options, transport, drive fault, exit code, expected on stderr}
        const std::tuple<const char *, QStringList, Transport, const char *, int, const char *> cases[] = {
            {"drive_motor.ofw", {"--model", "0x0004"}, Transport::Serial, "delay 0", 0, "flashing: 100%\n"},
            {"drive_user.ofw", {}, Transport::Serial, "delay 0", 0, "flashing: 100%\n"},  // model from the
                                                                                          // drive
            {"drive_user.ofw", {}, Transport::Tcp, "delay 0", 0, "flashing: 100%\n"},
            // Blocks are retried after 250 ms: each answer then comes in time for a later frame instead.
            {"drive_motor.ofw",
             {"--model", "4"},
             Transport::Serial,
             "delay 400",
             1,
             "the answer was for another frame"}};
        for (const auto &[fileName, options, transport, fault, exitCode, message] : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QLatin1String(fileName));
            SimulatedBus bus;
            QVERIFY(writeFile(path, image) && startBus(bus, transport) && bus.drive.command(fault));
            const MvxctlRun run =
                runMvxctl(QStringList{"flash", "--port", bus.endpoint(), "--file", path} + options);
            QVERIFY2(run.exitCode == exitCode && run.err.contains(message), run.err.constData());
            QVERIFY(!run.err.contains('\r'));  // a pipe gets plain lines, not a line redrawn in place
            if (exitCode == 0) {
                const QString controller = path.contains(QLatin1String("motor")) ? "motor" : "user";
                QCOMPARE(readFile(bus.drive.imagePath(controller)), image + QByteArray(84, char(0xFF)));
            }
        }
    }

    void searchFindsTheDrives() {
        const QString header = QStringLiteral("address,status,motor_version,io_version,model\n");
        // Drives at 1, 5 and 247: status 0x1234, motor version 100, user version 7, model 0x0123.
        const std::tuple<QStringList, int, QString> cases[] = {
            {{"--to", "6", "--json"}, 0, header + "1,4660,100,7,291\n5,4660,100,7,291\n"},
            {{"--from", "244", "--csv"}, 0, header + "247,4660,100,7,291\n"},
            {{"--from", "5", "--to", "5"},
             0,
             "Add  Status  Mot Ver  IO Ver  Model\n  5  0x1234      100       7    291\n"},
            {{"--from", "2", "--to", "4", "--csv"}, 1, header}};
        for (const auto &[args, exitCode, out] : cases) {
            SimulatedBus bus;
            SimulatedDrive::Options options;
            options.addresses = {1, 5, 247};
            options.extraArgs = QStringList{"--status", "0x1234", "--user-version", "7"};
            QString error;
            QVERIFY2(bus.start(options, &error), qPrintable(error));
            // A patient time-out: this checks what is found, not how fast.
            const MvxctlRun run =
                runMvxctl(QStringList{"search", "--port", bus.line.masterPort(), "--timeout", "400"} + args);
            QCOMPARE(run.exitCode, exitCode);
            QCOMPARE(searchOutput(run.out), out);
            const int found = out.count(QLatin1Char('\n')) - 1;
            QVERIFY2(run.err.contains(QStringLiteral("\n%1 drive").arg(found).toUtf8()), run.err.constData());
            // Only the addresses asked for were asked.
            const int from = args.contains("--from") ? args.at(args.indexOf("--from") + 1).toInt() : 1;
            const int to = args.contains("--to") ? args.at(args.indexOf("--to") + 1).toInt() : 247;
            for (const QString &request : bus.drive.requests()) {
                const int address = request.section(QLatin1Char(' '), 0, 0).toInt();
                QVERIFY2(address >= from && address <= to, qPrintable(request));
            }
        }
    }

    void failures() {
        // PORT: the simulated drive's line; DIR/: a folder with firmware files of 10 bytes.
        const QStringList read{"read", "--map", mapPath(), "--port"};
        const QStringList flash{"flash", "--model", "291", "--port", "PORT", "--file"};
        const QStringList search{"search", "--port", "/nonexistent/ttyMVX"};
        const std::tuple<QStringList, int, const char *> cases[] = {
            {read + QStringList{"PORT", "--address", "9"}, 1, "no answer from the drive at address 9"},
            {read + QStringList{"/nonexistent/ttyMVX"}, 1, "cannot open /nonexistent/ttyMVX"},
            {read + QStringList{"PORT", "--speed", "1234"}, 2, "--speed must be"},
            {read + QStringList{"PORT", "--address", "0"}, 2, "--address must be 1 to 247"},
            {flash + QStringList{"DIR/firmware.ofw"}, 1, "is neither a motor nor a user"},
            {flash + QStringList{"DIR/absent_motor.ofw"}, 2, "cannot open firmware file"},
            {flash + QStringList{"DIR/drive_0x0123_user.ofw"}, 1, "refused part of it"},  // frames sent
            {search, 1, "cannot open /nonexistent/ttyMVX"},
            {search + QStringList{"--from", "0"}, 2, "--from and --to must be 1 to 247"},
            {search + QStringList{"--from", "9", "--to", "3"}, 2, "--from not above --to"},
            {search + QStringList{"--json", "--csv"}, 2, "exclude each other"},
            {search + QStringList{"--address", "3"}, 2, "takes no --address"}};
        QTemporaryDir dir;
        for (const char *name : {"firmware.ofw", "drive_0x0123_user.ofw"}) {
            QVERIFY(writeFile(dir.filePath(QLatin1String(name)), QByteArray(10, 'x')));
        }
        for (auto [args, exitCode, message] : cases) {
            SimulatedBus bus;
            QVERIFY(!args.contains(QStringLiteral("PORT")) || startBus(bus));
            args.replaceInStrings(QStringLiteral("DIR/"), dir.path() + QLatin1Char('/'));
            args.replaceInStrings(QRegularExpression(QStringLiteral("^PORT$")), bus.line.masterPort());
            const MvxctlRun run = runMvxctl(args);
            QVERIFY2(run.exitCode == exitCode && run.err.contains(message), run.err.constData());
            QVERIFY(run.out.isEmpty());
            // Only a file the drive can check reaches it.
            const bool framesSent =
                bus.drive.requests().join(QLatin1Char('\n')).contains(QLatin1String(" 64 "));
            QCOMPARE(framesSent, args.last().endsWith(QLatin1String("drive_0x0123_user.ofw")));
        }
    }
};

QTEST_GUILESS_MAIN(TestMvxctlWire)
#include "tst_mvxctl_wire.moc"
