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

    QTemporaryDir m_dir;

  private slots:
    void initTestCase() {
        QFile map(m_dir.filePath(QStringLiteral("map.xml")));
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write(
            "<modbusmap>\n"
            "<block name=\"B\" query=\"auto\" type=\"t\" start=\"0\" end=\"1\">\n"
            "  <h add=\"0\"><text>Good</text><multiplier>0.1</multiplier></h>\n"
            "  <h add=\"1\"><text>Bad</text><min>low</min></h>\n"
            "</block>\n"
            "</modbusmap>\n");
        QFile test(m_dir.filePath(QStringLiteral("t.xml")));
        QVERIFY(test.open(QIODevice::WriteOnly));
        test.write("<test><espera>1</espera>");
    }

    void checkMapJsonDescribesTheExampleMap() {
        const Run r = mvxctl({"check-map", testpaths::example("drive-map.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        for (const char *key :
             {"options", "blocks", "holdings", "aux_holdings", "input_registers", "ram_params", "warnings"}) {
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
        for (const char *key : {"add", "text", "name", "def", "min", "max", "vis_type", "multiplier", "unit",
                                "help", "hidden", "level", "items"}) {
            QVERIFY2(first.contains(QLatin1String(key)), key);
        }
        const QJsonObject input = o.value(QStringLiteral("input_registers")).toArray().first().toObject();
        for (const char *key : {"bg_r", "bg_g", "bg_b", "items", "multiplier", "unit"}) {
            QVERIFY2(input.contains(QLatin1String(key)), key);
        }
    }

    void checkMapReportsWhatItDrops() {
        const Run r = mvxctl({"check-map", m_dir.filePath("map.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        const QJsonArray holdings = o.value(QStringLiteral("holdings")).toArray();
        QCOMPARE(holdings.size(), 1);
        QCOMPARE(holdings.first().toObject().value(QStringLiteral("multiplier")).toDouble(), 0.1);
        const QJsonArray warnings = o.value(QStringLiteral("warnings")).toArray();
        QCOMPARE(warnings.size(), 1);
        QCOMPARE(warnings.first().toObject().value(QStringLiteral("line")).toInt(), 4);
    }

    void checkTestJsonListsStepsAndRecords() {
        const Run r = mvxctl({"check-test", testpaths::example("production-test.xml"), "--json"});
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

    // Exit code, and what stdout holds (the whole of it when `whole`) or stderr contains.
    void exitCodesAndTexts_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QString>("err");
        const QString missing = QStringLiteral("/nonexistent/file.xml");
        QTest::newRow("missing map") << QStringList{"check-map", missing} << 1 << "" << true << missing;
        QTest::newRow("missing test") << QStringList{"check-test", missing} << 1 << "" << true << missing;
        QTest::newRow("malformed test")
            << QStringList{"check-test", m_dir.filePath("t.xml")} << 1 << "" << true << "t.xml";
        QTest::newRow("map warnings as text")
            << QStringList{"check-map", m_dir.filePath("map.xml")} << 0 << "warnings (1)" << false << "";
        QTest::newRow("float") << QStringList{"format", "--vis", "float", "--mul", "0.1", "0xFFF6"} << 0
                               << "-1.0\t-1\n"
                               << true << "";
        QTest::newRow("ufloat") << QStringList{"format", "--vis", "ufloat", "--mul", "0.1", "65526"} << 0
                                << "6552.6\t6552.6\n"
                                << true << "";
        QTest::newRow("hex") << QStringList{"format", "--vis", "hex", "--mul", "1", "255", "0xABCD"} << 0
                             << "0x00FF\t255\n0xABCD\t43981\n"
                             << true << "";
        QTest::newRow("bin") << QStringList{"format", "--vis", "bin", "--mul", "1", "5"} << 0 << "101\t5\n"
                             << true << "";
        QTest::newRow("float32 pair")
            << QStringList{"format", "--vis", "float32H", "--mul", "1", "0", "0x3F80"} << 0 << "1.000\t1\n"
            << true << "";
        QTest::newRow("uint32 pair") << QStringList{"format", "--vis", "uint32H", "--mul", "1", "1", "1"} << 0
                                     << "65537\t65537\n"
                                     << true << "";
        QTest::newRow("word too wide")
            << QStringList{"format", "--vis", "hex", "--mul", "1", "70000"} << 2 << "" << true << "70000";
        QTest::newRow("read --help") << QStringList{"read", "--help"} << 0 << "usage: mvxctl read --port P"
                                     << false << "";
        QTest::newRow("flash -h among options")
            << QStringList{"flash", "--port", "x", "-h"} << 0 << "usage: mvxctl flash" << false << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "mvxctl 0.1.0\n" << true << "";
        QTest::newRow("exit codes in the usage")
            << QStringList{"--help"} << 0 << "exit codes:\n  0  done" << false << "";
    }
    void exitCodesAndTexts() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(bool, whole);
        QFETCH(QString, err);
        const Run r = mvxctl(args);
        QCOMPARE(r.exitCode, exitCode);
        if (whole) {
            QCOMPARE(QString::fromUtf8(r.out), out);
        } else {
            QVERIFY2(QString::fromUtf8(r.out).contains(out), r.out.constData());
        }
        QVERIFY2(r.err.contains(err.toUtf8()), r.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestMvxctl)
#include "tst_mvxctl.moc"
