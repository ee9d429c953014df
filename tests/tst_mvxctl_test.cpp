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

    QStringList args(const QString &testFile, Transport transport = Transport::Serial) const {
        const QString port = transport == Transport::Tcp ? m_gateway.endpoint() : m_bus.endpoint();
        return QStringList{"test",
                           "--port",
                           port,
                           "--map",
                           testpaths::example(QStringLiteral("drive-map.xml")),
                           "--test",
                           testFile,
                           "--log-dir",
                           logDir(transport)};
    }

    QString logDir(Transport transport) const {
        return m_dir.filePath(QLatin1String(transport == Transport::Tcp ? "logs-tcp" : "logs"));
    }

    QString writeTest(const QString &name, const QByteArray &body) const {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(
            "<test><config><full_log>true</full_log><result_log>true</result_log>"
            "<summary_log>true</summary_log></config>" +
            body + "</test>");
        return file.fileName();
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
        QVERIFY2(run(args(testFile, transport) + QStringList{"--serial", "ABC-123-XYZ"}, &out) == 0,
                 out.constData());
        for (const QString &text : {QStringLiteral("Placa CORRECTA!"), QStringLiteral("Resultado: OK"),
                                    QStringLiteral("Número de serie: ABC-123-XYZ"), "Test file: " + testFile,
                                    QStringLiteral("stored in sqlite:")}) {
            QVERIFY2(out.contains(text.toUtf8()), qPrintable(text));
        }
        const QDir logs(logDir(transport));
        for (const char *pattern : {"*-result-log.txt", "*-test-log.txt", "*-summary.txt"}) {
            QCOMPARE(logs.entryList({QLatin1String(pattern)}).size(), 1);
        }
        QFile summary(logs.filePath(logs.entryList({QStringLiteral("*-summary.txt")}).value(0)));
        QVERIFY(summary.open(QIODevice::ReadOnly) && summary.readAll().endsWith(" SN: ABC-123-XYZ R: OK\n"));
        // Recorded without any set-up in the log folder's SQLite file.
        const QString db = QStringLiteral("sqlite:") + logs.filePath("mvx-records.sqlite");
        QCOMPARE(run({"report", "--db", db, "--serial", "ABC-123-XYZ", "--json"}, &out), 0);
        QVERIFY2(out.contains(R"("result":"pass")"), out.constData());
    }

    void testsThatDoNotPass() {
        const QString example = testpaths::example(QStringLiteral("production-test.xml"));
        const QString failing =
            writeTest(QStringLiteral("fail.xml"),
                      "<ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir><min>9000</min>"
                      "<max>9001</max></ReadInputRegisters>");
        // Refused before anything is written (the write below is checked for in every row).
        const QString invalid = writeTest(QStringLiteral("bad.xml"),
                                          "<WriteSingleRegister><nombre>x</nombre><dir>300</dir><dat>1</dat>"
                                          "</WriteSingleRegister>");
        // {test file, exit code, texts in the output}
        const std::tuple<QString, int, QStringList> cases[] = {
            {failing, 1, {"FALLO!. Rango (9000,9001)", "Placa INCORRECTA!"}},
            {QStringLiteral("/nonexistent/test.xml"), 2, {"cannot open test file"}},
            {example, 2, {"--serial"}},  // serial number not given
            {invalid, 2, {"El fichero de test no pudo ser cargado."}}};
        for (const auto &[testFile, exitCode, messages] : cases) {
            QByteArray out;
            QCOMPARE(run(args(testFile), &out), exitCode);
            for (const QString &message : messages) {
                QVERIFY2(out.contains(message.toUtf8()), out.constData());
            }
            QVERIFY(!m_bus.drive.requests().contains(QStringLiteral("1 06 01 2C 00 01")));
        }
    }

    void exportWritesTheDrivesParameters() {
        const QString out = m_dir.filePath(QStringLiteral("params.xml"));
        QByteArray output;
        const QString map = testpaths::example(QStringLiteral("drive-map.xml"));
        QCOMPARE(run({"export", "--port", m_bus.line.masterPort(), "--map", map, "--out", out}, &output), 0);
        ParamFileContents contents;
        QVERIFY(readParamFile(out, &contents));
        QCOMPARE(contents.holdings.size(), 80);
        QCOMPARE(contents.meta.model, QStringLiteral("4"));
        for (int i = 0; i < contents.holdings.size(); ++i) {
            QCOMPARE(int(contents.holdings.at(i).add), i);
        }
    }

    void interruptedTestExitsThree() {
        QProcess p;
        p.start(testpaths::mvxctl(), args(writeTest(QStringLiteral("wait.xml"), "<espera>60</espera>")));
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
