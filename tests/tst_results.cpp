#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include "support/mvxctlrun.h"
#include "support/testpaths.h"
#include "test/resultsdb.h"
#include "test/runrecorder.h"

// Production records on both back ends: SQLite always, PostgreSQL when MVX_TEST_PG_URL names
// a server (scripts/test.sh starts a throwaway one). Each test gets a database of its own.
class TestResults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A new, empty database of the row's kind.
    DbTarget freshTarget() {
        QFETCH_GLOBAL(bool, postgres);
        const QString name = "mvx_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
        if (!postgres) {
            return DbTarget::sqlite(m_dir.filePath(name + ".sqlite"));
        }
        DbTarget server;
        QString error;
        DbTarget::parse(qEnvironmentVariable("MVX_TEST_PG_URL"), &server, &error);
        ResultsDb admin(server);
        if (!admin.open(&error) || !QSqlQuery(admin.database()).exec("CREATE DATABASE " + name)) {
            qWarning() << "cannot create a test database:" << error;
            return DbTarget();
        }
        server.database = name;
        return server;
    }

    static RunRecord run(const QString &serial, const QString &day, const QString &station,
                         const QString &result, const QString &failedStep = QString()) {
        static int n = 0;
        RunRecord r;
        r.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        std::tie(r.serial, r.day, r.station, r.result, r.failedStep) =
            std::tie(serial, day, station, result, failedStep);
        r.startedAt = r.endedAt = QString("%1T08:00:%2.000Z").arg(day).arg(++n % 60, 2, 10, QLatin1Char('0'));
        return r;
    }

    static QJsonObject report(const QStringList &args) {
        return QJsonDocument::fromJson(runMvxctl(QStringList{"report", "--json"} + args).out).object();
    }

    // Every field of `expected` (JSON text) has its value in `actual`.
    static void compareFields(const QJsonObject &actual, const char *expected) {
        const QJsonObject fields = QJsonDocument::fromJson(QByteArray(expected)).object();
        QVERIFY(!fields.isEmpty());
        for (auto field = fields.begin(); field != fields.end(); ++field) {
            QVERIFY2(actual.value(field.key()) == field.value(), qPrintable(field.key()));
        }
    }

  private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgresql") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, postgres);
        if (postgres && qEnvironmentVariableIsEmpty("MVX_TEST_PG_URL")) {
            QVERIFY2(!qEnvironmentVariableIsSet("CI"), "CI must test PostgreSQL: set MVX_TEST_PG_URL");
            QSKIP("MVX_TEST_PG_URL is not set: no PostgreSQL server to test against");
        }
    }

    void urls() {
        const char *const cases[][2] = {
            // text, its canonical form (empty: refused)
            {"sqlite:log/runs.sqlite", "sqlite:log/runs.sqlite"},
            {"postgresql://mvx@db.plant:5433/line2", "postgresql://mvx@db.plant:5433/line2"},
            {"postgresql://mvx@db/line2", "postgresql://mvx@db:5432/line2"},
            {"postgresql://mvx:secret@db/line2", ""},
            {"postgresql://mvx@db:5432/", ""},
            {"sqlite:", ""},
            {"mysql://mvx@db/line2", ""},
        };
        for (const auto &c : cases) {
            DbTarget target;
            QString error;
            QVERIFY2(DbTarget::parse(c[0], &target, &error) == (*c[1] != 0), c[0]);
            QCOMPARE(target.url(), QString(c[1]));
            QVERIFY2(error.isEmpty() == (*c[1] != 0), c[0]);
        }
    }

    // A started run is visible unfinished; a finished one carries everything, typed input as data.
    // Then a database that cannot be reached: the run waits in the spool and is uploaded once.
    void recordsARunAndSpoolsWhatCannotBeStored() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        const QString spool = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + ".sqlite");
        RunRecorder recorder({target, spool, "st1"});
        const QString serial = "'; DROP TABLE runs; --";
        const QString mapFile = testpaths::example("drive-map.xml");
        recorder.begin({mapFile, mapFile, "4", "203"}, serial);
        recorder.step(0, 10, "Tensión' OR 1=1", 231.5f, 220, 240, 1, true);
        recorder.step(1, 10, "Corriente", 9.5f, 0, 5, -1, true);
        QVERIFY(recorder.waitWritten(20000));
        ResultsDb db(target);
        QString error;
        QVERIFY2(db.open(&error), qPrintable(error));
        QVector<RunRecord> runs;
        QVERIFY(db.loadRuns(&runs, &error) && runs.size() == 1 && !runs[0].isFinished());
        holding_t h;
        h.text = "Consigna";
        h.value = 65535;
        recorder.finish(-1, QString(), {&h});
        QVERIFY(recorder.waitWritten(20000));
        QVERIFY(db.loadRuns(&runs, &error));
        const RunRecord r = runs.value(0);
        QCOMPARE(
            (QStringList{r.serial, r.station, r.result, r.failedStep, r.reason, r.driveModel,
                         r.firmwareVersion, r.programVersion, r.testSha256, r.steps.value(0).text,
                         QString::number(r.steps.value(0).res), QString::number(r.holdings.value(0).value)}),
            (QStringList{serial, "st1", "fail", "Corriente", "read 9.5, limits 0 .. 5", "4", "203",
                         MVX_PROJECT_VERSION, RunRecorder::fileSha256(mapFile), "Tensión' OR 1=1", "231.5",
                         "65535"}));
        QVERIFY(r.steps.size() == 2 && r.holdings.size() == 1 && r.testSha256.size() == 64);

        DbTarget away = target;
        away.port = 1;  // nothing listens there
        away.path = "/dev/null/records.sqlite";
        {
            RunRecorder offline({away, spool, "st1"});
            QString note;
            connect(&offline, &RunRecorder::note, this, [&note](const QString &text) { note = text; });
            offline.begin({}, "SN-1");
            offline.finish(1, QString(), {});
            QVERIFY(offline.waitWritten(20000));
            QTRY_VERIFY(note.contains("local spool"));
        }
        for (int i = 0; i < 2; ++i) {  // a second upload finds nothing left to add
            recorder.retryUpload();
            QVERIFY(recorder.waitWritten(20000));
        }
        ResultsDb spooled(DbTarget::sqlite(spool));
        QVERIFY(spooled.open(&error));
        QCOMPARE(spooled.runCount(), 0);
        QCOMPARE(db.storeRun(r, &error), ResultsDb::StoreOutcome::AlreadyStored);
        QCOMPARE(db.runCount(), 2);
    }

    // The figures of `mvxctl report`; then a database of a newer schema is refused.
    void reportsAndSchemaVersion() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        ResultsDb db(target);
        QString error;
        QVERIFY(db.open(&error));
        const QString d1 = "2026-03-02", d2 = "2026-03-03";
        // The last run is unfinished and has no serial: a board of its own.
        // clang-format off
        const RunRecord runs[] = {run("S1", d1, "A", "pass"), run("S2", d1, "A", "fail", "Tensión"),
            run("S2", d1, "B", "pass"), run("S3", d1, "B", "fail", "Corriente"), run("S3", d2, "B", "fail", "Corriente"),
            run("S4", d2, "A", "cancelled"), run(QString(), d2, "A", QString())};
        // clang-format on
        for (const RunRecord &r : runs) {
            QCOMPARE(db.storeRun(r, &error), ResultsDb::StoreOutcome::Stored);
        }
        const QJsonObject all = report({"--db", target.url()});
        compareFields(all,
                      R"({"runs":7, "boards":5, "passed":2, "failed":3, "cancelled":1, "first_pass_yield":0.2,
            "final_yield":0.4, "pareto":[{"step":"Corriente","failures":2},{"step":"Tensión","failures":1}]})");
        QCOMPARE(all.value("days").toArray().size(), 2);
        compareFields(all.value("days").toArray()[1].toObject(), R"({"runs":3})");
        compareFields(report({"--db", target.url(), "--to", d1, "--station", "B"}),
                      R"({"runs":2, "first_pass_yield":0.5})");
        const QJsonObject history = report({"--db", target.url(), "--serial", "S3"});
        QCOMPARE(history.value("serial").toString(), "S3");
        const QJsonArray s3 = history.value("runs").toArray();
        QCOMPARE(s3.size(), 2);
        QCOMPARE(s3[1].toObject().value("failed_step").toString(), "Corriente");
        QCOMPARE(s3[1].toObject().keys(),
                 (QStringList{"end", "failed_step", "id", "reason", "result", "start", "station"}));

        QSqlQuery q(db.database());
        QVERIFY(q.exec("SELECT version FROM schema_info") && q.next());
        QCOMPARE(q.value(0).toInt(), ResultsDb::kSchemaVersion);
        QVERIFY(q.exec("UPDATE schema_info SET version = 99"));
        ResultsDb newer(target);
        QVERIFY(!newer.open(&error));
        QVERIFY2(error.contains("schema version 99"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
