#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "support/testpaths.h"
#include "test/test_validation.h"
#include "test/testfilepath.h"
#include "test/xml_test_reader.h"

// Fails naming the case and showing both texts when they differ.
#define COMPARE_CASE(name, actual, expected) \
    QVERIFY2((actual) == (expected),         \
             qPrintable(QStringLiteral("%1:\n   actual   %2\n   expected %3").arg(name, actual, expected)))

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

// "kind:index ... / espera values / loop iterations start stop"
QString outline(const TestDefinition &def) {
    QStringList steps, espera;
    for (const test_step_t &s : def.steps) {
        steps << QStringLiteral("%1:%2").arg(s.kind).arg(s.index);
    }
    for (int seconds : def.espera) {
        espera << QString::number(seconds);
    }
    return QStringLiteral("%1 / %2 / %3 %4 %5")
        .arg(steps.join(' '), espera.join(' '))
        .arg(def.loopIterations)
        .arg(def.loopStart)
        .arg(def.loopStop);
}

}  // namespace

class TestFileTest : public QObject {
    Q_OBJECT
  private slots:
    void stepOrder() {
        const QString three = QStringLiteral("<mensaje/><img/><espera>1</espera>");
        const struct {
            const char *name;
            QString body;
            QString outline;
        } cases[] = {
            {"alternating", "<mensaje>a</mensaje><espera>5</espera><mensaje>b</mensaje><espera>7</espera>",
             "1:0 0:0 1:1 0:1 / 5 7 / -1 -1 -1"},
            {"two serial numbers", "<serial_number/><mensaje/><serial_number/>",
             "20:0 1:0 20:0 /  / -1 -1 -1"},
            {"bad espera listed without value", "<espera>x</espera><espera>4</espera>",
             "0:0 0:0 / 4 / -1 -1 -1"},
            {"ignored and unknown tags",
             "<max_com_fails>2</max_com_fails><pausa>3</pausa><img>i</img><!-- c "
             "--><stop_on_fail>true</stop_on_fail>",
             "2:0 /  / -1 -1 -1"},
            {"shared measure list",
             "<differential_measure_initial/><comm/><differential_measure_final/><is_comm_updated>1</"
             "is_comm_updated>"
             "<stop_if_alarm>3</stop_if_alarm>",
             "17:0 9:0 18:1 16:0 19:0 /  / -1 -1 -1"},
            {"loop over steps 4 to 6", three + "<loop_start>2</loop_start>" + three + "<loop_stop/>",
             "1:0 2:0 0:0 1:1 2:1 0:1 / 1 1 / 2 4 6"},
            {"loop count not an integer", "<mensaje/><loop_start>dos</loop_start><mensaje/><loop_stop/>",
             "1:0 1:1 /  / -1 -1 2"},
        };
        for (const auto &c : cases) {
            COMPARE_CASE(c.name, outline(read(c.body)), c.outline);
        }
    }

    void fieldValues() {
        for (const auto &[text, on] : {std::pair{"1", true}, {"true", true}, {"True", false}, {"0", false}}) {
            const QString dat = QStringLiteral("<dat>%1</dat>").arg(text);
            const TestDefinition def =
                read("<ReadCoil>" + dat + "</ReadCoil><WriteSingleCoil>" + dat +
                     "</WriteSingleCoil><ReadDiscreteInput>" + dat + "</ReadDiscreteInput>");
            QVERIFY2(def.readCoils.at(0).dat == on && def.readDiscreteInputs.at(0).dat == on, text);
            QCOMPARE(def.writeCoils.at(0).dat, uint16_t(on ? 0xFF00 : 0));
        }
        const TestDefinition def = read(
            "<ReadInputRegisters><nombre>V</nombre><dir>3</dir><dir>5</dir><mult>1.5</mult><min>-2.5</min>"
            "<max>1e3</max><interactivo>Si</interactivo><reintentos>x</reintentos></ReadInputRegisters>"
            "<ReadInputRegisters><mult>2</mult><interactivo>si</interactivo><dir>1</dir><min>0</min><max>0</"
            "max>"
            "</ReadInputRegisters><differential_measure_initial><dir>2</dir><idx>4</idx><min>1</min><max>2</"
            "max>"
            "</differential_measure_initial><comm><nombre>c</nombre><action>connect</action></comm>");
        const read_input_t &first = def.readInputs.at(0), &second = def.readInputs.at(1);
        QCOMPARE(
            (QVector<float>{float(first.dir), first.mult, first.min, first.max, float(first.interactivo)}),
            (QVector<float>{5, 0, -2.5, 1000, 0}));
        QVERIFY(first.nombre == "V" && second.mult == 2.0f && second.interactivo && def.comm.at(0).connect);
        QVERIFY(def.diffMeasures.at(0).idx == 4 && def.diffMeasures.at(0).min == 0.0f);
    }

    // Settings a file leaves out keep the values already there.
    void unsetValuesAreKept() {
        for (const auto &[body, rule] :
             {std::pair{"<separator></separator><numchar>8</numchar><numparts>3</numparts>", "8 3  "},
              {"<separator>/-</separator><numchar>x</numchar>", "9 2 /"}}) {
            TestDefinition def;
            def.serial = {9, 2, QLatin1Char('#')};
            QVERIFY(xml_test_reader().readTestData(
                wrap(QStringLiteral("<serial_number>%1</serial_number>").arg(body)), def));
            COMPARE_CASE(body,
                         QStringLiteral("%1 %2 %3")
                             .arg(def.serial.numchar)
                             .arg(def.serial.numparts)
                             .arg(def.serial.separator),
                         QString(rule));
        }
        TestDefinition def;
        def.config = {"COM3", 300, "old", "log", true, true, false, 7};
        def.stopOnFail = true;
        xml_test_reader reader;
        QVERIFY(
            reader.readTestData(wrap("<config><title>new</title><cont_fails>many</cont_fails>"
                                     "<com_timeout>soon</com_timeout><result_log>True</result_log></config>"),
                                def));
        QCOMPARE(def.config.com_port + def.config.title, QStringLiteral("COM3new"));
        QCOMPARE((QVector<int>{def.config.com_timeout, def.config.cont_fails, def.config.full_log,
                               def.config.result_log, def.stopOnFail, int(reader.warnings().size())}),
                 (QVector<int>{0, 7, true, false, true, 3}));
    }

    void unreadableInput() {
        for (const auto &[content, line] :
             {std::pair{"<test>\n<mensaje>a</mensaje>\n<espera>1</test>", 3}, {"", 1}, {nullptr, 0}}) {
            QTemporaryDir dir;
            const QString path = dir.filePath("t.xml");
            QFile file(path);
            QVERIFY(!content || (file.open(QIODevice::WriteOnly) && file.write(content) >= 0));
            file.close();
            TestDefinition def = read("<mensaje>old</mensaje><loop_start>2</loop_start>");
            def.config.title = "kept";
            xml_test_reader reader;
            QVERIFY2(!reader.readTestFile(path, def), content);
            QVERIFY(def.steps.isEmpty() && def.mensaje.isEmpty() && def.loopStart == -1);
            QCOMPARE(def.config.title, QStringLiteral("kept"));
            QCOMPARE(reader.warnings().size(), 1);
            QCOMPARE(reader.warnings().at(0).line, line);
        }
    }

    // What a file drops or falls back on is said; fields the engine does not need may be left out.
    void warnings() {
        const struct {
            const char *name;
            const char *body;
            const char *warnings;  // joined by '|'
        } cases[] = {
            {"optional fields left out",
             "<config><title>t</title></config><ReadInputRegisters><dir>1</dir><min>0</min><max>1</max>"
             "</ReadInputRegisters><differential_measure_initial><dir>1</dir><idx>0</idx>"
             "</differential_measure_initial><loop_start>2</loop_start><mensaje/><loop_stop/>",
             ""},
            {"unknown element", "\n<mensaje/>\n<pausa>2</pausa>",
             "line 3: <pausa>: unknown element, skipped"},
            {"bad numbers",
             "<ReadInputRegisters><dir>1</dir><mult>1.5</mult><min>nan</min><max>1</max><reintentos>x"
             "</reintentos></ReadInputRegisters>",
             "line 1: <mult>: \"1.5\" is not an integer, ignored|line 1: <min>: \"nan\" is not a number, "
             "ignored|line 1: <reintentos>: \"x\" is not an integer, ignored"},
            {"required fields missing",
             "<serial_number><numchar>8</numchar><numparts>3</numparts></serial_number>"
             "<differential_measure_final><dir>1</dir><min>0</min></differential_measure_final>",
             "line 1: <serial_number>: missing <separator>, default used|line 1: "
             "<differential_measure_final>: "
             "missing <idx>, default used|line 1: <differential_measure_final>: missing <max>, default used"},
            {"second loop", "<loop_start>2</loop_start><loop_stop/><loop_start>3</loop_start><loop_stop/>",
             "line 1: <loop_start>: only one loop is possible, this one replaces the earlier start|line 1: "
             "<loop_stop>: only one loop is possible, this one replaces the earlier stop"},
        };
        for (const auto &c : cases) {
            ReadWarnings warnings;
            read(c.body, &warnings);
            QStringList said;
            for (const ReadWarning &w : warnings) {
                said << w.toString();
            }
            COMPARE_CASE(c.name, said.join('|'), QString(c.warnings));
        }
    }

    void validation() {
        const struct {
            const char *name;
            const char *body;
            const char *messages;  // joined by '|'
        } cases[] = {
            {"clean",
             "<ReadInputRegisters><dir>9</dir><min>1</min><max>1</max></"
             "ReadInputRegisters><ReadHoldingRegisters>"
             "<dir>19</dir></ReadHoldingRegisters><ReadCoil/><stop_if_alarm>-1</stop_if_alarm><serial_number/"
             ">"
             "<WriteSingleCoil/><differential_measure_initial><dir>9</dir></differential_measure_initial>",
             ""},
            {"no steps", "<config/>", "the test has no steps"},
            {"no value", "<mensaje/><espera>1.5</espera><is_comm_updated/><stop_if_alarm>a</stop_if_alarm>",
             "step 2 <espera>: has no value of its own (its text is not an integer)|step 3 "
             "<is_comm_updated>: has "
             "no value of its own (its text is not an integer)|step 4 <stop_if_alarm>: has no value of its "
             "own "
             "(its text is not an integer)"},
            {"positions",
             "<ReadInputRegisters><dir>10</dir><min>2</min><max>1</max></"
             "ReadInputRegisters><ReadHoldingRegisters>"
             "<dir>-1</dir></ReadHoldingRegisters><stop_if_alarm>10</"
             "stop_if_alarm><differential_measure_initial>"
             "<dir>12</dir></differential_measure_initial>",
             "step 1 <ReadInputRegisters>: dir 10 is outside the input registers (0 to 9)|step 1 "
             "<ReadInputRegisters>: min 2 is above max 1, the step can never pass|step 2 "
             "<ReadHoldingRegisters>: "
             "dir -1 is outside the holdings (0 to 19)|step 3 <stop_if_alarm>: alarm register 10 is outside "
             "the "
             "input registers (0 to 9)|step 4 <differential_measure_initial>: dir 12 is outside the input "
             "registers (0 to 9)"},
            {"writes",
             "<WriteSingleRegister><dir>256</dir><dat>65536</dat></WriteSingleRegister><WriteSingleRegister>"
             "<dir>-1</dir><dat>-32768</dat></WriteSingleRegister><WriteSingleCoil><add>248</add><dir>65536</"
             "dir>"
             "</WriteSingleCoil><espera>-2</espera>",
             "step 1 <WriteSingleRegister>: dir 256 is outside the holdings a test can write (0 to 255)|step "
             "1 "
             "<WriteSingleRegister>: dat 65536 does not fit in a register (-32768 to 65535)|step 2 "
             "<WriteSingleRegister>: dir -1 is outside the holdings a test can write (0 to 255)|step 3 "
             "<WriteSingleCoil>: add 248 is outside the Modbus server addresses (0 to 247)|step 3 "
             "<WriteSingleCoil>: dir 65536 is outside the coils (0 to 65535)|step 4 <espera>: negative wait "
             "of -2 s"},
            {"measure order",
             "<differential_measure_final><idx>1</idx></"
             "differential_measure_final><differential_measure_initial>"
             "<idx>1</idx></differential_measure_initial><differential_measure_final><idx>1</idx>"
             "</differential_measure_final><differential_measure_initial><idx>1024</idx>"
             "</differential_measure_initial>",
             "step 1 <differential_measure_final>: idx 1 has no differential_measure_initial before it|step "
             "4 "
             "<differential_measure_initial>: idx 1024 is outside the measurement slots (0 to 1023)"},
            {"loop start only", "<loop_start>2</loop_start><mensaje/>", "loop_start without loop_stop"},
            {"loop stop only", "<mensaje/><loop_stop/>", "loop_stop without loop_start"},
            {"loop reversed", "<mensaje/><loop_stop/><mensaje/><loop_start>-1</loop_start>",
             "loop_stop comes before loop_start|loop_start asks for -1 iterations: 0 or 1 run the loop once, "
             "more "
             "repeat it"},
            {"loop of 0 runs once", "<loop_start>0</loop_start><mensaje/><loop_stop/>", ""},
        };
        for (const auto &c : cases) {
            COMPARE_CASE(c.name, validateTestDefinition(read(c.body), 10, 20).join('|'), QString(c.messages));
        }
        TestDefinition unknown;
        unknown.steps = {{5, 0}};
        QCOMPARE(validateTestDefinition(unknown, 1, 1), QStringList{"step 1: unknown step kind 5"});
    }

    void relativeTestFileIsLookedForInTheWorkingDirectoryFirst() {
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *file : {"work/both.xml", "maps/both.xml", "maps/map-only.xml", "maps/sub/t.xml"}) {
            const QString path = dir.filePath(QLatin1String(file));
            dir.mkpath(QFileInfo(path).path());
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        // name, where it is taken from: in both folders, beside the map only, in neither, below the map
        for (const auto &[name, expected] : {std::pair{"both.xml", "work/both.xml"},
                                             {"map-only.xml", "maps/map-only.xml"},
                                             {"none.xml", "work/none.xml"},
                                             {"sub/t.xml", "maps/sub/t.xml"}}) {
            QCOMPARE(resolveTestFile(name, dir.filePath("maps/map.xml"), dir.filePath("work")),
                     dir.filePath(expected));
            QCOMPARE(resolveTestFile(dir.filePath(name), QString(), QString()),
                     dir.filePath(name));  // absolute
        }
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
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(def.config.cont_fails)
                     .arg(def.serial.numchar)
                     .arg(def.serial.numparts)
                     .arg(def.serial.separator),
                 QStringLiteral("3 11 3 -"));
        QVERIFY(def.loopIterations > 1 && def.loopStart <= def.loopStop);
        QCOMPARE(validateTestDefinition(def, 40, 80), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestFileTest)
#include "tst_testfile.moc"
