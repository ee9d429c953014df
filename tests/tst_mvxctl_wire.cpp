#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "support/mvxctlrun.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

// mvxctl read, flash and search against the simulated drive.
class TestMvxctlWire : public QObject {
    Q_OBJECT

    using Run = MvxctlRun;
    static Run mvxctl(const QStringList &args) { return runMvxctl(args); }

    static QString mapPath() { return testpaths::example(QStringLiteral("drive-map.xml")); }

    static bool startBus(SimulatedBus &bus, Transport transport = Transport::Serial) {
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

    static QJsonObject checkMap() {
        return QJsonDocument::fromJson(mvxctl({"check-map", mapPath(), "--json"}).out).object();
    }

  private slots:
    void readShowsTheDrivesValues_data() { addTransportRows(); }
    void readShowsTheDrivesValues();
    void flashSendsTheWholeFile_data();
    void flashSendsTheWholeFile();
    void searchFindsTheDrives_data();
    void searchFindsTheDrives();
    void failures_data();
    void failures();
    void lateAnswersDoNotPassForLaterFrames();
};

void TestMvxctlWire::readShowsTheDrivesValues() {
    QFETCH(Transport, transport);
    SimulatedBus bus;
    QVERIFY(startBus(bus, transport));
    const Run run = mvxctl({"read", "--port", bus.endpoint(), "--map", mapPath(), "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject read = QJsonDocument::fromJson(run.out).object();
    const QJsonObject map = checkMap();
    const QJsonArray inputs = read.value(QStringLiteral("input_registers")).toArray();
    const QJsonArray holdings = read.value(QStringLiteral("holdings")).toArray();
    QCOMPARE(inputs.size(), map.value(QStringLiteral("input_registers")).toArray().size());
    QCOMPARE(holdings.size(), map.value(QStringLiteral("holdings")).toArray().size());
    for (const QJsonArray &rows : {inputs, holdings}) {
        for (const QJsonValue &row : rows) {
            for (const char *key : {"index", "add", "text", "raw", "value", "unit"}) {
                QVERIFY2(row.toObject().contains(QLatin1String(key)), key);
            }
        }
    }
    const int model =
        map.value(QStringLiteral("options")).toObject().value(QStringLiteral("model")).toString().toInt();
    QCOMPARE(inputs.at(1).toObject().value(QStringLiteral("raw")).toInt(), model);
    // The simulated drive starts its holdings at the map's defaults; plain rows show them scaled.
    const QJsonArray mapHoldings = map.value(QStringLiteral("holdings")).toArray();
    for (int i = 0; i < holdings.size(); ++i) {
        const QJsonObject row = holdings.at(i).toObject();
        const QJsonObject described = mapHoldings.at(i).toObject();
        QCOMPARE(row.value(QStringLiteral("index")).toInt(), i);
        QCOMPARE(row.value(QStringLiteral("text")).toString(),
                 described.value(QStringLiteral("text")).toString());
        QCOMPARE(row.value(QStringLiteral("raw")).toInt(),
                 described.value(QStringLiteral("def")).toInt() & 0xFFFF);
        const QJsonArray items = described.value(QStringLiteral("items")).toArray();
        if (!items.isEmpty()) {
            const auto chosen = std::find_if(items.begin(), items.end(), [&](const QJsonValue &item) {
                return item.toObject().value(QStringLiteral("val")).toInt() ==
                       row.value(QStringLiteral("raw")).toInt();
            });
            const QString expected =
                chosen == items.end() ? QString() : chosen->toObject().value("text").toString();
            QCOMPARE(row.value(QStringLiteral("value")).toString(), expected);
        } else {
            QVERIFY(!row.value(QStringLiteral("value")).toString().isEmpty());
        }
    }
    const Run text = mvxctl({"read", "--port", bus.endpoint(), "--map", mapPath()});
    QCOMPARE(text.exitCode, 0);
    for (const QString &part : {QStringLiteral("input registers ("), QStringLiteral("holdings ("),
                                mapHoldings.first().toObject().value(QStringLiteral("text")).toString()}) {
        QVERIFY2(QString::fromUtf8(text.out).contains(part), qPrintable(part));
    }
}

void TestMvxctlWire::flashSendsTheWholeFile_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QStringList>("extraArgs");
    QTest::addColumn<QString>("controller");
    QTest::addColumn<Transport>("transport");
    QTest::newRow("motor, model given")
        << "drive_motor.ofw" << QStringList{QStringLiteral("--model"), QStringLiteral("0x0004")} << "motor"
        << Transport::Serial;
    QTest::newRow("user, model asked from the drive")
        << "drive_user.ofw" << QStringList{} << "user" << Transport::Serial;
    QTest::newRow("user, through a gateway") << "drive_user.ofw" << QStringList{} << "user" << Transport::Tcp;
}

void TestMvxctlWire::flashSendsTheWholeFile() {
    QFETCH(QString, fileName);
    QFETCH(QStringList, extraArgs);
    QFETCH(QString, controller);
    QFETCH(Transport, transport);
    QTemporaryDir dir;
    const QString path = dir.filePath(fileName);
    QByteArray image(300, 0);
    for (int i = 0; i < image.size(); ++i) {
        image[i] = char(255 - i % 256);
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
    file.close();
    SimulatedBus bus;
    QVERIFY(startBus(bus, transport));
    const Run run = mvxctl(QStringList{"flash", "--port", bus.endpoint(), "--file", path} + extraArgs);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(run.err.contains("flashing: 100%\n"));
    QVERIFY(!run.err.contains('\r'));  // a pipe gets plain lines, not a line redrawn in place
    QFile received(bus.drive.imagePath(controller));
    QVERIFY(received.open(QIODevice::ReadOnly));
    QCOMPARE(received.readAll(), image + QByteArray(84, char(0xFF)));
}

namespace {

// "address,status,motor_version,io_version,model" in decimal for each drive the output lists.
QStringList searchRows(const QByteArray &out) {
    QStringList rows;
    const QJsonDocument json = QJsonDocument::fromJson(out);
    if (json.isObject()) {
        for (const QJsonValue &drive : json.object().value(QStringLiteral("drives")).toArray()) {
            QStringList fields;
            for (const char *key : {"address", "status", "motor_version", "io_version", "model"}) {
                fields << QString::number(drive.toObject().value(QLatin1String(key)).toInt(-1));
            }
            rows << fields.join(QLatin1Char(','));
        }
        return rows;
    }
    QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const bool csv =
        !lines.isEmpty() && lines.first() == QLatin1String("address,status,motor_version,io_version,model");
    const bool text =
        !lines.isEmpty() && lines.first().simplified() == QLatin1String("Add Status Mot Ver IO Ver Model");
    for (const QString &line : lines.mid(1)) {
        QStringList fields = line.simplified().split(QRegularExpression(QStringLiteral("[ ,]")));
        if (text && fields.size() == 5) {
            fields[1] = QString::number(fields[1].mid(2).toInt(nullptr, 16));
        }
        rows << ((csv || text) ? fields.join(QLatin1Char(',')) : QStringLiteral("? ") + line);
    }
    return rows;
}

}  // namespace

void TestMvxctlWire::searchFindsTheDrives_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("rows");
    // Drives at 1, 5 and 247: status 0x1234, motor version 100, user version 7, model 0x0123.
    QTest::newRow("json, 1 to 6") << QStringList{"--to", "6", "--json"} << 0
                                  << QStringList{"1,4660,100,7,291", "5,4660,100,7,291"};
    QTest::newRow("csv, 244 to the end")
        << QStringList{"--from", "244", "--csv"} << 0 << QStringList{"247,4660,100,7,291"};
    QTest::newRow("text, 5 alone") << QStringList{"--from", "5", "--to", "5"} << 0
                                   << QStringList{"5,4660,100,7,291"};
    QTest::newRow("none between 2 and 4")
        << QStringList{"--from", "2", "--to", "4", "--csv"} << 1 << QStringList{};
}

void TestMvxctlWire::searchFindsTheDrives() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, rows);
    SimulatedBus bus;
    SimulatedDrive::Options options;
    options.addresses = {1, 5, 247};
    options.extraArgs = QStringList{"--status", "0x1234", "--user-version", "7"};
    QString error;
    QVERIFY2(bus.start(options, &error), qPrintable(error));
    // A patient time-out: this checks what is found, not how fast.
    const Run run = mvxctl(QStringList{"search", "--port", bus.line.masterPort(), "--timeout", "400"} + args);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(searchRows(run.out), rows);
    QVERIFY2(run.err.contains(QStringLiteral("\n%1 drive").arg(rows.size()).toUtf8()), run.err.constData());
    // Only the addresses asked for were asked.
    const int from = args.contains("--from") ? args.at(args.indexOf("--from") + 1).toInt() : 1;
    const int to = args.contains("--to") ? args.at(args.indexOf("--to") + 1).toInt() : 247;
    for (const QString &request : bus.drive.requests()) {
        const int address = request.section(QLatin1Char(' '), 0, 0).toInt();
        QVERIFY2(address >= from && address <= to, qPrintable(request));
    }
}

void TestMvxctlWire::failures_data() {
    QTest::addColumn<QStringList>("args");  // PORT: the simulated drive's line; DIR/: a folder with files
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QStringList read{"read", "--map", mapPath(), "--port"};
    const QStringList flash{"flash", "--model", "291", "--port", "PORT", "--file"};
    const QStringList search{"search", "--port", "/nonexistent/ttyMVX"};
    QTest::newRow("read, silent address")
        << read + QStringList{"PORT", "--address", "9"} << 1 << "no answer from the drive at address 9";
    QTest::newRow("read, missing port")
        << read + QStringList{"/nonexistent/ttyMVX"} << 1 << "cannot open /nonexistent/ttyMVX";
    QTest::newRow("read, unknown speed")
        << read + QStringList{"PORT", "--speed", "1234"} << 2 << "--speed must be";
    QTest::newRow("read, address 0") << read + QStringList{"PORT", "--address", "0"} << 2
                                     << "--address must be 1 to 247";
    QTest::newRow("flash, no controller in the name")
        << flash + QStringList{"DIR/firmware.ofw"} << 1 << "is neither a motor nor a user";
    QTest::newRow("flash, missing file")
        << flash + QStringList{"DIR/absent_motor.ofw"} << 2 << "cannot open firmware file";
    // The only row whose frames reach the drive.
    QTest::newRow("flash, model the drive refuses")
        << flash + QStringList{"DIR/drive_0x0123_user.ofw"} << 1 << "refused part of it";
    QTest::newRow("search, missing port") << search << 1 << "cannot open /nonexistent/ttyMVX";
    QTest::newRow("search from 0") << search + QStringList{"--from", "0"} << 2
                                   << "--from and --to must be 1 to 247";
    QTest::newRow("search from above to")
        << search + QStringList{"--from", "9", "--to", "3"} << 2 << "--from not above --to";
    QTest::newRow("search, json and csv")
        << search + QStringList{"--json", "--csv"} << 2 << "exclude each other";
    QTest::newRow("search at an address")
        << search + QStringList{"--address", "3"} << 2 << "takes no --address";
}

void TestMvxctlWire::failures() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    for (const char *name : {"firmware.ofw", "drive_0x0123_user.ofw"}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(10, 'x')) == 10);
    }
    SimulatedBus bus;
    QVERIFY(!args.contains(QStringLiteral("PORT")) || startBus(bus));
    args.replaceInStrings(QStringLiteral("DIR/"), dir.path() + QLatin1Char('/'));
    args.replaceInStrings(QRegularExpression(QStringLiteral("^PORT$")), bus.line.masterPort());
    const Run run = mvxctl(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QVERIFY(run.out.isEmpty());
    const bool framesSent = bus.drive.requests().join(QLatin1Char('\n')).contains(QLatin1String(" 64 "));
    QCOMPARE(framesSent, QTest::currentDataTag() == QLatin1String("flash, model the drive refuses"));
}

void TestMvxctlWire::lateAnswersDoNotPassForLaterFrames() {
    // Blocks are retried after 250 ms: each answer then comes in time for a later frame instead.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("drive_motor.ofw")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(300, 'x')) == 300);
    file.close();
    SimulatedBus bus;
    QVERIFY(startBus(bus));
    QVERIFY(bus.drive.command(QStringLiteral("delay 400")));
    const Run run = mvxctl({"flash", "--port", bus.endpoint(), "--file", file.fileName(), "--model", "4"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("the answer was for another frame"), run.err.constData());
}

QTEST_GUILESS_MAIN(TestMvxctlWire)
#include "tst_mvxctl_wire.moc"
