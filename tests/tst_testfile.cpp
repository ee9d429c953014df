#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "support/testpaths.h"
#include "test/test_validation.h"
#include "test/testfilepath.h"
#include "test/xml_test_reader.h"

namespace {

QByteArray wrap(const QString &body) {
    return QStringLiteral("<test>%1</test>").arg(body).toUtf8();
}

TestDefinition read(const QString &body, ReadWarnings *warnings = nullptr) {
    TestDefinition def;
    xml_test_reader reader;
    if (!reader.readTestData(wrap(body), def)) {
        qWarning("test XML did not parse");
    }
    if (warnings) {
        *warnings = reader.warnings();
    }
    return def;
}

QString stepText(const TestDefinition &def) {
    QStringList parts;
    for (const test_step_t &s : def.steps) {
        parts << QStringLiteral("%1:%2").arg(s.kind).arg(s.index);
    }
    return parts.join(QLatin1Char(' '));
}

}  // namespace

class TestFileTest : public QObject {
    Q_OBJECT
  private slots:
    void stepOrder_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QVector<int>>("espera");
        QTest::addColumn<QVector<int>>("loop");  // iterations, start index, stop index
        const QVector<int> noLoop{-1, -1, -1};
        QTest::newRow("alternating")
            << "<mensaje>a</mensaje><espera>5</espera><mensaje>b</mensaje><espera>7</espera>"
            << "1:0 0:0 1:1 0:1" << QVector<int>{5, 7} << noLoop;
        QTest::newRow("two serial numbers") << "<serial_number/><mensaje/><serial_number/>"
                                            << "20:0 1:0 20:0" << QVector<int>{} << noLoop;
        QTest::newRow("bad espera listed without value") << "<espera>x</espera><espera>4</espera>"
                                                         << "0:0 0:0" << QVector<int>{4} << noLoop;
        QTest::newRow("ignored and unknown tags")
            << "<max_com_fails>2</max_com_fails><pausa>3</pausa><img>i</img><!-- c "
               "--><stop_on_fail>true</stop_on_fail>"
            << "2:0" << QVector<int>{} << noLoop;
        QTest::newRow("shared measure list")
            << "<differential_measure_initial/><comm/><differential_measure_final/>"
               "<is_comm_updated>1</is_comm_updated><stop_if_alarm>3</stop_if_alarm>"
            << "17:0 9:0 18:1 16:0 19:0" << QVector<int>{} << noLoop;
        const QString three = QStringLiteral("<mensaje/><img/><espera>1</espera>");
        QTest::newRow("loop over steps 4 to 6")
            << three + "<loop_start>2</loop_start>" + three + "<loop_stop/>"
            << "1:0 2:0 0:0 1:1 2:1 0:1" << QVector<int>{1, 1} << QVector<int>{2, 4, 6};
        QTest::newRow("loop count not an integer")
            << "<mensaje/><loop_start>dos</loop_start><mensaje/><loop_stop/>"
            << "1:0 1:1" << QVector<int>{} << QVector<int>{-1, -1, 2};
    }
    void stepOrder() {
        QFETCH(QString, body);
        const TestDefinition def = read(body);
        QFETCH(QString, steps);
        QFETCH(QVector<int>, espera);
        QFETCH(QVector<int>, loop);
        QCOMPARE(stepText(def), steps);
        QCOMPARE(def.espera, espera);
        QCOMPARE((QVector<int>{def.loopIterations, def.loopStart, def.loopStop}), loop);
    }

    void bitValues_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        QTest::newRow("true") << "true" << true;
        QTest::newRow("True") << "True" << false;
        QTest::newRow("0") << "0" << false;
    }
    void bitValues() {
        QFETCH(QString, text);
        QFETCH(bool, on);
        const QString dat = "<dat>" + text + "</dat>";
        const TestDefinition def =
            read("<ReadCoil>" + dat + "</ReadCoil><WriteSingleCoil>" + dat +
                 "</WriteSingleCoil><ReadDiscreteInput>" + dat + "</ReadDiscreteInput>");
        QCOMPARE(def.readCoils.at(0).dat, on);
        QCOMPARE(def.readDiscreteInputs.at(0).dat, on);
        QCOMPARE(def.writeCoils.at(0).dat, uint16_t(on ? 0xFF00 : 0));
    }

    void recordFields() {
        const TestDefinition def = read(
            "<ReadInputRegisters><nombre>V</nombre><dir>3</dir><dir>5</dir><mult>1.5</mult><min>-2.5</min>"
            "<max>1e3</max><interactivo>Si</interactivo><reintentos>x</reintentos></ReadInputRegisters>"
            "<ReadInputRegisters><mult>2</mult><interactivo>si</interactivo><dir>1</dir><min>0</min><max>0</"
            "max>"
            "</ReadInputRegisters>"
            "<differential_measure_initial><dir>2</dir><idx>4</idx><min>1</min><max>2</max>"
            "</differential_measure_initial>"
            "<comm><nombre>c</nombre><action>connect</action></comm>");
        const read_input_t &first = def.readInputs.at(0);
        QCOMPARE(first.nombre, QStringLiteral("V"));
        QCOMPARE(first.dir, 5);
        QCOMPARE(first.mult, 0.0f);
        QCOMPARE(first.min, -2.5f);
        QCOMPARE(first.max, 1000.0f);
        QCOMPARE(first.interactivo, false);
        QCOMPARE(def.readInputs.at(1).mult, 2.0f);
        QCOMPARE(def.readInputs.at(1).interactivo, true);
        QCOMPARE(def.diffMeasures.at(0).idx, 4);
        QCOMPARE(def.diffMeasures.at(0).min, 0.0f);
        QVERIFY(def.comm.at(0).connect);
    }

    void serialRule_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("numchar");
        QTest::addColumn<int>("numparts");
        QTest::addColumn<QChar>("separator");
        QTest::newRow("empty separator")
            << "<separator></separator><numchar>8</numchar><numparts>3</numparts>" << 8 << 3 << QChar(' ');
        QTest::newRow("first character")
            << "<separator>/-</separator><numchar>x</numchar>" << 9 << 2 << QChar('/');
    }
    void serialRule() {
        QFETCH(QString, body);
        TestDefinition def;
        def.serial = {9, 2, QLatin1Char('#')};
        xml_test_reader reader;
        QVERIFY(reader.readTestData(wrap("<serial_number>" + body + "</serial_number>"), def));
        QFETCH(int, numchar);
        QFETCH(int, numparts);
        QFETCH(QChar, separator);
        QCOMPARE(def.serial.numchar, numchar);
        QCOMPARE(def.serial.numparts, numparts);
        QCOMPARE(def.serial.separator, separator);
    }

    void configKeepsUnsetValues() {
        TestDefinition def;
        def.config = {"COM3", 300, "old", "log", true, true, false, 7};
        def.stopOnFail = true;
        xml_test_reader reader;
        QVERIFY(
            reader.readTestData(wrap("<config><title>new</title><cont_fails>many</cont_fails>"
                                     "<com_timeout>soon</com_timeout><result_log>True</result_log></config>"),
                                def));
        QCOMPARE(def.config.com_port, QStringLiteral("COM3"));
        QCOMPARE(def.config.title, QStringLiteral("new"));
        QCOMPARE(def.config.com_timeout, 0);
        QCOMPARE(def.config.cont_fails, 7);
        QCOMPARE(def.config.full_log, true);
        QCOMPARE(def.config.result_log, false);
        QCOMPARE(def.stopOnFail, true);
        QCOMPARE(reader.warnings().size(), 3);
    }

    void unreadableInput_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("line");
        QTest::newRow("malformed") << "<test>\n<mensaje>a</mensaje>\n<espera>1</test>" << 3;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("missing file") << QString() << 0;
    }
    void unreadableInput() {
        QFETCH(QString, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("t.xml");
        if (!content.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.toUtf8());
        }
        TestDefinition def = read("<mensaje>old</mensaje><loop_start>2</loop_start>");
        def.config.title = "kept";
        xml_test_reader reader;
        QVERIFY(!reader.readTestFile(path, def));
        QVERIFY(def.steps.isEmpty() && def.mensaje.isEmpty());
        QCOMPARE(def.loopStart, -1);
        QCOMPARE(def.config.title, QStringLiteral("kept"));
        QCOMPARE(reader.warnings().size(), 1);
        QFETCH(int, line);
        QCOMPARE(reader.warnings().at(0).line, line);
    }

    // What a file drops or falls back on is said; fields the engine does not need may be left out.
    void warnings_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("optional fields left out")
            << "<config><title>t</title></config><ReadInputRegisters><dir>1</dir><min>0</min><max>1</max>"
               "</ReadInputRegisters><differential_measure_initial><dir>1</dir><idx>0</idx>"
               "</differential_measure_initial><loop_start>2</loop_start><mensaje/><loop_stop/>"
            << QStringList{};
        QTest::newRow("unknown element")
            << "\n<mensaje/>\n<pausa>2</pausa>" << QStringList{"line 3: <pausa>: unknown element, skipped"};
        QTest::newRow("bad numbers")
            << "<ReadInputRegisters><dir>1</dir><mult>1.5</mult><min>nan</min><max>1</max><reintentos>x"
               "</reintentos></ReadInputRegisters>"
            << QStringList{"line 1: <mult>: \"1.5\" is not an integer, ignored",
                           "line 1: <min>: \"nan\" is not a number, ignored",
                           "line 1: <reintentos>: \"x\" is not an integer, ignored"};
        QTest::newRow("required fields missing")
            << "<serial_number><numchar>8</numchar><numparts>3</numparts></serial_number>"
               "<differential_measure_final><dir>1</dir><min>0</min></differential_measure_final>"
            << QStringList{"line 1: <serial_number>: missing <separator>, default used",
                           "line 1: <differential_measure_final>: missing <idx>, default used",
                           "line 1: <differential_measure_final>: missing <max>, default used"};
        QTest::newRow("second loop")
            << "<loop_start>2</loop_start><loop_stop/><loop_start>3</loop_start><loop_stop/>"
            << QStringList{
                   "line 1: <loop_start>: only one loop is possible, this one "
                   "replaces the earlier start",
                   "line 1: <loop_stop>: only one loop is possible, this one "
                   "replaces the earlier stop"};
    }
    void warnings() {
        QFETCH(QString, body);
        QFETCH(QStringList, warnings);
        ReadWarnings read;
        ::read(body, &read);
        QStringList said;
        for (const ReadWarning &w : read) {
            said << w.toString();
        }
        QCOMPARE(said, warnings);
    }

    void validation_data() {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("clean")
            << "<ReadInputRegisters><dir>9</dir><min>1</min><max>1</max></ReadInputRegisters>"
               "<ReadHoldingRegisters><dir>19</dir></ReadHoldingRegisters><ReadCoil/>"
               "<stop_if_alarm>-1</stop_if_alarm><serial_number/><WriteSingleCoil/>"
               "<differential_measure_initial><dir>9</dir></differential_measure_initial>"
            << QStringList{};
        QTest::newRow("no steps") << "<config/>" << QStringList{"the test has no steps"};
        QTest::newRow("no value")
            << "<mensaje/><espera>1.5</espera><is_comm_updated/><stop_if_alarm>a</stop_if_alarm>"
            << QStringList{"step 2 <espera>: has no value of its own (its text is not an integer)",
                           "step 3 <is_comm_updated>: has no value of its own (its text is not an "
                           "integer)",
                           "step 4 <stop_if_alarm>: has no value of its own (its text is not an "
                           "integer)"};
        QTest::newRow("positions")
            << "<ReadInputRegisters><dir>10</dir><min>2</min><max>1</max></ReadInputRegisters>"
               "<ReadHoldingRegisters><dir>-1</dir></ReadHoldingRegisters><stop_if_alarm>10</stop_if_alarm>"
               "<differential_measure_initial><dir>12</dir></differential_measure_initial>"
            << QStringList{
                   "step 1 <ReadInputRegisters>: dir 10 is outside the input registers (0 to 9)",
                   "step 1 <ReadInputRegisters>: min 2 is above max 1, the step can never pass",
                   "step 2 <ReadHoldingRegisters>: dir -1 is outside the holdings (0 to 19)",
                   "step 3 <stop_if_alarm>: alarm register 10 is outside the input registers (0 to 9)",
                   "step 4 <differential_measure_initial>: dir 12 is outside the input registers (0 to 9)"};
        QTest::newRow("writes")
            << "<WriteSingleRegister><dir>256</dir><dat>65536</dat></WriteSingleRegister>"
               "<WriteSingleRegister><dir>-1</dir><dat>-32768</dat></WriteSingleRegister>"
               "<WriteSingleCoil><add>248</add><dir>65536</dir></WriteSingleCoil><espera>-2</espera>"
            << QStringList{
                   "step 1 <WriteSingleRegister>: dir 256 is outside the holdings a test can write (0 to "
                   "255)",
                   "step 1 <WriteSingleRegister>: dat 65536 does not fit in a register (-32768 to 65535)",
                   "step 2 <WriteSingleRegister>: dir -1 is outside the holdings a test can write (0 to 255)",
                   "step 3 <WriteSingleCoil>: add 248 is outside the Modbus server addresses (0 to 247)",
                   "step 3 <WriteSingleCoil>: dir 65536 is outside the coils (0 to 65535)",
                   "step 4 <espera>: negative wait of -2 s"};
        QTest::newRow("measure order")
            << "<differential_measure_final><idx>1</idx></differential_measure_final>"
               "<differential_measure_initial><idx>1</idx></differential_measure_initial>"
               "<differential_measure_final><idx>1</idx></differential_measure_final>"
               "<differential_measure_initial><idx>1024</idx></differential_measure_initial>"
            << QStringList{
                   "step 1 <differential_measure_final>: idx 1 has no differential_measure_initial before it",
                   "step 4 <differential_measure_initial>: idx 1024 is outside the measurement slots (0 to "
                   "1023)"};
        QTest::newRow("loop start only")
            << "<loop_start>2</loop_start><mensaje/>" << QStringList{"loop_start without loop_stop"};
        QTest::newRow("loop stop only")
            << "<mensaje/><loop_stop/>" << QStringList{"loop_stop without loop_start"};
        QTest::newRow("loop reversed")
            << "<mensaje/><loop_stop/><mensaje/><loop_start>-1</loop_start>"
            << QStringList{"loop_stop comes before loop_start",
                           "loop_start asks for -1 iterations: 0 or 1 run the loop once, more repeat it"};
        QTest::newRow("loop of 0 runs once")
            << "<loop_start>0</loop_start><mensaje/><loop_stop/>" << QStringList{};
    }
    void validation() {
        QFETCH(QString, body);
        QFETCH(QStringList, messages);
        QCOMPARE(validateTestDefinition(read(body), 10, 20), messages);
    }

    void relativeTestFileIsLookedForInTheWorkingDirectoryFirst_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");  // relative to the temporary folder
        QTest::newRow("in both folders") << "both.xml"
                                         << "work/both.xml";
        QTest::newRow("beside the map only") << "map-only.xml"
                                             << "maps/map-only.xml";
        QTest::newRow("in neither") << "none.xml"
                                    << "work/none.xml";
        QTest::newRow("subfolder of the map") << "sub/t.xml"
                                              << "maps/sub/t.xml";
    }
    void relativeTestFileIsLookedForInTheWorkingDirectoryFirst() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *file : {"work/both.xml", "maps/both.xml", "maps/map-only.xml", "maps/sub/t.xml"}) {
            const QString path = dir.filePath(QLatin1String(file));
            dir.mkpath(QFileInfo(path).path());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QCOMPARE(resolveTestFile(name, dir.filePath(QStringLiteral("maps/map.xml")),
                                 dir.filePath(QStringLiteral("work"))),
                 dir.filePath(expected));
        QCOMPARE(resolveTestFile(dir.filePath(name), QString(), QString()), dir.filePath(name));  // absolute
    }

    void unknownKindIsReported() {
        TestDefinition def;
        def.steps = {{5, 0}};
        QCOMPARE(validateTestDefinition(def, 1, 1), QStringList{"step 1: unknown step kind 5"});
    }

    void exampleFile() {
        TestDefinition def;
        xml_test_reader reader;
        QVERIFY(reader.readTestFile(testpaths::example("production-test.xml"), def));
        QVERIFY2(reader.warnings().isEmpty(), qPrintable(reader.warnings().value(0).toString()));
        QSet<int> kinds;
        for (const test_step_t &s : def.steps) {
            kinds.insert(s.kind);
        }
        QCOMPARE(kinds, (QSet<int>{0, 1, 2, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
        QVERIFY(def.config.full_log && def.config.summary_log && def.config.result_log);
        QCOMPARE(def.config.cont_fails, 3);
        QCOMPARE(def.serial.numchar, 11);
        QCOMPARE(def.serial.numparts, 3);
        QCOMPARE(def.serial.separator, QChar('-'));
        QVERIFY(def.loopIterations > 1 && def.loopStart <= def.loopStop);
        QCOMPARE(validateTestDefinition(def, 40, 80), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestFileTest)
#include "tst_testfile.moc"
