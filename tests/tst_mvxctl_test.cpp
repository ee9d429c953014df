#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "params/paramfile_io.h"
#include "support/mvxctlrun.h"
#include "support/simulateddrive.h"
#include "support/testpaths.h"

// The headless test runner of the test stations: what it prints, the logs it writes and
// its exit codes, against the simulated drive.
class TestMvxctlTest : public QObject {
    Q_OBJECT

    SimulatedBus m_bus;
    SimulatedBus m_gateway;  // the same drive behind Modbus TCP
    QTemporaryDir m_dir;

    QStringList args(const QString &testFile, const QStringList &extra = {},
                     Transport transport = Transport::Serial) const {
        const QString port = transport == Transport::Tcp ? m_gateway.endpoint() : m_bus.endpoint();
        const QString map = testpaths::example(QStringLiteral("drive-map.xml"));
        return QStringList{"test",   "--port", port,        "--map",          map,
                           "--test", testFile, "--log-dir", logDir(transport)} +
               extra;
    }

    QString writeTest(const QString &name, const QByteArray &body) const {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(
            "<test><config><full_log>true</full_log><result_log>true</result_log>"
            "<summary_log>true</summary_log></config>" +
            body + "</test>");
        return path;
    }

    QString logDir(Transport transport) const {
        return m_dir.filePath(transport == Transport::Tcp ? QStringLiteral("logs-tcp")
                                                          : QStringLiteral("logs"));
    }

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
        SimulatedDrive::Options options;
        options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
        QString error;
        QVERIFY2(m_bus.start(options, &error), qPrintable(error));
        m_gateway.transport = Transport::Tcp;
        QVERIFY2(m_gateway.start(options, &error), qPrintable(error));
    }

    void exampleTestPassesAndWritesItsLogs_data() { addTransportRows(); }
    void exampleTestPassesAndWritesItsLogs() {
        QFETCH(Transport, transport);
        const QString testFile = testpaths::example(QStringLiteral("production-test.xml"));
        QByteArray out;
        QVERIFY2(run(args(testFile, {"--serial", "ABC-123-XYZ"}, transport), &out) == 0, out.constData());
        for (const QString &text :
             {QStringLiteral("Placa CORRECTA!"), QStringLiteral("Resultado: OK"),
              QStringLiteral("Número de serie: ABC-123-XYZ"), "Test file: " + testFile}) {
            QVERIFY2(out.contains(text.toUtf8()), qPrintable(text));
        }
        const QDir logs(logDir(transport));
        for (const char *pattern : {"*-result-log.txt", "*-test-log.txt", "*-summary.txt"}) {
            QCOMPARE(logs.entryList({QLatin1String(pattern)}).size(), 1);
        }
        QFile summary(logs.filePath(logs.entryList({QStringLiteral("*-summary.txt")}).value(0)));
        QVERIFY(summary.open(QIODevice::ReadOnly));
        QVERIFY(summary.readAll().endsWith(" SN: ABC-123-XYZ R: OK\n"));
        // Recorded without any set-up in the log folder's SQLite file.
        QVERIFY(out.contains("stored in sqlite:"));
        QCOMPARE(run({"report", "--db", QStringLiteral("sqlite:") + logs.filePath("mvx-records.sqlite"),
                      "--serial", "ABC-123-XYZ", "--json"},
                     &out),
                 0);
        QVERIFY2(out.contains(R"("result":"pass")"), out.constData());
    }

    void testsThatDoNotPass_data() {
        QTest::addColumn<QString>("testFile");  // with a body: a file to write in the temporary folder
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("failing step")
            << "fail.xml"
            << QByteArray(
                   "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir>"
                   "<min>9000</min><max>9001</max></ReadInputRegisters>")
            << QStringList() << 1 << QStringList{"FALLO!. Rango (9000,9001)", "Placa INCORRECTA!"};
        QTest::newRow("missing file") << "/nonexistent/test.xml" << QByteArray() << QStringList() << 2
                                      << QStringList{"cannot open test file"};
        QTest::newRow("serial number not given")
            << testpaths::example(QStringLiteral("production-test.xml")) << QByteArray() << QStringList() << 2
            << QStringList{"--serial"};
        // Refused before anything is written (the write below is checked for in every row).
        QTest::newRow("invalid step")
            << "bad.xml"
            << QByteArray(
                   "<WriteSingleRegister><nombre>x</nombre><dir>300</dir>"
                   "<dat>1</dat></WriteSingleRegister>")
            << QStringList() << 2 << QStringList{"El fichero de test no pudo ser cargado."};
    }
    void testsThatDoNotPass() {
        QFETCH(QString, testFile);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, extra);
        QFETCH(int, exitCode);
        QFETCH(QStringList, messages);
        QByteArray out;
        QCOMPARE(run(args(body.isEmpty() ? testFile : writeTest(testFile, body), extra), &out), exitCode);
        for (const QString &message : messages) {
            QVERIFY2(out.contains(message.toUtf8()), out.constData());
        }
        QVERIFY(!m_bus.drive.requests().contains(QStringLiteral("1 06 01 2C 00 01")));
    }

    void exportWritesTheDrivesParameters() {
        const QString out = m_dir.filePath(QStringLiteral("params.xml"));
        QByteArray output;
        QCOMPARE(run({"export", "--port", m_bus.line.masterPort(), "--map",
                      testpaths::example("drive-map.xml"), "--out", out},
                     &output),
                 0);
        ParamFileContents contents;
        QVERIFY(readParamFile(out, &contents));
        QCOMPARE(contents.holdings.size(), 80);
        QCOMPARE(contents.meta.model, QStringLiteral("4"));
        for (int i = 0; i < contents.holdings.size(); ++i) {
            QCOMPARE(int(contents.holdings.at(i).add), i);
        }
    }

    void interruptedTestExitsThree() {
        const QString path = writeTest(QStringLiteral("wait.xml"), "<espera>60</espera>");
        QProcess p;
        p.start(testpaths::mvxctl(), args(path));
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

QTEST_GUILESS_MAIN(TestMvxctlTest)
#include "tst_mvxctl_test.moc"
