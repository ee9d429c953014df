#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "support/testpaths.h"
#include "support/teststepform.h"
#include "test/test_validation.h"
#include "test/testfilepath.h"
#include "test/xml_test_reader.h"

// Fails naming the case and showing both texts when they differ.
#define COMPARE_CASE(name, actual, expected) \
    QVERIFY2((actual) == (expected),         \
             qPrintable(QStringLiteral("%1:\n   actual   %2\n   expected %3").arg(name, actual, expected)))

namespace {

// A test file from a short form (see testform::stepsXml).
QByteArray xml(const QString &form) {
    return "<test>" + testform::stepsXml(form) + "</test>";
}

// The definition read from `form`; `warnings` gets what the reader said, joined by '|'.
TestDefinition read(const QString &form, QString *warnings = nullptr) {
    TestDefinition def;
    xml_test_reader reader;
    if (!reader.readTestData(xml(form), def)) {
        qWarning("test XML did not parse");
    }
    QString ignored, &said = warnings ? *warnings : ignored;
    for (const ReadWarning &w : reader.warnings()) {
        said += (said.isEmpty() ? "" : "|") + w.toString();
    }
    return def;
}

QString outline(const TestDefinition &def) {
    QStringList steps, espera;
    for (const test_step_t &s : def.steps) {
        steps << QStringLiteral("%1:%2").arg(s.kind).arg(s.index);
    }
    for (int seconds : def.espera) {
        espera << QString::number(seconds);
    }
    const QVector<int> loop{def.loopIterations, def.loopStart, def.loopStop};
    return steps.join(' ') + " / " + espera.join(' ') +
           QStringLiteral(" / %1 %2 %3").arg(loop[0]).arg(loop[1]).arg(loop[2]);
}

}  // namespace

class TestFileTest : public QObject {
    Q_OBJECT
  private slots:
    // What is read from a file, one of: its "steps" ("kind:index ... / espera values / loop
    // iterations start stop"), what the reader "said" it dropped or fell back on (fields the engine
    // does not need may be left out), the "problems" validation finds with 10 inputs, 20 holdings.
    void reading() {
        const struct {
            const char *name, *form, *expected;
        } cases[] = {
            {"alternating", "mensaje=a;espera=5;mensaje=b;espera=7",
             "steps: 1:0 0:0 1:1 0:1 / 5 7 / -1 -1 -1"},
            {"two serial numbers", "serial_number;<mensaje/>;serial_number",
             "steps: 20:0 1:0 20:0 /  / -1 -1 -1"},
            {"bad espera listed without value", "espera=x;espera=4", "steps: 0:0 0:0 / 4 / -1 -1 -1"},
            {"ignored and unknown tags", "max_com_fails=2;pausa=3;img=i;<!-- c -->;stop_on_fail=true",
             "steps: 2:0 /  / -1 -1 -1"},
            {"shared measure list",
             "differential_measure_initial;comm;differential_measure_final;is_comm_updated=1;stop_if_alarm=3",
             "steps: 17:0 9:0 18:1 16:0 19:0 /  / -1 -1 -1"},
            {"loop over steps 4 to 6", "mensaje;img;espera=1;loop_start=2;mensaje;img;espera=1;loop_stop",
             "steps: 1:0 2:0 0:0 1:1 2:1 0:1 / 1 1 / 2 4 6"},
            {"loop count not an integer", "mensaje;loop_start=dos;mensaje;loop_stop",
             "steps: 1:0 1:1 /  / -1 -1 2"},
            {"optional fields left out",
             "config title=t;ReadInputRegisters dir=1 min=0 max=1;differential_measure_initial dir=1 "
             "idx=0;loop_start=2;mensaje;loop_stop",
             "said: "},
            {"unknown element", "\n<mensaje/>\n<pausa>2</pausa>",
             "said: line 3: <pausa>: unknown element, skipped"},
            {"bad numbers", "ReadInputRegisters dir=1 mult=1.5 min=nan max=1 reintentos=x",
             "said: line 1: <mult>: \"1.5\" is not an integer, ignored|line 1: <min>: \"nan\" is not a "
             "number, ignored|line 1: <reintentos>: \"x\" is not an integer, ignored"},
            {"required fields missing",
             "serial_number numchar=8 numparts=3;differential_measure_final dir=1 min=0",
             "said: line 1: <serial_number>: missing <separator>, default used|line 1: "
             "<differential_measure_final>: missing <idx>, default used|line 1: "
             "<differential_measure_final>: missing <max>, default used"},
            {"second loop", "loop_start=2;loop_stop;loop_start=3;loop_stop",
             "said: line 1: <loop_start>: only one loop is possible, this one replaces the earlier "
             "start|line 1: <loop_stop>: only one loop is possible, this one replaces the earlier stop"},
            {"clean",
             "ReadInputRegisters dir=9 min=1 max=1;ReadHoldingRegisters "
             "dir=19;ReadCoil;stop_if_alarm=-1;serial_number;WriteSingleCoil;differential_measure_initial "
             "dir=9",
             "problems: "},
            {"no steps", "config", "problems: the test has no steps"},
            {"no value", "mensaje;espera=1.5;is_comm_updated;stop_if_alarm=a",
             "problems: step 2 <espera>: has no value of its own (its text is not an integer)|step 3 "
             "<is_comm_updated>: has no value of its own (its text is not an integer)|step 4 "
             "<stop_if_alarm>: has no value of its own (its text is not an integer)"},
            {"positions",
             "ReadInputRegisters dir=10 min=2 max=1;ReadHoldingRegisters "
             "dir=-1;stop_if_alarm=10;differential_measure_initial dir=12",
             "problems: step 1 <ReadInputRegisters>: dir 10 is outside the input registers (0 to 9)|step 1 "
             "<ReadInputRegisters>: min 2 is above max 1, the step can never pass|step 2 "
             "<ReadHoldingRegisters>: dir -1 is outside the holdings (0 to 19)|step 3 <stop_if_alarm>: alarm "
             "register 10 is outside the input registers (0 to 9)|step 4 <differential_measure_initial>: dir "
             "12 is outside the input registers (0 to 9)"},
            {"writes",
             "WriteSingleRegister dir=256 dat=65536;WriteSingleRegister dir=-1 dat=-32768;WriteSingleCoil "
             "add=248 dir=65536;espera=-2",
             "problems: step 1 <WriteSingleRegister>: dir 256 is outside the holdings a test can write (0 to "
             "255)|step 1 <WriteSingleRegister>: dat 65536 does not fit in a register (-32768 to 65535)|step "
             "2 <WriteSingleRegister>: dir -1 is outside the holdings a test can write (0 to 255)|step 3 "
             "<WriteSingleCoil>: add 248 is outside the Modbus server addresses (0 to 247)|step 3 "
             "<WriteSingleCoil>: dir 65536 is outside the coils (0 to 65535)|step 4 <espera>: negative wait "
             "of -2 s"},
            {"measure order",
             "differential_measure_final idx=1;differential_measure_initial idx=1;differential_measure_final "
             "idx=1;differential_measure_initial idx=1024",
             "problems: step 1 <differential_measure_final>: idx 1 has no differential_measure_initial "
             "before it|step 4 <differential_measure_initial>: idx 1024 is outside the measurement slots (0 "
             "to 1023)"},
            {"loop start only", "loop_start=2;mensaje", "problems: loop_start without loop_stop"},
            {"loop stop only", "mensaje;loop_stop", "problems: loop_stop without loop_start"},
            {"loop reversed", "mensaje;loop_stop;mensaje;loop_start=-1",
             "problems: loop_stop comes before loop_start|loop_start asks for -1 iterations: 0 or 1 run the "
             "loop once, more repeat it"},
            {"loop of 0 runs once", "loop_start=0;mensaje;loop_stop", "problems: "},
        };
        for (const auto &c : cases) {
            QString said;
            const TestDefinition def = read(c.form, &said);
            const QHash<QString, QString> got{{"steps", outline(def)},
                                              {"said", said},
                                              {"problems", validateTestDefinition(def, 10, 20).join('|')}};
            const QString kind = QString(c.expected).section(": ", 0, 0);
            COMPARE_CASE(c.name, kind + ": " + got.value(kind), QString(c.expected));
        }
        TestDefinition unknown;
        unknown.steps = {{5, 0}};
        QCOMPARE(validateTestDefinition(unknown, 1, 1), QStringList{"step 1: unknown step kind 5"});
    }

    // What each field holds; settings a file leaves out keep the values already there.
    void fieldValues() {
        for (const auto &[text, on] : {std::pair{"1", true}, {"true", true}, {"True", false}, {"0", false}}) {
            const TestDefinition def = read(
                QStringLiteral("ReadCoil dat=%1;WriteSingleCoil dat=%1;ReadDiscreteInput dat=%1").arg(text));
            QVERIFY2(def.readCoils.at(0).dat == on && def.readDiscreteInputs.at(0).dat == on, text);
            QCOMPARE(def.writeCoils.at(0).dat, uint16_t(on ? 0xFF00 : 0));
        }
        const TestDefinition fields = read(
            "ReadInputRegisters nombre=V dir=3 dir=5 mult=1.5 min=-2.5 max=1e3 interactivo=Si "
            "reintentos=x;ReadInputRegisters mult=2 interactivo=si dir=1 min=0 "
            "max=0;differential_measure_initial dir=2 idx=4 min=1 max=2;comm nombre=c action=connect");
        const read_input_t &first = fields.readInputs.at(0), &second = fields.readInputs.at(1);
        QCOMPARE(
            (QVector<float>{float(first.dir), first.mult, first.min, first.max, float(first.interactivo)}),
            (QVector<float>{5, 0, -2.5, 1000, 0}));
        QVERIFY(first.nombre == "V" && second.mult == 2.0f && second.interactivo &&
                fields.comm.at(0).connect);
        QVERIFY(fields.diffMeasures.at(0).idx == 4 && fields.diffMeasures.at(0).min == 0.0f);
        for (const auto &[form, rule] : {std::pair{"serial_number separator= numchar=8 numparts=3", "8 3  "},
                                         {"serial_number separator=/- numchar=x", "9 2 /"}}) {
            TestDefinition def;
            def.serial = {9, 2, QLatin1Char('#')};
            QVERIFY(xml_test_reader().readTestData(xml(form), def));
            const SerialRule &r = def.serial;
            COMPARE_CASE(form, QStringLiteral("%1 %2 %3").arg(r.numchar).arg(r.numparts).arg(r.separator),
                         QString(rule));
        }
        TestDefinition def;
        def.config = {"COM3", 300, "old", "log", true, true, false, 7};
        def.stopOnFail = true;
        xml_test_reader reader;
        QVERIFY(reader.readTestData(xml("config title=new cont_fails=many com_timeout=soon result_log=True"),
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
            QFile file(dir.filePath("t.xml"));
            QVERIFY(!content || (file.open(QIODevice::WriteOnly) && file.write(content) >= 0));
            file.close();
            TestDefinition def = read("mensaje=old;loop_start=2");
            def.config.title = "kept";
            xml_test_reader reader;
            QVERIFY2(!reader.readTestFile(file.fileName(), def), content);
            QVERIFY(def.steps.isEmpty() && def.mensaje.isEmpty() && def.loopStart == -1);
            QCOMPARE(def.config.title, QStringLiteral("kept"));
            QCOMPARE(reader.warnings().size(), 1);
            QCOMPARE(reader.warnings().at(0).line, line);
        }
    }

    void relativeTestFileIsLookedForInTheWorkingDirectoryFirst() {
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *file : {"work/both.xml", "maps/both.xml", "maps/map-only.xml", "maps/sub/t.xml"}) {
            QFile f(dir.filePath(file));
            QVERIFY(dir.mkpath(QFileInfo(f).path()) && f.open(QIODevice::WriteOnly));
        }
        // In both folders, beside the map only, in neither, below the map.
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
        const TestConfig &c = def.config;
        QCOMPARE((QVector<int>{c.full_log, c.summary_log, c.result_log, c.cont_fails, def.serial.numchar,
                               def.serial.numparts, def.serial.separator.unicode(), def.loopIterations > 1}),
                 (QVector<int>{true, true, true, 3, 11, 3, '-', true}));
        QCOMPARE(validateTestDefinition(def, 40, 80), QStringList{});
    }
};

QTEST_GUILESS_MAIN(TestFileTest)
#include "tst_testfile.moc"
