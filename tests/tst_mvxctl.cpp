#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include "params/paramfile_io.h"
#include "support/mvxctlrun.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

const QString mapPath = testpaths::example(QStringLiteral("drive-map.xml"));

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

// The command-line companion as map authors, scripts and test stations use it: exit codes, JSON
// shape, the texts a table would show; read, flash, search, export and the production test
// (what it prints, the logs it writes) against the simulated drive.
class TestMvxctl : public QObject {
    Q_OBJECT

    SimulatedBus m_bus;
    SimulatedBus m_gateway;  // the same drive behind Modbus TCP
    QTemporaryDir m_dir;

    QStringList testArgs(const QString &testFile, Transport transport = Transport::Serial) const {
        const QString port = transport == Transport::Tcp ? m_gateway.endpoint() : m_bus.endpoint();
        return {"test", "--port", port, "--map", mapPath, "--test", testFile, "--log-dir", logDir(transport)};
    }

    QString logDir(Transport transport) const {
        return m_dir.filePath(QLatin1String(transport == Transport::Tcp ? "logs-tcp" : "logs"));
    }

    QString writeTest(const QString &name, const QByteArray &body) const {
        const QString path = m_dir.filePath(name);
        writeFile(path,
                  "<test><config><full_log>true</full_log><result_log>true</result_log>"
                  "<summary_log>true</summary_log></config>" +
                      body + "</test>");
        return path;
    }

    static QJsonObject json(const MvxctlRun &run) { return QJsonDocument::fromJson(run.out).object(); }

    // The exit code; `out` gets stdout and stderr.
    static int run(const QStringList &arguments, QByteArray *out) {
        const MvxctlRun r = runMvxctl(arguments, 120000);
        *out = r.out + r.err;
        return r.exitCode;
    }

  private slots:
    void initTestCase() {
        qputenv("LC_ALL", "C");  // UTF-8 output whatever the locale
        qputenv("LANG", "C");
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("t.xml")), "<test><espera>1</espera>"));  // malformed
        QVERIFY(writeFile(m_dir.filePath(QStringLiteral("map.xml")),
                          "<modbusmap>\n<block name=\"B\" query=\"auto\" type=\"t\" start=\"0\" end=\"1\">\n"
                          "  <h add=\"0\"><text>Good</text><multiplier>0.1</multiplier></h>\n"
                          "  <h add=\"1\"><text>Bad</text><min>low</min></h>\n</block>\n</modbusmap>\n"));
        SimulatedDrive::Options options;
        options.mapFile = mapPath;
        QString error;
        QVERIFY2(m_bus.start(options, &error), qPrintable(error));
        m_gateway.transport = Transport::Tcp;
        QVERIFY2(m_gateway.start(options, &error), qPrintable(error));
    }

    void checkMapJsonDescribesTheExampleMap() {
        const MvxctlRun r = runMvxctl({"check-map", testpaths::example("drive-map.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        const QJsonArray holdings = o["holdings"].toArray();
        // Rows with every field; normal holdings consecutive from 0, aux ones from the identification block.
        const std::pair<QJsonValue, QStringList> shapes[] = {
            {o,
             {"options", "blocks", "holdings", "aux_holdings", "input_registers", "ram_params",
              "overview_registers", "warnings"}},
            {holdings[0],
             {"add", "text", "name", "def", "min", "max", "vis_type", "multiplier", "unit", "help", "hidden",
              "level", "items"}},
            {o["input_registers"][0], {"bg_r", "bg_g", "bg_b", "items", "multiplier", "unit", "overview"}}};
        for (const auto &[object, keys] : shapes) {
            for (const QString &key : keys) {
                QVERIFY2(object.toObject().contains(key), qPrintable(key));
            }
        }
        QVERIFY(o["warnings"].toArray().isEmpty());
        QVERIFY(holdings.size() >= 60);
        for (int i = 0; i < holdings.size(); ++i) {
            QCOMPARE(holdings[i]["add"].toInt(), i);
        }
        QCOMPARE(o["aux_holdings"][0]["add"].toInt(), 1000);
        // The registers marked for the bus overview: status, alarm, speed, bus voltage.
        QCOMPARE(o["overview_registers"].toArray(), (QJsonArray{2, 3, 5, 7}));
        QCOMPARE(o["input_registers"][5]["overview"].toBool(), true);
    }

    void checkMapReportsWhatItDrops() {
        const MvxctlRun r = runMvxctl({"check-map", m_dir.filePath("map.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        QCOMPARE(o["holdings"].toArray().size(), 1);
        QCOMPARE(o["holdings"][0]["multiplier"].toDouble(), 0.1);
        QCOMPARE(o["warnings"].toArray().size(), 1);
        QCOMPARE(o["warnings"][0]["line"].toInt(), 4);
    }

    void checkTestJsonListsStepsAndRecords() {
        const MvxctlRun r = runMvxctl({"check-test", testpaths::example("production-test.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        QCOMPARE(o["steps"][0].toArray().size(), 2);
        for (const char *key : {"loop", "config", "serial", "espera", "mensaje", "ReadInputRegisters",
                                "WriteSingleRegister", "warnings"}) {
            QVERIFY2(o.contains(QLatin1String(key)), key);
        }
        QCOMPARE(o["serial"]["separator"].toString(), QStringLiteral("-"));
        QVERIFY(o["loop"]["iterations"].toInt() >= 1);
    }

    void exitCodesAndTexts() {
        const QString missing = QStringLiteral("/nonexistent/file.xml");
        const QString map = m_dir.filePath(QStringLiteral("map.xml"));
        const char *hex = "0x00FF\t255\n0xABCD\t43981\n";
        // {arguments, exit code, stdout (the whole of it when `whole`, else a part), part of stderr}
        const std::tuple<QStringList, int, const char *, bool, QString> cases[] = {
            {{"check-map", missing}, 1, "", true, missing},
            {{"check-test", missing}, 1, "", true, missing},
            {{"check-test", m_dir.filePath("t.xml")}, 1, "", true, "t.xml"},
            {{"check-map", map}, 0, "warnings (1)", false, ""},
            {{"check-map", testpaths::example("drive-map.xml")},
             0,
             "overview registers: status, alarm, speed, vbus (marked)\n",
             false,
             ""},
            {{"format", "--vis", "float", "--mul", "0.1", "0xFFF6"}, 0, "-1.0\t-1\n", true, ""},
            {{"format", "--vis", "ufloat", "--mul", "0.1", "65526"}, 0, "6552.6\t6552.6\n", true, ""},
            {{"format", "--vis", "hex", "--mul", "1", "255", "0xABCD"}, 0, hex, true, ""},
            {{"format", "--vis", "bin", "--mul", "1", "5"}, 0, "101\t5\n", true, ""},
            {{"format", "--vis", "float32H", "--mul", "1", "0", "0x3F80"}, 0, "1.000\t1\n", true, ""},
            {{"format", "--vis", "uint32H", "--mul", "1", "1", "1"}, 0, "65537\t65537\n", true, ""},
            {{"format", "--vis", "hex", "--mul", "1", "70000"}, 2, "", true, "70000"},  // word too wide
            {{"read", "--help"}, 0, "usage: mvxctl read --port P", false, ""},
            {{"flash", "--port", "x", "-h"}, 0, "usage: mvxctl flash", false, ""},  // -h among options
            {{"--version"}, 0, "mvxctl 0.1.0\n", true, ""},
            {{"--help"}, 0, "exit codes:\n  0  done", false, ""}};
        for (const auto &[args, exitCode, out, whole, err] : cases) {
            const MvxctlRun r = runMvxctl(args);
            const QString name = args.join(QLatin1Char(' ')) + QStringLiteral(": ");
            QCOMPARE(name + QString::number(r.exitCode), name + QString::number(exitCode));
            QVERIFY2(whole ? r.out == out : r.out.contains(out), qPrintable(name + r.out));
            QVERIFY2(r.err.contains(err.toUtf8()), qPrintable(name + r.err));
        }
    }

    // Before any test that writes: the drives still hold the map's defaults.
    void readShowsTheDrivesValues_data() { addTransportRows(); }
    void readShowsTheDrivesValues() {
        QFETCH(Transport, transport);
        const QString port = transport == Transport::Tcp ? m_gateway.endpoint() : m_bus.endpoint();
        const MvxctlRun run = runMvxctl({"read", "--port", port, "--map", mapPath, "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject read = json(run);
        const QJsonObject map = json(runMvxctl({"check-map", mapPath, "--json"}));
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
        const QString text = QString::fromUtf8(runMvxctl({"read", "--port", port, "--map", mapPath}).out);
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
        // Blocks are retried after 250 ms: with answers 400 ms late each would pass for a later frame.
        const char *late = "the answer was for another frame";
        // {file, options, transport, drive fault, exit code, expected on stderr}
        const std::tuple<const char *, QStringList, Transport, const char *, int, const char *> cases[] = {
            {"drive_motor.ofw", {"--model", "0x0004"}, Transport::Serial, "delay 0", 0, "flashing: 100%\n"},
            {"drive_user.ofw", {}, Transport::Serial, "delay 0", 0, "flashing: 100%\n"},  // model asked
            {"drive_user.ofw", {}, Transport::Tcp, "delay 0", 0, "flashing: 100%\n"},
            {"drive_motor.ofw", {"--model", "4"}, Transport::Serial, "delay 400", 1, late}};
        for (const auto &[fileName, options, transport, fault, exitCode, message] : cases) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QLatin1String(fileName));
            SimulatedBus bus;
            QVERIFY(writeFile(path, image) && startExampleDrive(bus, transport) && bus.drive.command(fault));
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

    // On a serial bus, and behind a gateway as unit ids.
    void searchFindsTheDrives_data() { addTransportRows(); }
    void searchFindsTheDrives() {
        QFETCH(Transport, transport);
        SimulatedBus bus;
        bus.transport = transport;
        SimulatedDrive::Options options;
        options.addresses = {1, 5, 247};
        options.extraArgs = QStringList{"--status", "0x1234", "--user-version", "7"};
        QString error;
        QVERIFY2(bus.start(options, &error), qPrintable(error));
        const QString header = QStringLiteral("address,status,motor_version,io_version,model\n");
        const QString text =
            QStringLiteral("Add  Status  Mot Ver  IO Ver  Model\n  5  0x1234      100       7    291\n");
        // Drives at 1, 5 and 247: status 0x1234, motor version 100, user version 7, model 0x0123.
        const std::tuple<QStringList, int, QString> cases[] = {
            {{"--to", "6", "--json"}, 0, header + "1,4660,100,7,291\n5,4660,100,7,291\n"},
            {{"--from", "244", "--csv"}, 0, header + "247,4660,100,7,291\n"},
            {{"--from", "5", "--to", "5"}, 0, text},
            {{"--from", "2", "--to", "4", "--csv"}, 1, header}};
        for (const auto &[args, exitCode, out] : cases) {
            const int asked = bus.drive.requests().size();
            // A patient time-out: this checks what is found, not how fast.
            const MvxctlRun run =
                runMvxctl(QStringList{"search", "--port", bus.endpoint(), "--timeout", "400"} + args);
            QCOMPARE(run.exitCode, exitCode);
            QCOMPARE(searchOutput(run.out), out);
            const int found = out.count(QLatin1Char('\n')) - 1;
            QVERIFY2(run.err.contains(QStringLiteral("\n%1 drive").arg(found).toUtf8()), run.err.constData());
            // Only the addresses asked for were asked.
            const int from = args.contains("--from") ? args.at(args.indexOf("--from") + 1).toInt() : 1;
            const int to = args.contains("--to") ? args.at(args.indexOf("--to") + 1).toInt() : 247;
            for (const QString &request : bus.drive.requests().mid(asked)) {
                const int address = request.section(QLatin1Char(' '), 0, 0).toInt();
                QVERIFY2(address >= from && address <= to, qPrintable(request));
            }
        }
    }

    void failures() {
        QTemporaryDir dir;  // firmware files of 10 bytes
        const QString badName = dir.filePath(QStringLiteral("firmware.ofw"));
        const QString otherModel = dir.filePath(QStringLiteral("drive_0x0123_user.ofw"));
        QVERIFY(writeFile(badName, QByteArray(10, 'x')) && writeFile(otherModel, QByteArray(10, 'x')));
        const QString port = m_bus.endpoint();
        const QStringList read{"read", "--map", mapPath, "--port"};
        const QStringList flash{"flash", "--model", "291", "--port", port, "--file"};
        const QStringList search{"search", "--port", "/nonexistent/ttyMVX"};
        const std::tuple<QStringList, int, const char *> cases[] = {
            {read + QStringList{port, "--address", "9"}, 1, "no answer from the drive at address 9"},
            {read + QStringList{"/nonexistent/ttyMVX"}, 1, "cannot open /nonexistent/ttyMVX"},
            {read + QStringList{port, "--speed", "1234"}, 2, "--speed must be"},
            {read + QStringList{port, "--address", "0"}, 2, "--address must be 1 to 247"},
            {flash + QStringList{badName}, 1, "is neither a motor nor a user"},
            {flash + QStringList{dir.filePath(QStringLiteral("absent_motor.ofw"))}, 2,
             "cannot open firmware file"},
            {flash + QStringList{otherModel}, 1,
             "refused part of it"},  // the only one whose frames reach the drive
            {search, 1, "cannot open /nonexistent/ttyMVX"},
            {search + QStringList{"--from", "0"}, 2, "--from and --to must be 1 to 247"},
            {search + QStringList{"--from", "9", "--to", "3"}, 2, "--from not above --to"},
            {search + QStringList{"--json", "--csv"}, 2, "exclude each other"},
            {search + QStringList{"--address", "3"}, 2, "takes no --address"}};
        for (const auto &[args, exitCode, message] : cases) {
            const int asked = m_bus.drive.requests().size();
            const MvxctlRun run = runMvxctl(args);
            QVERIFY2(run.exitCode == exitCode && run.err.contains(message), run.err.constData());
            QVERIFY(run.out.isEmpty());
            const bool framesSent =
                m_bus.drive.requests().mid(asked).join('\n').contains(QLatin1String(" 64 "));
            QCOMPARE(framesSent, args.last() == otherModel);
        }
    }

    void exampleTestPassesAndWritesItsLogs_data() { addTransportRows(); }
    void exampleTestPassesAndWritesItsLogs() {
        QFETCH(Transport, transport);
        const QString testFile = testpaths::example(QStringLiteral("production-test.xml"));
        QByteArray out;
        QVERIFY2(run(testArgs(testFile, transport) + QStringList{"--serial", "ABC-123-XYZ"}, &out) == 0,
                 out.constData());
        for (const QString &text : {QStringLiteral("Placa CORRECTA!"), QStringLiteral("Resultado: OK"),
                                    QStringLiteral("Número de serie: ABC-123-XYZ"), "Test file: " + testFile,
                                    QStringLiteral("stored in sqlite:")}) {
            QVERIFY2(out.contains(text.toUtf8()), qPrintable(text));
        }
        const QDir logs(logDir(transport));
        for (const char *pattern : {"*-result-log.txt", "*-test-log.txt", "*-summary.txt"}) {
            QCOMPARE(logs.entryList({QLatin1String(pattern)}).size(), 1);
        }
        QFile summary(logs.filePath(logs.entryList({QStringLiteral("*-summary.txt")}).value(0)));
        QVERIFY(summary.open(QIODevice::ReadOnly) && summary.readAll().endsWith(" SN: ABC-123-XYZ R: OK\n"));
        // Recorded without any set-up in the log folder's SQLite file.
        const QString db = QStringLiteral("sqlite:") + logs.filePath("mvx-records.sqlite");
        QCOMPARE(run({"report", "--db", db, "--serial", "ABC-123-XYZ", "--json"}, &out), 0);
        QVERIFY2(out.contains(R"("result":"pass")"), out.constData());
    }

    void testsThatDoNotPass() {
        const QString example = testpaths::example(QStringLiteral("production-test.xml"));
        const QString failing =
            writeTest(QStringLiteral("fail.xml"),
                      "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir><min>9000</min>"
                      "<max>9001</max></ReadInputRegisters>");
        // Refused before anything is written (the write below is checked for in every row).
        const QString invalid = writeTest(QStringLiteral("bad.xml"),
                                          "<WriteSingleRegister><nombre>x</nombre><dir>300</dir><dat>1</dat>"
                                          "</WriteSingleRegister>");
        // {test file, exit code, texts in the output}
        const std::tuple<QString, int, QStringList> cases[] = {
            {failing, 1, {"FALLO!. Rango (9000,9001)", "Placa INCORRECTA!"}},
            {QStringLiteral("/nonexistent/test.xml"), 2, {"cannot open test file"}},
            {example, 2, {"--serial"}},  // serial number not given
            {invalid, 2, {"El fichero de test no pudo ser cargado."}}};
        for (const auto &[testFile, exitCode, messages] : cases) {
            QByteArray out;
            QCOMPARE(run(testArgs(testFile), &out), exitCode);
            for (const QString &message : messages) {
                QVERIFY2(out.contains(message.toUtf8()), out.constData());
            }
            QVERIFY(!m_bus.drive.requests().contains(QStringLiteral("1 06 01 2C 00 01")));
        }
    }

    // A log folder that cannot be used is said, a board that passed exits 5, and the run is
    // recorded all the same: in the database named, or in the spool of the fallback folder.
    void unusableLogFolderIsSaidAndTheRunKept() {
        const QString plain = writeTest(QStringLiteral("plain.xml"),
                                        "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir><min>0</min>"
                                        "<max>65535</max></ReadInputRegisters>");
        const QString notAFolder = m_dir.filePath(QStringLiteral("not-a-folder"));
        QVERIFY(writeFile(notAFolder, "a file"));
        const QString dataHome = m_dir.filePath(QStringLiteral("data-home"));
        qputenv("XDG_DATA_HOME", dataHome.toUtf8());
        const QString line = m_dir.filePath(QStringLiteral("line.sqlite"));
        for (const QStringList &extra : {QStringList(), QStringList{"--db", "sqlite:" + line}}) {
            QStringList args = testArgs(plain);
            args[args.indexOf("--log-dir") + 1] = notAFolder;
            const MvxctlRun r = runMvxctl(args + extra, 120000);
            QCOMPARE(r.exitCode, 5);
            QVERIFY2(r.err.contains("cannot be used"), r.err.constData());
            QVERIFY2(r.out.contains("Resultado: OK"), r.out.constData());
        }
        // The first run waits in the spool meant for its database, the second reached its own.
        const QDir fallback(dataHome + QStringLiteral("/mvx-configurator"));
        const QStringList spools = fallback.entryList({QStringLiteral("mvx-records-spool-*.sqlite")});
        QCOMPARE(spools.size(), 1);
        for (const QString &database : {fallback.filePath(spools.value(0)), line}) {
            const MvxctlRun stored = runMvxctl({"report", "--db", "sqlite:" + database, "--json"});
            QVERIFY2(stored.out.contains(R"("passed":1,)"), (stored.out + stored.err).constData());
        }
        qunsetenv("XDG_DATA_HOME");
        QVERIFY(QFileInfo(notAFolder).isFile());
    }

    // A test without a serial-number step writes its logs too.
    void logsOfATestWithoutSerialNumber() {
        const QString plain = writeTest(QStringLiteral("plain.xml"),
                                        "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir><min>0</min>"
                                        "<max>65535</max></ReadInputRegisters>");
        QStringList args = testArgs(plain);
        const QString logs = m_dir.filePath(QStringLiteral("logs-no-serial"));
        args[args.indexOf("--log-dir") + 1] = logs;
        QByteArray out;
        QCOMPARE(run(args, &out), 0);
        for (const char *pattern : {"*-result-log.txt", "*-test-log.txt", "*-summary.txt"}) {
            QVERIFY2(QDir(logs).entryList({QLatin1String(pattern)}).size() == 1, pattern);
        }
    }

    void exportWritesTheDrivesParameters() {
        const QString out = m_dir.filePath(QStringLiteral("params.xml"));
        QByteArray output;
        QCOMPARE(run({"export", "--port", m_bus.endpoint(), "--map", mapPath, "--out", out}, &output), 0);
        ParamFileContents contents;
        QVERIFY(readParamFile(out, &contents));
        QCOMPARE(contents.holdings.size(), 80);
        QCOMPARE(contents.meta.model, QStringLiteral("4"));
        for (int i = 0; i < contents.holdings.size(); ++i) {
            QCOMPARE(int(contents.holdings.at(i).add), i);
        }
    }

    void interruptedTestExitsThree() {
        QProcess p;
        p.start(testpaths::mvxctl(), testArgs(writeTest(QStringLiteral("wait.xml"), "<espera>60</espera>")));
        QVERIFY(p.waitForStarted());
        QVERIFY(QTest::qWaitFor(
            [&p] {
                return p.readAllStandardOutput().contains("Esperando 60 segundos") ||
                       p.state() == QProcess::NotRunning;
            },
            20000));
        p.terminate();
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 3);
    }
};

QTEST_GUILESS_MAIN(TestMvxctl)
#include "tst_mvxctl.moc"
