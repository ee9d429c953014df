#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "map/xmlmap.h"
#include "support/teststepform.h"
#include "support/workerharness.h"
#include "test/test_engine.h"

namespace {

// A small drive: four inputs (forced in the simulator: version 7, alarm 0, value 20.0) and
// `holdings` holdings, holding 4 scaled by 0.1 and holding 5 by 0.5.
QByteArray mapXml(int holdings) {
    const QString item = QStringLiteral("<%1 add=\"%2\"><text>%3</text><multiplier>%4</multiplier>%5</%1>");
    QString xml =
        "<modbusmap><options><flags>3</flags></options><block name=\"P\" query=\"auto\" type=\"t\" "
        "start=\"0\" end=\"" +
        QString::number(holdings - 1) + "\">";
    for (int i = 0; i < holdings; ++i) {
        const QString n = QString::number(i), multiplier = i == 4 ? "0.1" : i == 5 ? "0.5" : "1";
        xml += item.arg("h", n, "P" + n, multiplier, "<default>0</default>");
    }
    xml += "</block><Input_Register>";
    for (const QString name : {"Version", "Modelo", "Alarma", "Valor"}) {
        const QString n = QString::number(xml.count("<in"));
        xml += item.arg("in" + n, n, name, name == "Valor" ? "0.1" : "1", "<unit>none</unit>");
    }
    return (xml + "</Input_Register></modbusmap>").toUtf8();
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content) {
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(content);
    }
    return f.fileName();
}

QString loop(int iterations, const QString &after = "mensaje=despues") {
    return "mensaje=antes;loop_start=" + QString::number(iterations) + ";mensaje=a;mensaje=b;loop_stop;" +
           after;
}

// One run of a test file to its end: its registered rows "num kind txt res min max ok" joined by
// '|' (a wait's repeated row once; Mn: message step n's row), lines the log area shows ("!"
// before: does not show) and the rows its load announces.
struct Run {
    const char *name;
    QString steps;
    int result;
    QString rows;
    QString said = {};
    QString announced = {};
    QString serial = {};
    QString duringWait = {};  // a simulator command once the wait has started
};

}  // namespace

// The production-test engine inside a real worker, against the simulated drive.
class TestTestEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    // Declared before the harness: it goes after the worker's thread has ended.
    std::unique_ptr<TestEngine> m_engine;
    std::unique_ptr<WorkerHarness> m_h;
    std::unique_ptr<xmlmap> m_map;
    QStringList m_rows;       // registered results
    QStringList m_announced;  // the rows a load announces
    int m_stops = 0;
    int m_boards = 0;
    int m_failures = 0;

    TestEngine *engine() { return m_engine.get(); }

    bool start(int holdings, Transport transport = Transport::Serial) {
        const QString mapPath = writeFile(m_dir, QStringLiteral("map%1.xml").arg(holdings), mapXml(holdings));
        m_map = std::make_unique<xmlmap>();
        m_h.reset();
        m_h = std::make_unique<WorkerHarness>(transport);
        m_engine = std::make_unique<TestEngine>(m_h->worker.get());
        m_h->worker->setTickHook(m_engine.get());
        SimulatedDrive::Options options;
        options.mapFile = mapPath;
        if (!m_map->readMap(mapPath) || !m_h->bus.start(options)) {
            return false;
        }
        for (const char *command : {"set-input 0 7", "set-input 2 0", "set-input 3 200", "set-holding 4 3",
                                    "set-holding 5 247", "set-holding 6 0xFF85", "set-holding 7 246"}) {
            m_h->bus.drive.command(QLatin1String(command));
        }
        QVector<input_reg_t *> inputs;
        QVector<holding_t *> holdingList;
        m_map->getInputRegisters(inputs);
        m_map->getHoldings(holdingList);
        m_h->worker->setInputList(inputs);
        m_h->worker->setHoldingList(holdingList);
        m_boards = m_failures = 0;
        threadhandoff::connectQueued(
            m_h->worker.get(), &Modbus::testResult, this,
            [this](int num, int kind, const QString &txt, float res, float min, float max, int ok, bool reg) {
                const QString row =
                    QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(num).arg(kind).arg(txt).arg(res);
                if (!reg || m_rows.value(m_rows.size() - 1) != row.arg(min).arg(max).arg(ok)) {
                    (reg ? m_rows : m_announced) << row.arg(min).arg(max).arg(ok);  // a wait's row once
                }
            });
        threadhandoff::connectQueued(m_h->worker.get(), &Modbus::test_stop, this, [this] { ++m_stops; });
        m_h->connectWorker(inputs.size(), holdingList.size());
        return QTest::qWaitFor([this] { return m_h->probe.holdings.value(0).words.value(7) == 246; }, 10000);
    }

    QString testFile(const QString &form, const QByteArray &config = "<cont_fails>3</cont_fails>") {
        return writeFile(m_dir, "test.xml",
                         "<test><config>" + config + "</config>" + testform::stepsXml(form) + "</test>");
    }

    // Loads (unless `reload` is false) and starts a test.
    bool begin(const QString &path, const QString &serial = {}, bool reload = true) {
        m_rows.clear();
        m_announced.clear();
        m_stops = 0;
        if (reload && !engine()->loadTest(path)) {
            return false;
        }
        engine()->setSerial(serial);
        engine()->startTest();
        return true;
    }

    // Whether a message since the `from`th one contains `text`.
    bool said(int from, const QString &text) const {
        const auto &all = m_h->probe.statuses;
        return std::any_of(all.begin() + from, all.end(),
                           [&](const auto &s) { return s.text.contains(text); });
    }
    // Waits for `text` to be said and the test to have stopped `stops` times.
    bool waitSaid(int from, const QString &text, int stops = 0) {
        return QTest::qWaitFor([&] { return said(from, text) && m_stops >= stops; }, 20000);
    }

    // Runs `run`, the second pass without reloading (it starts from step 0 again).
    void check(const Run &run, int passes) {
        const auto rows = [](QString text) {
            return text.replace(QRegularExpression("\\bM(\\d+)\\b"), "\\1 1 - mensaje - 0 0 0 0");
        };
        const QString path = testFile(run.steps);
        for (int pass = 0; pass < passes; ++pass) {
            const int from = m_h->probe.statuses.size();
            QVERIFY(begin(path, run.serial, pass == 0));
            if (!run.duringWait.isEmpty()) {
                QVERIFY(waitSaid(from, "Esperando "));
                QVERIFY(m_h->bus.drive.command(run.duringWait));
            }
            ++m_boards;
            m_failures += run.result < 0 ? 1 : 0;
            QVERIFY(waitSaid(
                from, QStringLiteral("Placas ensayadas: %1. Fallos: %2").arg(m_boards).arg(m_failures), 1));
            QCOMPARE(m_stops, 1);
            QCOMPARE(engine()->isTestOK(), run.result);
            QCOMPARE(m_rows.join('|'), rows(run.rows));
            QString texts = run.said + (run.result > 0 ? "|Placa CORRECTA!" : "|Placa INCORRECTA!");
            texts += pass > 0 ? QString() : "|Test file: " + QDir::toNativeSeparators(path);
            for (const QString &text : texts.split('|', Qt::SkipEmptyParts)) {
                const bool absent = text.startsWith('!');
                QVERIFY2(said(from, text.mid(absent ? 1 : 0)) != absent, qPrintable(text));
            }
            QVERIFY(run.announced.isEmpty() || pass > 0 || m_announced.join('|') == rows(run.announced));
        }
        QCOMPARE(engine()->boardsTested(), m_boards);
        QCOMPARE(engine()->failures(), m_failures);
    }

    // Starts `form` on a fresh drive and waits until the drive has taken `firstWrite`.
    void beginAndWaitForWrite(const QString &form, const QByteArray &config, const QString &firstWrite) {
        QFETCH(Transport, transport);
        QVERIFY(start(10, transport));
        QVERIFY(begin(testFile(form, config)));
        QVERIFY(m_h->waitForRequest([&](const QString &line) { return line == firstWrite; }));
    }

    static QString writeBurst() {
        return "loop_start=20;WriteSingleRegister nombre=W dir=8 dat=1;loop_stop;"
               "ReadInputRegisters nombre=Valor dir=3 min=0 max=100";
    }

  private slots:
    // A drive that falls silent in the middle of a run of writes fails the board: the write
    // that gets no answer fails its step.
    void silentDriveFailsAWriteBurst_data() { addTransportRows(); }
    void silentDriveFailsAWriteBurst() {
        beginAndWaitForWrite(writeBurst(), "<cont_fails>3</cont_fails>", "1 06 00 08 00 01");
        QVERIFY(m_h->bus.drive.command(QStringLiteral("silent on")));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 20000));
        QCOMPARE(engine()->isTestOK(), -1);
        QVERIFY(said(0, QStringLiteral("FAILED: the drive did not take the write")));
    }

    // A read step does not judge the values of a drive that has since stopped answering, even
    // when the failure limit is too high to trip first.
    void readStepWaitsForFreshValues_data() { addTransportRows(); }
    void readStepWaitsForFreshValues() {
        const QString form =
            "WriteSingleRegister nombre=W dir=8 dat=5;espera=1;"
            "ReadInputRegisters nombre=Valor dir=3 min=0 max=100";
        beginAndWaitForWrite(form, "<cont_fails>1000</cont_fails>", "1 06 00 08 00 05");
        QVERIFY(m_h->bus.drive.command(QStringLiteral("silent on")));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 20000));
        QCOMPARE(engine()->isTestOK(), -1);
        QVERIFY(said(0, QStringLiteral("FAILED: no fresh reading from the drive")));
        QVERIFY(m_rows.contains(QStringLiteral("2 10 Valor 0 0 100 -1")));
    }

    // The stop of a failed board overtakes the writes still waiting: it is the next write the
    // drive sees after the failing one.
    void failedBoardStopGoesFirst() {
        QFETCH(Transport, transport);
        QVERIFY(start(10, transport));
        // The alarm fails the board while 200 writes wait in the queue.
        QVERIFY(begin(testFile("stop_if_alarm=2;espera=30")));
        QVERIFY(waitSaid(0, QStringLiteral("Esperando 30 segundos")));
        for (int value = 1; value <= 200; ++value) {
            m_h->worker->writeHolding(9, value, false);
        }
        QVERIFY(m_h->waitForRequest([](const QString &line) { return line == "1 06 00 09 00 01"; }));
        QVERIFY(m_h->bus.drive.command(QStringLiteral("set-input 2 5")));
        QVERIFY(m_h->waitForRequest([](const QString &line) { return line == "1 06 00 42 00 00"; }));
        QStringList writes;
        for (const QString &line : m_h->requests()) {
            if (line.startsWith(QLatin1String("1 06 "))) {
                writes << line;
            }
        }
        const int stop = writes.indexOf(QStringLiteral("1 06 00 42 00 00"));
        QVERIFY(stop > 0);
        QVERIFY2(stop < 12, qPrintable(writes.mid(0, 15).join(',')));
    }
    void failedBoardStopGoesFirst_data() { addTransportRows(); }

    // A lost line ends the run at once, as cancelled, and says why.
    void lostLineCancelsTheRun_data() { addTransportRows(); }
    void lostLineCancelsTheRun() {
        QFETCH(Transport, transport);
        QVERIFY(start(10, transport));
        QVERIFY(begin(testFile("espera=30")));
        QVERIFY(waitSaid(0, QStringLiteral("Esperando 30 segundos")));
        m_h->bus.pullThePlug();
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 10000));
        QCOMPARE(engine()->isTestOK(), 0);
        QVERIFY(engine()->endedByLineLoss());
        QVERIFY(!engine()->isRunning());
        QVERIFY(said(0, QStringLiteral("Line lost: the test was cancelled")));
    }

    // With reconnection on, the line comes back but the cancelled run stays ended: no step of
    // it runs on the new connection.
    void lostRunIsNotResumed_data() { addTransportRows(); }
    void lostRunIsNotResumed() {
        QFETCH(Transport, transport);
        QVERIFY(start(10, transport));
        m_h->worker->setAutoReconnect(true);
        QVERIFY(begin(testFile("espera=30")));
        QVERIFY(waitSaid(0, QStringLiteral("Esperando 30 segundos")));
        m_h->bus.pullThePlug();
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 10000));
        SimulatedDrive::Options options;
        options.mapFile = writeFile(m_dir, QStringLiteral("map10.xml"), mapXml(10));
        QVERIFY(m_h->bus.restartDrive(options));
        QTRY_COMPARE_WITH_TIMEOUT(m_h->probe.count("com_connected"), 2, 20000);
        const int replies = m_h->probe.inputs.size();
        QTRY_VERIFY_WITH_TIMEOUT(m_h->probe.inputs.size() > replies + 2, 20000);
        QVERIFY(!engine()->isRunning());
        QVERIFY(engine()->endedByLineLoss());
        QCOMPARE(m_stops, 1);
    }

    // A file that cannot run is refused at load and leaves the engine idle. Every row a run
    // registers, its messages and the board count. A running wait ends on Stop, on an alarm and on
    // a silent drive. A failed run writes 0 to register 125 with more than 64 holdings, else to 66.
    void runsAgainstTheDrive() {
        const QString value = QStringLiteral("mensaje=m;ReadInputRegisters nombre=Valor dir=3 ");  // 20.0
        const QString holdings =
            "ReadHoldingRegisters nombre=H dir=4 dat=3;ReadHoldingRegisters nombre=H dir=5 "
            "dat=247;ReadHoldingRegisters nombre=H dir=6 dat=-123;ReadHoldingRegisters nombre=H dir=6 "
            "dat=65413;ReadHoldingRegisters nombre=H dir=7 dat=247";
        const QString bits =
            "WriteSingleCoil nombre=On add=1 dir=5 dat=1;espera=1;ReadDiscreteInput nombre=DI dir=3 "
            "dat=false;ReadCoil nombre=RC dir=5 dat=1;ReadCoil nombre=RC0 dir=5 dat=0";
        // A write, a differential measurement of input 3 over a wait (it rises by 1.5) and a read-back.
        const QString measure =
            "WriteSingleRegister nombre=W dir=8 dat=42;differential_measure_initial nombre=D0 dir=3 "
            "idx=2;espera=2;ReadHoldingRegisters nombre=R dir=8 dat=42;differential_measure_final nombre=D1 "
            "dir=3 idx=2 ";
        const QString measured =
            "0 12 W 42 0 0 0|1 17 D0 0 0 0 0|1 17 D0 %1 0 0 0|2 0 - espera - 0 0 2 0|2 0 - espera - 1 0 2 "
            "0|2 0 - espera - 2 0 2 0|3 11 R 42 42 42 1|4 18 D1 0 0 0 0|4 18 D1 1.5 %2";
        const QString serial = "serial_number numchar=8 numparts=3 separator=-";
        const Run runs[] = {
            {"value at min", value + "min=20 max=30", 1, "M0|1 10 Valor 20 20 30 1", "",
             "M0|1 10 Valor 0 20 30 1"},
            {"value at max", value + "min=10 max=20", 1, "M0|1 10 Valor 20 10 20 1"},
            {"value below min", value + "min=20.5 max=30", -1, "M0|1 10 Valor 20 20.5 30 -1",
             "FALLO!. Rango (20.5,30); Leído 20"},
            // The drive's word is compared (3 x 0.1 divided by 0.1 would be 2.9999...), signed or not.
            {"holdings", holdings, -1,
             "0 11 H 3 3 3 1|1 11 H 247 247 247 1|2 11 H 65413 -123 -123 1|3 11 H 65413 65413 65413 1|4 11 H "
             "246 247 247 -1",
             "Lectura de parametro incorrecta! Esperado 247, Leído 246"},
            {"bits", bits, -1,
             "0 15 On 0 0 0 0|0 15 On 65280 0 0 0|1 0 - espera - 0 0 1 0|1 0 - espera - 1 0 1 0|2 14 DI 0 0 "
             "0 1|3 13 RC 1 1 1 1|4 13 RC0 1 0 0 -1",
             "Writing coil 5 ON (0xFF00) on device 1|!holding register 5|Lectura coil incorrecta! Esperado "
             "0, Leído 1"},
            {"loop of two", loop(2), 1, "M0|M1|M2|M1|M2|M3",
             "---- Fin de bucle, paso 0 de 2 ----|---- Fin de bucle, paso 1 de 2 ----|!paso 2"},
            {"loop of one", loop(1), 1, "M0|M1|M2|M3", "---- Fin de bucle, paso 0 de 1 ----|!paso 1"},
            {"loop of zero runs once", loop(0), 1, "M0|M1|M2|M3", "paso 0 de 0 ----|!paso 1"},
            {"loop ends the test", loop(2, {}), 1, "M0|M1|M2", "!Fin de bucle"},
            {"loop of the first step", "loop_start=2;mensaje=a;loop_stop;mensaje=b", 1, "M0|M1",
             "---- Fin de bucle, paso 0 de 2 ----|---- Fin de bucle, paso 1 de 2 ----"},
            {"serial number", serial, 1, "0 20 Numero de serie: 1 1 1 0", "", "0 20 Numero de serie: 0 0 0 0",
             "AB-12-CD"},
            {"serial number counted in characters", serial, 1, "0 20 Numero de serie: 1 1 1 0", "",
             "0 20 Numero de serie: 0 0 0 0", "AB-12-C\U0001F600"},
            {"serial number too short", serial, -1, "0 20 Numero de serie: 0 1 1 0",
             "Tamaño esperado: 8; tamaño leído: 7|Bloques esperado: 3; bloques leídos: 2", "", "ABC-123"},
            {"increment inside", measure + "min=1 max=2", 1, measured.arg(QLatin1String("20"), "1 2 1"),
             "Inicio medida dif.  D0. Valor: 20|Fin medida diferencial: D1. Inicio: 20 Fin: 21.5 Incremento: "
             "1.5. ",
             "0 12 W 0 0 0 0|1 17 D0 0 0 0 0|2 0 - espera - 0 0 2 0|3 11 R 0 0 0 0|4 18 D1 0 0 0 0", "",
             "set-input 3 215"},
            {"increment outside", measure + "min=2 max=3", -1, measured.arg(QLatin1String("21.5"), "2 3 -1"),
             "FALLO!. Rango (2, 3); Leido 1.5", "", "", "set-input 3 230"},
        };
        QVERIFY(start(65));
        const QString refused = "El fichero de test no pudo ser cargado.";
        for (const char *form : {"ReadInputRegisters dir=9 min=0 max=1", "WriteSingleRegister dir=300 dat=1",
                                 "", "loop_start=2;mensaje=a", "espera=x"}) {
            const int refusals = m_h->probe.said(refused);
            QVERIFY2(!begin(testFile(form)), form);
            QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 5000));
            QVERIFY2(!engine()->isRunning() && m_h->probe.said(refused) == refusals + 1, form);
        }
        QVERIFY(!m_h->requests().contains("1 06 01 2C 00 01"));
        for (const Run &run : runs) {
            // The drive's inputs start afresh only with a new drive.
            check(run, run.duringWait.isEmpty() ? 2 : 1);
            QVERIFY2(!QTest::currentTestFailed(), run.name);
        }
        QCOMPARE(m_h->probe.routeOf("Placas ensayadas: 1."), QStringLiteral("--B"));
        QVERIFY(m_h->requests().contains("1 06 00 08 00 2A") && m_h->requests().contains("1 06 00 7D 00 00"));
        QVERIFY(!m_h->requests().contains("1 06 00 42 00 00"));
        const QString path = testFile("stop_if_alarm=2;espera=30", "<cont_fails>2</cont_fails>");
        for (const auto &[command, result, text] : {std::tuple{"", 0, "Placa"},
                                                    {"set-input 2 5", -1, "El registro de alarma 2 es 5"},
                                                    {"silent on", -1, "FALLO!. Error de comunicación"}}) {
            const int from = m_h->probe.statuses.size();
            QVERIFY(begin(path));
            QVERIFY(waitSaid(from, QStringLiteral("Esperando 30 segundos")));
            QCOMPARE(m_announced, (QStringList{"0 19 stop if alarm: 2 0 0 0", "1 0 - espera - 0 0 30 0"}));
            if (*command) {
                QVERIFY(m_h->bus.drive.command(command));
            } else {
                engine()->stopTest();
            }
            QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 15000));
            QCOMPARE((QVector<int>{engine()->isTestOK(), engine()->isRunning()}),
                     (QVector<int>{result, false}));
            QVERIFY2(said(from, QString::fromUtf8(text)) == (result < 0), text);
            QVERIFY(m_h->bus.drive.command(QStringLiteral("set-input 2 0")));
        }
        QVERIFY(start(64));
        check(runs[2], 1);
        QVERIFY(m_h->waitForRequest([](const QString &l) { return l == "1 06 00 42 00 00"; }));
    }
};

QTEST_GUILESS_MAIN(TestTestEngine)
#include "tst_test_engine.moc"
