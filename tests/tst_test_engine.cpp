#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/logger.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "support/workerharness.h"
#include "test/test_engine.h"
#include "test/test_logs.h"

namespace {

// A small drive: four inputs with fixed values (forced in the simulator) and ten holdings,
// holding 5 scaled by 0.5. Few holdings, so a failed test writes 0 to register 66.
const char kMap[] = R"(<modbusmap>
<options><flags>3</flags></options>
<block name="P" query="auto" type="t" start="0" end="9">
  <h add="0"><text>Comando</text><default>0</default><multiplier>1</multiplier></h>
  <h add="1"><text>P1</text><default>0</default><multiplier>1</multiplier></h>
  <h add="2"><text>P2</text><default>0</default><multiplier>1</multiplier></h>
  <h add="3"><text>P3</text><default>0</default><multiplier>1</multiplier></h>
  <h add="4"><text>Decimas</text><default>0</default><multiplier>0.1</multiplier></h>
  <h add="5"><text>Medio</text><default>0</default><multiplier>0.5</multiplier><min>-1000</min><max>1000</max></h>
  <h add="6"><text>P6</text><default>0</default><multiplier>1</multiplier></h>
  <h add="7"><text>P7</text><default>0</default><multiplier>1</multiplier></h>
  <h add="8"><text>P8</text><default>0</default><multiplier>1</multiplier></h>
  <h add="9"><text>P9</text><default>0</default><multiplier>1</multiplier></h>
</block>
<Input_Register>
  <version add="0"><text>Version</text><multiplier>1</multiplier><unit>none</unit></version>
  <model add="1"><text>Modelo</text><multiplier>1</multiplier><unit>none</unit></model>
  <alarm add="2"><text>Alarma</text><multiplier>1</multiplier><unit>none</unit></alarm>
  <value add="3"><text>Valor</text><multiplier>0.1</multiplier><unit>none</unit></value>
</Input_Register>
</modbusmap>
)";

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(content);
    }
    return path;
}

struct StepResult {
    int num, tipo;
    QString txt;
    float res, min, max;
    int ok;
    bool reg;
};

}  // namespace

// The production-test engine inside a real worker, against the simulated drive.
class TestTestEngine : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<WorkerHarness> m_h;
    xmlmap m_map;
    QVector<input_reg_t *> m_inputs;
    QVector<holding_t *> m_holdings;
    QList<StepResult> m_results;
    int m_stops = 0;

    TestEngine *engine() { return m_h->worker->testEngine(); }

    bool start() {
        m_h = std::make_unique<WorkerHarness>();
        SimulatedDrive::Options options;
        options.mapFile = m_dir.filePath(QStringLiteral("map.xml"));
        QString error;
        if (!m_h->bus.start(options, &error)) {
            qWarning() << error;
            return false;
        }
        m_h->bus.drive.command(QStringLiteral("set-input 0 7"));
        m_h->bus.drive.command(QStringLiteral("set-input 2 0"));
        m_h->bus.drive.command(QStringLiteral("set-input 3 200"));  // 20.0
        m_h->worker->setInputList(m_inputs);
        m_h->worker->setHoldingList(m_holdings);
        m_results.clear();
        m_stops = 0;
        threadhandoff::connectQueued(
            m_h->worker.get(), &Modbus::testResult, this,
            [this](int num, int tipo, const QString &txt, float res, float min, float max, int ok, bool reg) {
                m_results.append({num, tipo, txt, res, min, max, ok, reg});
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

    int runToEnd(const QString &path, const QString &serial = QString()) {
        if (!engine()->loadTest(path)) {
            return -99;
        }
        engine()->setSerial(serial);
        engine()->startTest();
        if (!QTest::qWaitFor([this] { return m_stops > 0; }, 30000)) {
            return -98;
        }
        return engine()->isTestOK();
    }

    QList<StepResult> registered() const {
        QList<StepResult> out;
        for (const StepResult &r : m_results) {
            if (r.reg) {
                out << r;
            }
        }
        return out;
    }

    bool logged(const QString &text) const { return !m_h->probe.statusesContaining(text).isEmpty(); }

  private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        const QString mapPath = writeFile(m_dir, QStringLiteral("map.xml"), kMap);
        QVERIFY(m_map.readMap(mapPath));
        m_map.getHoldings(m_holdings);
        m_map.getInputRegisters(m_inputs);
    }
    void cleanup() {
        if (QTest::currentTestFailed() && m_h) {
            for (const auto &s : m_h->probe.statuses)
                qInfo() << "status:" << s.text;
        }
        m_h.reset();
    }

    void readInputBoundsAreInclusive_data() {
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("max");
        QTest::addColumn<int>("result");
        QTest::newRow("value at min") << "20"
                                      << "30" << 1;
        QTest::newRow("value at max") << "10"
                                      << "20" << 1;
        QTest::newRow("below range") << "20.5"
                                     << "30" << -1;
    }
    void readInputBoundsAreInclusive() {
        QFETCH(QString, min);
        QFETCH(QString, max);
        QFETCH(int, result);
        QVERIFY(start());
        const QString path =
            testFile("<ReadInputRegisters><nombre>Valor</nombre><dir>3</dir><min>" + min.toUtf8() +
                     "</min><max>" + max.toUtf8() + "</max></ReadInputRegisters>");
        QCOMPARE(runToEnd(path), result);
        const QList<StepResult> r = registered();
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.first().res, 20.0f);
        QCOMPARE(r.first().ok, result);
        if (result < 0) {
            QVERIFY(logged(QStringLiteral("FALLO!. Rango (20.5,30); Leído 20")));
            QVERIFY(logged(QStringLiteral("Placa INCORRECTA!")));
            // The stop write of a failed test: register 66 on a map of ten holdings.
            QVERIFY(
                m_h->waitForRequest([](const QString &l) { return l == QLatin1String("1 06 00 42 00 00"); }));
        } else {
            QVERIFY(logged(QStringLiteral("Placa CORRECTA!")));
        }
    }

    void holdingCompareUsesTheDriveWord_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("dat");
        QTest::addColumn<int>("result");
        QTest::newRow("multiplier 0.5") << 5 << "247" << 247 << 1;
        // 3 x 0.1 divided back by 0.1 is 2.9999...: the word itself must be compared.
        QTest::newRow("multiplier 0.1") << 4 << "3" << 3 << 1;
        QTest::newRow("negative value") << 5 << "0xFF85" << -123 << 1;
        QTest::newRow("different value") << 5 << "246" << 247 << -1;
    }
    void holdingCompareUsesTheDriveWord() {
        QFETCH(int, position);
        QFETCH(QString, word);
        QFETCH(int, dat);
        QFETCH(int, result);
        QVERIFY(start());
        QVERIFY(m_h->bus.drive.command(QStringLiteral("set-holding %1 %2").arg(position).arg(word)));
        const uint16_t expected = uint16_t(word.toUInt(nullptr, 0));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return !m_h->probe.holdings.isEmpty() &&
                       m_h->probe.holdings.last().words.value(position) == expected;
            },
            5000));
        const QString path =
            testFile(QStringLiteral("<ReadHoldingRegisters><nombre>H</nombre><dir>%1</dir><dat>%2</dat>"
                                    "</ReadHoldingRegisters>")
                         .arg(position)
                         .arg(dat)
                         .toUtf8());
        QCOMPARE(runToEnd(path), result);
    }

    void writeThenReadBack() {
        QVERIFY(start());
        const QString path = testFile(
            "<WriteSingleRegister><nombre>W</nombre><dir>6</dir><dat>42</dat>"
            "</WriteSingleRegister><espera>1</espera>"
            "<ReadHoldingRegisters><nombre>R</nombre><dir>6</dir><dat>42</dat>"
            "</ReadHoldingRegisters>");
        QCOMPARE(runToEnd(path), 1);
        QVERIFY(m_h->requests().contains(QStringLiteral("1 06 00 06 00 2A")));
        QVERIFY(logged(QStringLiteral("Test file: ") + QDir::toNativeSeparators(path)));
    }

    // A coil or discrete-input check reports the bit read against the expected one, like any
    // other check, so its row is coloured and its result line is true.
    void bitStepsReportTheBitRead() {
        QVERIFY(start());
        const QString path = testFile(
            "<WriteSingleCoil><nombre>On</nombre><add>1</add><dir>5</dir><dat>1</dat></WriteSingleCoil>"
            "<espera>1</espera><ReadCoil><nombre>RC</nombre><dir>5</dir><dat>1</dat></ReadCoil>"
            "<ReadDiscreteInput><nombre>DI</nombre><dir>3</dir><dat>true</dat></ReadDiscreteInput>");
        QCOMPARE(runToEnd(path), -1);
        QVERIFY(logged(QStringLiteral("Writing coil 5 ON (0xFF00) on device 1")));
        QVERIFY(m_h->probe.statusesContaining(QStringLiteral("holding register 5")).isEmpty());
        QStringList bits;
        for (const StepResult &r : registered()) {
            if (r.tipo == 13 || r.tipo == 14) {
                bits << QStringLiteral("%1 %2 %3 %4 %5")
                            .arg(r.tipo)
                            .arg(r.txt)
                            .arg(r.res)
                            .arg(r.min)
                            .arg(r.ok);
            }
        }
        QCOMPARE(bits, (QStringList{QStringLiteral("13 RC 1 1 1"), QStringLiteral("14 DI 0 1 -1")}));
    }

    void loopRunsItsStepsPerIteration_data() {
        QTest::addColumn<int>("iterations");
        QTest::addColumn<int>("passes");
        QTest::newRow("two") << 2 << 2;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("zero runs once") << 0 << 1;
    }
    void loopRunsItsStepsPerIteration() {
        QFETCH(int, iterations);
        QFETCH(int, passes);
        QVERIFY(start());
        const QString path =
            testFile("<mensaje>antes</mensaje><loop_start>" + QByteArray::number(iterations) +
                     "</loop_start>"
                     "<mensaje>a</mensaje><mensaje>b</mensaje><mensaje>c</mensaje>"
                     "<loop_stop/><mensaje>despues</mensaje>");
        QCOMPARE(runToEnd(path), 1);
        QCOMPARE(m_h->probe.statusesContaining(QStringLiteral("Fin de bucle")).size(), passes);
        for (int pass = 0; pass < passes; ++pass) {
            QVERIFY(
                logged(QStringLiteral("---- Fin de bucle, paso %1 de %2 ----").arg(pass).arg(iterations)));
        }
        int inLoop = 0;
        for (const StepResult &r : registered()) {
            inLoop += (r.num >= 1 && r.num <= 3) ? 1 : 0;
        }
        QCOMPARE(inLoop, 3 * passes);
    }

    void alarmDuringAWaitFailsTheTest() {
        QVERIFY(start());
        const QString path = testFile("<stop_if_alarm>2</stop_if_alarm><espera>20</espera>");
        QVERIFY(engine()->loadTest(path));
        engine()->startTest();
        QVERIFY(QTest::qWaitFor([this] { return logged(QStringLiteral("Esperando 20 segundos")); }, 5000));
        QVERIFY(m_h->bus.drive.command(QStringLiteral("set-input 2 5")));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 10000));
        QCOMPARE(engine()->isTestOK(), -1);
        QVERIFY(logged(QStringLiteral("El registro de alarma 2 es 5")));
    }

    void silentDriveEndsTheTestThroughTheFailureLimit() {
        QVERIFY(start());
        const QString path = testFile("<espera>30</espera>", "<cont_fails>2</cont_fails>");
        QVERIFY(engine()->loadTest(path));
        engine()->startTest();
        QVERIFY(QTest::qWaitFor([this] { return logged(QStringLiteral("Esperando 30 segundos")); }, 5000));
        QVERIFY(m_h->bus.drive.command(QStringLiteral("silent on")));
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 15000));
        QCOMPARE(engine()->isTestOK(), -1);
        QVERIFY(logged(QStringLiteral("FALLO!. Error de comunicación")));
    }

    void stopDuringAWaitCancels() {
        QVERIFY(start());
        QVERIFY(engine()->loadTest(testFile("<espera>30</espera>")));
        engine()->startTest();
        QVERIFY(QTest::qWaitFor([this] { return logged(QStringLiteral("Esperando 30 segundos")); }, 5000));
        engine()->stopTest();
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 5000));
        QCOMPARE(engine()->isTestOK(), 0);
        QVERIFY(!logged(QStringLiteral("Placa")));
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
        const QString path = testFile(
            "<serial_number><numchar>8</numchar><numparts>3</numparts>"
            "<separator>-</separator></serial_number>");
        QCOMPARE(runToEnd(path, serial), result);
        if (result < 0) {
            QVERIFY(logged(QStringLiteral("Tamaño esperado: 8; tamaño leído: 7")));
            QVERIFY(logged(QStringLiteral("Bloques esperado: 3; bloques leídos: 2")));
        }
    }

    void badTestFilesAreRefusedAtLoad_data() {
        QTest::addColumn<QByteArray>("steps");
        QTest::newRow("input outside the list") << QByteArray(
            "<ReadInputRegisters><nombre>x</nombre><dir>9</dir>"
            "<min>0</min><max>1</max></ReadInputRegisters>");
        QTest::newRow("write above 255") << QByteArray(
            "<WriteSingleRegister><nombre>x</nombre><dir>300</dir>"
            "<dat>1</dat></WriteSingleRegister>");
        QTest::newRow("no steps") << QByteArray();
        QTest::newRow("loop without end") << QByteArray("<loop_start>2</loop_start><mensaje>a</mensaje>");
        QTest::newRow("espera without number") << QByteArray("<espera>x</espera>");
    }
    void badTestFilesAreRefusedAtLoad() {
        QFETCH(QByteArray, steps);
        QVERIFY(start());
        QVERIFY(!engine()->loadTest(testFile(steps)));
        QVERIFY(QTest::qWaitFor(
            [this] { return logged(QStringLiteral("El fichero de test no pudo ser cargado.")); }, 5000));
        QVERIFY(!m_h->requests().contains(QStringLiteral("1 06 01 2C 00 01")));
    }

    void passingTestWritesItsLogs() {
        QVERIFY(start());
        const QString path = testFile(
            "<serial_number><numchar>8</numchar><numparts>3</numparts>"
            "<separator>-</separator></serial_number>"
            "<ReadInputRegisters><nombre>Valor</nombre><dir>3</dir><min>10</min>"
            "<max>30</max></ReadInputRegisters>",
            "<full_log>true</full_log><result_log>true</result_log>"
            "<summary_log>true</summary_log>");
        QTemporaryDir logs;
        logger full, result, summary;
        TestLogs testLogs(&full, &result, &summary);
        threadhandoff::connectQueued(
            m_h->worker.get(), &Modbus::testResult, this,
            [&testLogs](int num, int tipo, const QString &txt, float res, float min, float max, int ok,
                        bool reg) { testLogs.stepResult(num, tipo, txt, res, min, max, ok, reg); });
        QVERIFY(engine()->loadTest(path));
        testLogs.begin(logs.path(), {true, true, true}, QStringLiteral("AB-12-CD"), nullptr);
        engine()->setSerial(QStringLiteral("AB-12-CD"));
        engine()->startTest();
        QVERIFY(QTest::qWaitFor([this] { return m_stops > 0; }, 10000));
        QCOMPARE(engine()->isTestOK(), 1);
        presentation::applyHoldingWords(m_holdings, m_h->probe.holdings.last().words);
        testLogs.finish(1, m_holdings, false, QString(), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)),
                        QStringLiteral("AB-12-CD"));

        const QStringList files = QDir(logs.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 3);
        auto read = [&logs](const QString &name) {
            QFile f(logs.filePath(name));
            f.open(QIODevice::ReadOnly);
            return QString::fromUtf8(f.readAll());
        };
        const QString resultName = files.filter(QStringLiteral("-result-")).value(0);
        const QString fullName = files.filter(QStringLiteral("-test-")).value(0);
        const QString summaryName = files.filter(QStringLiteral("summary")).value(0);
        QVERIFY(!resultName.isEmpty() && !fullName.isEmpty() && !summaryName.isEmpty());
        const QString resultText = read(resultName);
        QVERIFY(resultText.contains(QStringLiteral(" Serial Number: AB-12-CD\n")));
        QVERIFY(resultText.contains(
            QStringLiteral("\tnum: 1\ttipo: 10\ttxt: Valor\tres: 20\tmin: 10\tmax: 30\tok: 1\n")));
        QVERIFY(resultText.contains(QStringLiteral("Resultado: OK\n\nComando:\t0\n")));
        QVERIFY(resultText.contains(QStringLiteral("Medio:\t0\n")));
        QVERIFY(read(fullName).contains(QStringLiteral(" Serial Number: AB-12-CD\n")));
        QCOMPARE(read(summaryName), QStringLiteral("T: 20260102-030405 SN: AB-12-CD R: OK\n"));
    }
};

QTEST_GUILESS_MAIN(TestTestEngine)
#include "tst_test_engine.moc"
