#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "support/mvxctlrun.h"
#include "support/testpaths.h"

// The command-line companion as map authors and scripts use it: exit codes, JSON shape,
// the texts a table would show.
class TestMvxctl : public QObject {
    Q_OBJECT

    using Run = MvxctlRun;
    static Run mvxctl(const QStringList &args) { return runMvxctl(args); }

    static QJsonObject json(const Run &r) { return QJsonDocument::fromJson(r.out).object(); }

private slots:
    void checkMapJsonDescribesTheExampleMap() {
        const Run r = mvxctl({QStringLiteral("check-map"), testpaths::example(QStringLiteral("drive-map.xml")),
                              QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        for (const char *key : {"options", "blocks", "holdings", "aux_holdings", "input_registers", "ram_params",
                                "warnings"}) {
            QVERIFY2(o.contains(QLatin1String(key)), key);
        }
        QVERIFY(o.value(QStringLiteral("warnings")).toArray().isEmpty());
        const QJsonArray holdings = o.value(QStringLiteral("holdings")).toArray();
        QVERIFY(holdings.size() >= 60);
        // Normal holdings are consecutive from 0; aux holdings start at the identification block.
        for (int i = 0; i < holdings.size(); ++i) {
            QCOMPARE(holdings.at(i).toObject().value(QStringLiteral("add")).toInt(), i);
        }
        const QJsonArray aux = o.value(QStringLiteral("aux_holdings")).toArray();
        QVERIFY(!aux.isEmpty());
        QCOMPARE(aux.first().toObject().value(QStringLiteral("add")).toInt(), 1000);
        const QJsonObject first = holdings.first().toObject();
        for (const char *key : {"add", "text", "name", "def", "min", "max", "vis_type", "multiplier", "unit", "help",
                                "hidden", "level", "items"}) {
            QVERIFY2(first.contains(QLatin1String(key)), key);
        }
        const QJsonObject input = o.value(QStringLiteral("input_registers")).toArray().first().toObject();
        for (const char *key : {"bg_r", "bg_g", "bg_b", "items", "multiplier", "unit"}) {
            QVERIFY2(input.contains(QLatin1String(key)), key);
        }
    }

    void checkMapReportsWhatItDrops() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("map.xml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<modbusmap>\n"
                "<block name=\"B\" query=\"auto\" type=\"t\" start=\"0\" end=\"1\">\n"
                "  <h add=\"0\"><text>Good</text><multiplier>0.1</multiplier></h>\n"
                "  <h add=\"1\"><text>Bad</text><min>low</min></h>\n"
                "</block>\n"
                "</modbusmap>\n");
        f.close();
        const Run r = mvxctl({QStringLiteral("check-map"), path, QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        const QJsonArray holdings = o.value(QStringLiteral("holdings")).toArray();
        QCOMPARE(holdings.size(), 1);
        QCOMPARE(holdings.first().toObject().value(QStringLiteral("multiplier")).toDouble(), 0.1);
        const QJsonArray warnings = o.value(QStringLiteral("warnings")).toArray();
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().toObject().value(QStringLiteral("line")).toInt(), 4);

        const Run text = mvxctl({QStringLiteral("check-map"), path});
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.out.contains("warnings (1)"));
    }

    void missingFilesExitOneWithAMessage_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("map") << QStringLiteral("check-map");
        QTest::newRow("test") << QStringLiteral("check-test");
    }
    void missingFilesExitOneWithAMessage() {
        QFETCH(QString, command);
        const Run r = mvxctl({command, QStringLiteral("/nonexistent/file.xml")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("/nonexistent/file.xml"));
        QVERIFY(r.out.isEmpty());
    }

    void checkTestJsonListsStepsAndRecords() {
        const Run r = mvxctl({QStringLiteral("check-test"),
                              testpaths::example(QStringLiteral("production-test.xml")), QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        const QJsonArray steps = o.value(QStringLiteral("steps")).toArray();
        QVERIFY(!steps.isEmpty());
        QCOMPARE(steps.first().toArray().size(), 2);
        for (const char *key : {"loop", "config", "serial", "espera", "mensaje", "ReadInputRegisters",
                                "WriteSingleRegister", "warnings"}) {
            QVERIFY2(o.contains(QLatin1String(key)), key);
        }
        QCOMPARE(o.value(QStringLiteral("serial")).toObject().value(QStringLiteral("separator")).toString(),
                 QStringLiteral("-"));
        QVERIFY(o.value(QStringLiteral("loop")).toObject().value(QStringLiteral("iterations")).toInt() >= 1);
    }

    void malformedTestFileIsNotRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.xml"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<test><espera>1</espera>");
        f.close();
        const Run r = mvxctl({QStringLiteral("check-test"), path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.err.isEmpty());
    }

    void formatShowsWhatTheTablesShow_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("float") << QStringList{"--vis", "float", "--mul", "0.1", "0xFFF6"} << "-1.0\t-1\n";
        QTest::newRow("ufloat") << QStringList{"--vis", "ufloat", "--mul", "0.1", "65526"} << "6552.6\t6552.6\n";
        QTest::newRow("hex") << QStringList{"--vis", "hex", "--mul", "1", "255", "0xABCD"}
                             << "0x00FF\t255\n0xABCD\t43981\n";
        QTest::newRow("bin") << QStringList{"--vis", "bin", "--mul", "1", "5"} << "101\t5\n";
        QTest::newRow("float32 pair") << QStringList{"--vis", "float32H", "--mul", "1", "0", "0x3F80"}
                                      << "1.000\t1\n";
        QTest::newRow("uint32 pair") << QStringList{"--vis", "uint32H", "--mul", "1", "1", "1"} << "65537\t65537\n";
    }
    void formatShowsWhatTheTablesShow() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const Run r = mvxctl(QStringList{QStringLiteral("format")} + args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out), expected);
    }

    void commandHelpExitsZero_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("read --help") << QStringList{"read", "--help"} << "usage: mvxctl read --port P";
        QTest::newRow("flash -h among options") << QStringList{"flash", "--port", "x", "-h"} << "usage: mvxctl flash";
        QTest::newRow("version") << QStringList{"--version"} << "mvxctl 0.1.0\n";
        QTest::newRow("exit codes in the usage") << QStringList{"--help"} << "exit codes:\n  0  done";
    }
    void commandHelpExitsZero() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        const Run r = mvxctl(args);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(QString::fromUtf8(r.out).contains(expected), r.out.constData());
    }

    void formatRefusesWordsThatDoNotFit() {
        const Run r = mvxctl({QStringLiteral("format"), QStringLiteral("--vis"), QStringLiteral("hex"),
                              QStringLiteral("--mul"), QStringLiteral("1"), QStringLiteral("70000")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("70000"));
    }
};

QTEST_GUILESS_MAIN(TestMvxctl)
#include "tst_mvxctl.moc"
