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
        const QJsonArray holdings = o["holdings"].toArray();
        // Every row with every field; normal holdings consecutive from 0, aux ones from the identification
        // block.
        const std::pair<QJsonValue, QStringList> shapes[] = {
            {o,
             {"options", "blocks", "holdings", "aux_holdings", "input_registers", "ram_params", "warnings"}},
            {holdings[0],
             {"add", "text", "name", "def", "min", "max", "vis_type", "multiplier", "unit", "help", "hidden",
              "level", "items"}},
            {o["input_registers"][0], {"bg_r", "bg_g", "bg_b", "items", "multiplier", "unit"}}};
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
    }

    void checkMapReportsWhatItDrops() {
        const Run r = mvxctl({"check-map", m_dir.filePath("map.xml"), "--json"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = json(r);
        QCOMPARE(o["holdings"].toArray().size(), 1);
        QCOMPARE(o["holdings"][0]["multiplier"].toDouble(), 0.1);
        QCOMPARE(o["warnings"].toArray().size(), 1);
        QCOMPARE(o["warnings"][0]["line"].toInt(), 4);
    }

    void checkTestJsonListsStepsAndRecords() {
        const Run r = mvxctl({"check-test", testpaths::example("production-test.xml"), "--json"});
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
        // {arguments, exit code, stdout (the whole of it when `whole`, else a part), part of stderr}
        const std::tuple<QStringList, int, const char *, bool, QString> cases[] = {
            {{"check-map", missing}, 1, "", true, missing},
            {{"check-test", missing}, 1, "", true, missing},
            {{"check-test", m_dir.filePath("t.xml")}, 1, "", true, "t.xml"},  // malformed
            {{"check-map", map}, 0, "warnings (1)", false, ""},
            {{"format", "--vis", "float", "--mul", "0.1", "0xFFF6"}, 0, "-1.0\t-1\n", true, ""},
            {{"format", "--vis", "ufloat", "--mul", "0.1", "65526"}, 0, "6552.6\t6552.6\n", true, ""},
            {{"format", "--vis", "hex", "--mul", "1", "255", "0xABCD"},
             0,
             "0x00FF\t255\n0xABCD\t43981\n",
             true,
             ""},
            {{"format", "--vis", "bin", "--mul", "1", "5"}, 0, "101\t5\n", true, ""},
            {{"format", "--vis", "float32H", "--mul", "1", "0", "0x3F80"}, 0, "1.000\t1\n", true, ""},
            {{"format", "--vis", "uint32H", "--mul", "1", "1", "1"}, 0, "65537\t65537\n", true, ""},
            {{"format", "--vis", "hex", "--mul", "1", "70000"}, 2, "", true, "70000"},  // word too wide
            {{"read", "--help"}, 0, "usage: mvxctl read --port P", false, ""},
            {{"flash", "--port", "x", "-h"}, 0, "usage: mvxctl flash", false, ""},  // -h among options
            {{"--version"}, 0, "mvxctl 0.1.0\n", true, ""},
            {{"--help"}, 0, "exit codes:\n  0  done", false, ""}};
        for (const auto &[args, exitCode, out, whole, err] : cases) {
            const Run r = mvxctl(args);
            const QString name = args.join(QLatin1Char(' ')) + QStringLiteral(": ");
            QCOMPARE(name + QString::number(r.exitCode), name + QString::number(exitCode));
            QVERIFY2(whole ? r.out == out : r.out.contains(out), qPrintable(name + r.out));
            QVERIFY2(r.err.contains(err.toUtf8()), qPrintable(name + r.err));
        }
    }
};

QTEST_GUILESS_MAIN(TestMvxctl)
#include "tst_mvxctl.moc"
