#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "map/xmlmap.h"
#include "support/workerharness.h"
#include "test/test_engine.h"

namespace {

// A small drive: four inputs (forced in the simulator: version 7, alarm 0, value 20.0) and
// `holdings` holdings, holding 4 scaled by 0.1 and holding 5 by 0.5.
QByteArray mapXml(int holdings) {
    QByteArray xml =
        "<modbusmap><options><flags>3</flags></options><block name=\"P\" query=\"auto\" "
        "type=\"t\" start=\"0\" end=\"" +
        QByteArray::number(holdings - 1) + "\">";
    for (int i = 0; i < holdings; ++i) {
        xml += QStringLiteral(
                   "<h add=\"%1\"><text>P%1</text><default>0</default><multiplier>%2</multiplier></h>")
                   .arg(i)
                   .arg(i == 4   ? 0.1
                        : i == 5 ? 0.5
                                 : 1)
                   .toUtf8();
    }
    return xml + R"(</block><Input_Register>
  <version add="0"><text>Version</text><multiplier>1</multiplier><unit>none</unit></version>
  <model add="1"><text>Modelo</text><multiplier>1</multiplier><unit>none</unit></model>
  <alarm add="2"><text>Alarma</text><multiplier>1</multiplier><unit>none</unit></alarm>
  <value add="3"><text>Valor</text><multiplier>0.1</multiplier><unit>none</unit></value>
</Input_Register></modbusmap>)";
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content) {
    QFile f(dir.filePath(name));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(content);
    }
    return f.fileName();
}

enum class Interruption { Alarm, SilentDrive, Stop };

}  // namespace

Q_DECLARE_METATYPE(Interruption)

// The production-test engine inside a real worker, against the simulated drive.
class TestTestEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<WorkerHarness> m_h;
    std::unique_ptr<xmlmap> m_map;
    QVector<input_reg_t *> m_inputs;
    QVector<holding_t *> m_holdings;
    QStringList m_rows;       // registered results as "num kind txt res min max ok"
    QStringList m_announced;  // the rows a load announces, alike
    int m_stops = 0;

    TestEngine *engine() { return m_h->worker->testEngine(); }

    bool start(int holdings = 10) {
        const QString mapPath = writeFile(m_dir, QStringLiteral("map%1.xml").arg(holdings), mapXml(holdings));
        m_map = std::make_unique<xmlmap>();
        m_inputs.clear();
        m_holdings.clear();
        if (!m_map->readMap(mapPath)) {
            return false;
        }
        m_map->getHoldings(m_holdings);
        m_map->getInputRegisters(m_inputs);
        m_h = std::make_unique<WorkerHarness>();
        SimulatedDrive::Options options;
        options.mapFile = mapPath;
        QString error;
        if (!m_h->bus.start(options, &error)) {
            qWarning() << error;
            return false;
        }
        for (const char *command : {"set-input 0 7", "set-input 2 0", "set-input 3 200"}) {
            m_h->bus.drive.command(QLatin1String(command));
        }
        m_h->worker->setInputList(m_inputs);
        m_h->worker->setHoldingList(m_holdings);
        m_rows.clear();
        m_announced.clear();
        m_stops = 0;
        threadhandoff::connectQueued(
            m_h->worker.get(), &Modbus::testResult, this,
            [this](int num, int kind, const QString &txt, float res, float min, float max, int ok, bool reg) {
                (reg ? m_rows : m_announced) << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                                                    .arg(num)
                                                    .arg(kind)
                                                    .arg(txt)
                                                    .arg(res)
                                                    .arg(min)
                                                    .arg(max)
                                                    .arg(ok);
            });
        threadhandoff::connectQueued(m_h->worker.get(), &Modbus::test_stop, this, [this] { ++m_stops; });
        m_h->connectWorker(m_inputs.size(), m_holdings.size());
        return QTest::qWaitFor(
            [this] { return m_h->probe.inputs.size() >= 1 && m_h->probe.holdings.size() >= 1; }, 10000);
    }

    QString testFile(const QByteArray &steps, const QByteArray &config = "<cont_fails>3</cont_fails>") {
        return writeFile(m_dir, QStringLiteral("test.xml"),
                         "<test><config>" + config + "</config>" + steps + "</test>");
    }

    bool begin(const QString &path, const QString &serial = QString()) {
        if (!engine()->loadTest(path)) {
            return false;
        }
        engine()->setSerial(serial);
        engine()->startTest();
        return true;
    }

    // Runs the loaded test (again) and waits for its board count line.
    int runToEnd(int boards = 1) {
        m_rows.clear();
        m_stops = 0;
        engine()->startTest();
        if (!QTest::qWaitFor(
                [&] { return m_stops > 0 && logged(QStringLiteral("Placas ensayadas: %1.").arg(boards)); },
                30000)) {
            return -98;
        }
        return engine()->isTestOK();
    }
    int runToEnd(const QString &path, const QString &serial = QString()) {
        if (!engine()->loadTest(path)) {
            return -99;
        }
        engine()->setSerial(serial);
        return runToEnd();
    }

    bool logged(const QString &text) const { return !m_h->probe.statusesContaining(text).isEmpty(); }
    bool waitLogged(const QString &text) {
        return QTest::qWaitFor([&] { return logged(text); }, 10000);
    }

    // Rows in order with consecutive repeats (a wait's row on every tick) shown once.
    QStringList distinctRows() const {
        QStringList out;
        for (const QString &row : m_rows) {
            if (out.isEmpty() || out.last() != row) {
                out << row;
            }
        }
        return out;
    }

  private slots:
    void cleanup() {
        if (QTest::currentTestFailed() && m_h) {
            for (const auto &s : m_h->probe.statuses)
                qInfo() << "status:" << s.text;
            qInfo() << m_rows;
        }
        m_h.reset();
    }

    // A failed test writes 0 to register 125 when the map has more than 64 holdings, else to 66.
    // Run again without reloading, a test starts from its first step and counts the boards.
    void readInputBoundsAreInclusive_data() {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<int>("holdings");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("stopWrite");
        // clang-format off
        QTest::newRow("value at min") << "20" << "30" << 10 << 1 << "";
        QTest::newRow("value at max") << "10" << "20" << 10 << 1 << "";
        QTest::newRow("below range, 64 holdings") << "20.5" << "30" << 64 << -1 << "1 06 00 42 00 00";
        QTest::newRow("below range, 65 holdings") << "20.5" << "30" << 65 << -1 << "1 06 00 7D 00 00";
        // clang-format on
    }
    void readInputBoundsAreInclusive() {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(int, holdings);
        QFETCH(int, result);
        QFETCH(QString, stopWrite);
        QVERIFY(start(holdings));
        const QString path =
            testFile("<mensaje>m</mensaje><ReadInputRegisters><nombre>Valor</nombre><dir>3</dir><min>" +
                     min.toUtf8() + "</min><max>" + max.toUtf8() + "</max></ReadInputRegisters>");
        const QStringList rows{"0 1 - mensaje - 0 0 0 0",
                               QStringLiteral("1 10 Valor 20 %1 %2 %3").arg(min, max).arg(result)};
        const int failures = result < 0 ? 1 : 0;
        QCOMPARE(runToEnd(path), result);
        QCOMPARE(m_rows, rows);
        QCOMPARE(m_announced, (QStringList{"0 1 - mensaje - 0 0 0 0",
                                           QStringLiteral("1 10 Valor 0 %1 %2 1").arg(min, max)}));
        const auto said = m_h->probe.statusesContaining(QStringLiteral("Placas ensayadas: 1."));
        QVERIFY(said.size() == 1 && said[0].toBrowser && !said[0].toStatus && !said[0].timestamp);
        QVERIFY(logged(QStringLiteral("Placas ensayadas: 1. Fallos: %1").arg(failures)));
        QCOMPARE(runToEnd(2), result);
        QCOMPARE(m_rows, rows);
        QVERIFY(logged(QStringLiteral("Placas ensayadas: 2. Fallos: %1").arg(2 * failures)));
        QCOMPARE(engine()->boardsTested(), 2);
        QCOMPARE(engine()->failures(), 2 * failures);
        QVERIFY(logged(result < 0 ? QStringLiteral("Placa INCORRECTA!") : QStringLiteral("Placa CORRECTA!")));
        if (result < 0) {
            QVERIFY(logged(QStringLiteral("FALLO!. Rango (20.5,30); Leído 20")));
            QVERIFY(m_h->waitForRequest([&](const QString &l) { return l == stopWrite; }));
        }
    }

    // A holding check compares the drive's word (3 x 0.1 divided back by 0.1 would be 2.9999...),
    // signed or unsigned.
    void holdingCompareUsesTheDriveWord() {
        QVERIFY(start());
        for (const char *command :
             {"set-holding 4 3", "set-holding 5 247", "set-holding 6 0xFF85", "set-holding 7 246"}) {
            QVERIFY(m_h->bus.drive.command(QLatin1String(command)));
        }
        QVERIFY(QTest::qWaitFor(
            [&] { return m_h->probe.holdings.value(m_h->probe.holdings.size() - 1).words.value(7) == 246; },
            5000));
        QCOMPARE(
            runToEnd(testFile(
                "<ReadHoldingRegisters><nombre>H</nombre><dir>4</dir><dat>3</dat></ReadHoldingRegisters>"
                "<ReadHoldingRegisters><nombre>H</nombre><dir>5</dir><dat>247</dat></ReadHoldingRegisters>"
                "<ReadHoldingRegisters><nombre>H</nombre><dir>6</dir><dat>-123</dat></ReadHoldingRegisters>"
                "<ReadHoldingRegisters><nombre>H</nombre><dir>6</dir><dat>65413</dat></ReadHoldingRegisters>"
                "<ReadHoldingRegisters><nombre>H</nombre><dir>7</dir><dat>247</dat></ReadHoldingRegisters>")),
            -1);
        QCOMPARE(m_rows, (QStringList{"0 11 H 3 3 3 1", "1 11 H 247 247 247 1", "2 11 H 65413 -123 -123 1",
                                      "3 11 H 65413 65413 65413 1", "4 11 H 246 247 247 -1"}));
        QVERIFY(logged(QStringLiteral("Lectura de parametro incorrecta! Esperado 247, Leído 246")));
    }

    // Every row a run registers, in order: writes, a wait counting its seconds, a read-back and a
    // differential measurement over the wait (input 3 goes from 20 to 21.5).
    void stepRows_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("increment inside") << 1 << 2 << 1 << "OK";
        QTest::newRow("increment outside") << 2 << 3 << -1 << "FALLO!. Rango (2, 3); Leido 1.5";
    }
    void stepRows() {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, result);
        QFETCH(QString, verdict);
        QVERIFY(start());
        const QString path = testFile(
            QStringLiteral(
                "<WriteSingleRegister><nombre>W</nombre><dir>6</dir><dat>42</dat></WriteSingleRegister>"
                "<WriteSingleCoil><nombre>C</nombre><add>1</add><dir>5</dir><dat>1</dat></WriteSingleCoil>"
                "<differential_measure_initial><nombre>D0</nombre><dir>3</dir><idx>2</idx>"
                "</differential_measure_initial><espera>2</espera>"
                "<ReadHoldingRegisters><nombre>R</nombre><dir>6</dir><dat>42</dat></ReadHoldingRegisters>"
                "<differential_measure_final><nombre>D1</nombre><dir>3</dir><idx>2</idx><min>%1</min>"
                "<max>%2</max></differential_measure_final>")
                .arg(min)
                .arg(max)
                .toUtf8());
        QVERIFY(begin(path));
        QVERIFY(waitLogged(QStringLiteral("Esperando 2 segundos")));
        QVERIFY(m_h->bus.drive.command(QStringLiteral("set-input 3 215")));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 20000));
        QCOMPARE(engine()->isTestOK(), result);
        QCOMPARE(m_announced, (QStringList{"0 12 W 0 0 0 0", "1 15 C 0 0 0 0", "2 17 D0 0 0 0 0",
                                           "3 0 - espera - 0 0 2 0", "4 11 R 0 0 0 0", "5 18 D1 0 0 0 0"}));
        QCOMPARE(distinctRows(),
                 (QStringList{"0 12 W 42 0 0 0", "1 15 C 0 0 0 0", "1 15 C 65280 0 0 0", "2 17 D0 0 0 0 0",
                              "2 17 D0 20 0 0 0", "3 0 - espera - 0 0 2 0", "3 0 - espera - 1 0 2 0",
                              "3 0 - espera - 2 0 2 0", "4 11 R 42 42 42 1", "5 18 D1 0 0 0 0",
                              QStringLiteral("5 18 D1 1.5 %1 %2 %3").arg(min).arg(max).arg(result)}));
        QVERIFY(m_h->requests().contains(QStringLiteral("1 06 00 06 00 2A")));
        QVERIFY(logged(QStringLiteral("Test file: ") + QDir::toNativeSeparators(path)));
        QVERIFY(logged(QStringLiteral("Writing coil 5 ON (0xFF00) on device 1")));
        QVERIFY(m_h->probe.statusesContaining(QStringLiteral("holding register 5")).isEmpty());
        QVERIFY(logged(QStringLiteral("Inicio medida dif.  D0. Valor: 20")));
        QVERIFY(logged(QStringLiteral("Fin medida diferencial: D1. Inicio: 20 Fin: 21.5 Incremento: 1.5. ")));
        QVERIFY(waitLogged(verdict));
    }

    // A coil or discrete-input check reports the bit read against the expected one.
    void bitStepsReportTheBitRead() {
        QVERIFY(start());
        QCOMPARE(
            runToEnd(testFile(
                "<WriteSingleCoil><nombre>On</nombre><add>1</add><dir>5</dir><dat>1</dat></WriteSingleCoil>"
                "<espera>1</espera><ReadDiscreteInput><nombre>DI</nombre><dir>3</dir><dat>false</dat>"
                "</ReadDiscreteInput><ReadCoil><nombre>RC</nombre><dir>5</dir><dat>1</dat></ReadCoil>"
                "<ReadCoil><nombre>RC0</nombre><dir>5</dir><dat>0</dat></ReadCoil>")),
            -1);
        QCOMPARE(m_rows.filter(QRegularExpression("^\\d+ 1[34] ")),
                 (QStringList{"2 14 DI 0 0 0 1", "3 13 RC 1 1 1 1", "4 13 RC0 1 0 0 -1"}));
        QVERIFY(logged(QStringLiteral("Lectura coil incorrecta! Esperado 0, Leído 1")));
    }

    void loopRunsItsStepsPerIteration_data() {
        QTest::addColumn<int>("iterations");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("passes");
        QTest::newRow("two") << 2 << QByteArray("<mensaje>despues</mensaje>") << 2;
        QTest::newRow("one") << 1 << QByteArray("<mensaje>despues</mensaje>") << 1;
        QTest::newRow("zero runs once") << 0 << QByteArray("<mensaje>despues</mensaje>") << 1;
        QTest::newRow("ending the test: the pass end comes first") << 2 << QByteArray() << 1;
    }
    void loopRunsItsStepsPerIteration() {
        QFETCH(int, iterations);
        QFETCH(QByteArray, after);
        QFETCH(int, passes);
        QVERIFY(start());
        QCOMPARE(
            runToEnd(testFile("<mensaje>antes</mensaje><loop_start>" + QByteArray::number(iterations) +
                              "</loop_start><mensaje>a</mensaje><mensaje>b</mensaje><loop_stop/>" + after)),
            1);
        QCOMPARE(m_h->probe.statusesContaining(QStringLiteral("Fin de bucle")).size(),
                 after.isEmpty() ? 0 : passes);
        QStringList rows{"0 1 - mensaje - 0 0 0 0"};
        for (int pass = 0; pass < passes; ++pass) {
            QVERIFY(
                after.isEmpty() ||
                logged(QStringLiteral("---- Fin de bucle, paso %1 de %2 ----").arg(pass).arg(iterations)));
            rows << "1 1 - mensaje - 0 0 0 0"
                 << "2 1 - mensaje - 0 0 0 0";
        }
        if (!after.isEmpty()) {
            rows << "3 1 - mensaje - 0 0 0 0";
        }
        QCOMPARE(m_rows, rows);
    }

    void interruptedWait_data() {
        QTest::addColumn<Interruption>("interruption");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("said");
        QTest::newRow("alarm") << Interruption::Alarm << -1 << "El registro de alarma 2 es 5";
        QTest::newRow("silent drive") << Interruption::SilentDrive << -1 << "FALLO!. Error de comunicación";
        QTest::newRow("stop") << Interruption::Stop << 0 << "";
    }
    void interruptedWait() {
        QFETCH(Interruption, interruption);
        QFETCH(int, result);
        QFETCH(QString, said);
        QVERIFY(start());
        QVERIFY(begin(
            testFile("<stop_if_alarm>2</stop_if_alarm><espera>30</espera>", "<cont_fails>2</cont_fails>")));
        QVERIFY(waitLogged(QStringLiteral("Esperando 30 segundos")));
        QCOMPARE(m_announced, (QStringList{"0 19 stop if alarm: 2 0 0 0", "1 0 - espera - 0 0 30 0"}));
        if (interruption == Interruption::Stop) {
            engine()->stopTest();
        } else {
            QVERIFY(m_h->bus.drive.command(interruption == Interruption::Alarm
                                               ? QStringLiteral("set-input 2 5")
                                               : QStringLiteral("silent on")));
        }
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 15000));
        QCOMPARE(engine()->isTestOK(), result);
        QVERIFY(!engine()->isRunning());
        QVERIFY(result < 0 ? logged(said) : !logged(QStringLiteral("Placa")));
    }

    void serialNumberRule_data() {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<int>("result");
        QTest::newRow("eight chars, three blocks") << "AB-12-CD" << 1;
        QTest::newRow("seven chars, two blocks") << "ABC-123" << -1;
    }
    void serialNumberRule() {
        QFETCH(QString, serial);
        QFETCH(int, result);
        QVERIFY(start());
        QCOMPARE(runToEnd(testFile("<serial_number><numchar>8</numchar><numparts>3</numparts>"
                                   "<separator>-</separator></serial_number>"),
                          serial),
                 result);
        QCOMPARE(m_announced, QStringList{"0 20 Numero de serie: 0 0 0 0"});
        QCOMPARE(m_rows,
                 QStringList{QStringLiteral("0 20 Numero de serie: %1 1 1 0").arg(result > 0 ? 1 : 0)});
        if (result < 0) {
            QVERIFY(logged(QStringLiteral("Tamaño esperado: 8; tamaño leído: 7")));
            QVERIFY(logged(QStringLiteral("Bloques esperado: 3; bloques leídos: 2")));
        }
    }

    void badTestFilesAreRefusedAtLoad_data() {
        QTest::addColumn<QByteArray>("steps");
        QTest::newRow("input outside the list")
            << QByteArray("<ReadInputRegisters><dir>9</dir><min>0</min><max>1</max></ReadInputRegisters>");
        QTest::newRow("write above 255")
            << QByteArray("<WriteSingleRegister><dir>300</dir><dat>1</dat></WriteSingleRegister>");
        QTest::newRow("no steps") << QByteArray();
        QTest::newRow("loop without end") << QByteArray("<loop_start>2</loop_start><mensaje>a</mensaje>");
        QTest::newRow("espera without number") << QByteArray("<espera>x</espera>");
    }
    void badTestFilesAreRefusedAtLoad() {
        QFETCH(QByteArray, steps);
        QVERIFY(start());
        QVERIFY(!engine()->loadTest(testFile(steps)));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 5000));
        QVERIFY(!engine()->isRunning());
        QVERIFY(logged(QStringLiteral("El fichero de test no pudo ser cargado.")));
        QVERIFY(!m_h->requests().contains(QStringLiteral("1 06 01 2C 00 01")));
    }
};

QTEST_GUILESS_MAIN(TestTestEngine)
#include "tst_test_engine.moc"
