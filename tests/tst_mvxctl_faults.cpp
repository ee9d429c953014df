#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "support/simulateddrive.h"
#include "support/testpaths.h"

namespace {

const QString kMap = testpaths::example(QStringLiteral("drive-map.xml"));

// What the run left in the log folder's records file: result, reason, drive model, firmware.
struct StoredRun {
    QString result;
    QString reason;
    QString model;
    QString firmware;
    bool ended = false;
};

StoredRun storedRun(const QString &databasePath, const QString &serial) {
    StoredRun run;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(databasePath);
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(
                QStringLiteral("SELECT result, reason, drive_model, firmware_version, ended_at FROM runs "
                               "WHERE serial = ?"));
            q.addBindValue(serial);
            if (q.exec() && q.next()) {
                run.result = q.value(0).toString();
                run.reason = q.value(1).toString();
                run.model = q.value(2).toString();
                run.firmware = q.value(3).toString();
                run.ended = !q.value(4).isNull();
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return run;
}

}  // namespace

// `mvxctl test` on a station when the drive or the line fails during the run: it ends, says so
// in its exit code and records what happened.
class TestMvxctlFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    SimulatedBus m_bus;
    QProcess m_mvxctl;

    QString logDir() const { return m_dir.filePath(QStringLiteral("logs")); }
    QString database() const { return m_dir.filePath(QStringLiteral("logs/mvx-records.sqlite")); }

    QString writeTest(const QByteArray &steps) const {
        const QString path = m_dir.filePath(QStringLiteral("t.xml"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("<test><config><cont_fails>3</cont_fails><result_log>true</result_log></config>" +
                       steps + "</test>");
        }
        return path;
    }

    // Starts a drive on the row's transport and `mvxctl test` against it.
    void startRun(const QByteArray &steps, const QString &serial) {
        QFETCH(Transport, transport);
        m_bus.transport = transport;
        SimulatedDrive::Options options;
        options.mapFile = kMap;
        QString error;
        QVERIFY2(m_bus.start(options, &error), qPrintable(error));
        m_mvxctl.start(testpaths::mvxctl(), {"test", "--port", m_bus.endpoint(), "--map", kMap, "--test",
                                             writeTest(steps), "--log-dir", logDir(), "--serial", serial});
        QVERIFY(m_mvxctl.waitForStarted());
    }

    // Waits until mvxctl has printed `text`.
    bool waitForOutput(const QByteArray &text, QByteArray *seen) {
        return QTest::qWaitFor(
            [&] {
                *seen += m_mvxctl.readAllStandardOutput();
                return seen->contains(text) || m_mvxctl.state() == QProcess::NotRunning;
            },
            30000);
    }

    // One serial number per data row: the rows share the records file.
    static QString serialOf(const char *board) {
        return QStringLiteral("%1-%2").arg(QLatin1String(board), QLatin1String(QTest::currentDataTag()));
    }

  private slots:
    void cleanup() {
        if (m_mvxctl.state() != QProcess::NotRunning) {
            m_mvxctl.kill();
            m_mvxctl.waitForFinished();
        }
        m_bus.drive.stop();
    }

    // The run is cancelled when the line goes, with exit code 4; its record is complete.
    void lostLineEndsTheRun_data() { addTransportRows(); }
    void lostLineEndsTheRun() {
        startRun("<espera>60</espera>", serialOf("LOST-1"));
        QByteArray out;
        QVERIFY(waitForOutput("Esperando 60 segundos", &out));
        m_bus.pullThePlug();
        QVERIFY(m_mvxctl.waitForFinished(15000));
        QCOMPARE(m_mvxctl.exitCode(), 4);
        QVERIFY(m_mvxctl.readAllStandardError().contains("the line was lost"));
        const StoredRun run = storedRun(database(), serialOf("LOST-1"));
        QCOMPARE(run.result, QStringLiteral("cancelled"));
        QVERIFY(run.ended);
        QVERIFY2(run.reason.startsWith(QLatin1String("Port lost:")), qPrintable(run.reason));
    }

    // A drive that falls silent during a run of writes fails the board.
    void silentDriveFailsTheBoard_data() { addTransportRows(); }
    void silentDriveFailsTheBoard() {
        startRun(
            "<loop_start>20</loop_start><WriteSingleRegister><nombre>W</nombre><dir>8</dir><dat>1</dat>"
            "</WriteSingleRegister><loop_stop/><ReadInputRegisters><nombre>Modelo</nombre><dir>1</dir>"
            "<min>0</min><max>65535</max></ReadInputRegisters>",
            serialOf("SILENT-1"));
        QVERIFY(
            QTest::qWaitFor([this] { return m_bus.drive.requests().contains("1 06 00 08 00 01"); }, 20000));
        QVERIFY(m_bus.drive.command(QStringLiteral("silent on")));
        QVERIFY(m_mvxctl.waitForFinished(30000));
        const QByteArray out = m_mvxctl.readAllStandardOutput();
        QCOMPARE(m_mvxctl.exitCode(), 1);
        QVERIFY2(out.contains("Placa INCORRECTA!"), out.constData());
        QCOMPARE(storedRun(database(), serialOf("SILENT-1")).result, QStringLiteral("fail"));
    }

    // The record names the drive that was tested: model and firmware from its first reply.
    void recordIdentifiesTheDrive_data() { addTransportRows(); }
    void recordIdentifiesTheDrive() {
        startRun("<mensaje>hola</mensaje>", serialOf("ID-1"));
        QVERIFY(m_mvxctl.waitForFinished(30000));
        QCOMPARE(m_mvxctl.exitCode(), 0);
        const StoredRun run = storedRun(database(), serialOf("ID-1"));
        QCOMPARE(run.result, QStringLiteral("pass"));
        QVERIFY2(run.model != QLatin1String("0") && !run.model.isEmpty(), qPrintable(run.model));
        QVERIFY2(run.firmware != QLatin1String("0") && !run.firmware.isEmpty(), qPrintable(run.firmware));
    }
};

QTEST_GUILESS_MAIN(TestMvxctlFaults)
#include "tst_mvxctl_faults.moc"
