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
#include "test/runreport.h"

// Production records on both back ends: SQLite always, PostgreSQL when MVX_TEST_PG_URL names
// a server (scripts/test.sh starts a throwaway one). Each test gets a database of its own.
class TestResults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static void addBackends() {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgresql") << true;
    }

    // A new, empty database of the row's kind.
    DbTarget freshTarget(bool postgres) {
        const QString name =
            QStringLiteral("mvx_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(12));
        if (!postgres) {
            return DbTarget::sqlite(m_dir.filePath(name + QStringLiteral(".sqlite")));
        }
        DbTarget server;
        QString error;
        if (!DbTarget::parse(qEnvironmentVariable("MVX_TEST_PG_URL"), &server, &error)) {
            return DbTarget();
        }
        ResultsDb admin(server);
        if (!admin.open(&error) ||
            !QSqlQuery(admin.database()).exec(QStringLiteral("CREATE DATABASE ") + name)) {
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
        r.serial = serial;
        r.day = day;
        r.station = station;
        r.startedAt = QStringLiteral("%1T08:00:%2.000Z").arg(day).arg(++n % 60, 2, 10, QLatin1Char('0'));
        r.endedAt = r.startedAt;
        r.result = result;
        r.failedStep = failedStep;
        return r;
    }

    // Every field of `expected` (JSON text) has its value in `actual`.
    static void compareFields(const QJsonObject &actual, const char *expected) {
        const QJsonObject fields = QJsonDocument::fromJson(QByteArray(expected)).object();
        QVERIFY(!fields.isEmpty());
        for (auto field = fields.begin(); field != fields.end(); ++field) {
            QVERIFY2(actual.value(field.key()) == field.value(), qPrintable(field.key()));
        }
    }

    static QJsonObject reportJson(const QStringList &args) {
        const MvxctlRun run =
            runMvxctl(QStringList{QStringLiteral("report"), QStringLiteral("--json")} + args);
        if (run.exitCode != 0) {
            qWarning() << run.err;
        }
        return QJsonDocument::fromJson(run.out).object();
    }

  private slots:
    void init() {
        QFETCH_GLOBAL(bool, postgres);
        if (postgres && qEnvironmentVariableIsEmpty("MVX_TEST_PG_URL")) {
            if (qEnvironmentVariableIsSet("CI")) {
                QFAIL("MVX_TEST_PG_URL is not set: CI must test the PostgreSQL back end");
            }
            QSKIP(
                "MVX_TEST_PG_URL is not set: no PostgreSQL server to test against (scripts/test.sh starts "
                "one)");
        }
    }
    void initTestCase_data() { addBackends(); }

    void urls_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalised");  // empty: refused
        QTest::newRow("sqlite") << "sqlite:log/runs.sqlite"
                                << "sqlite:log/runs.sqlite";
        QTest::newRow("postgresql") << "postgresql://mvx@db.plant:5433/line2"
                                    << "postgresql://mvx@db.plant:5433/line2";
        QTest::newRow("default port") << "postgresql://mvx@db/line2"
                                      << "postgresql://mvx@db:5432/line2";
        QTest::newRow("password") << "postgresql://mvx:secret@db/line2" << QString();
        QTest::newRow("no database") << "postgresql://mvx@db:5432/" << QString();
        QTest::newRow("no file") << "sqlite:" << QString();
        QTest::newRow("other scheme") << "mysql://mvx@db/line2" << QString();
    }
    void urls() {
        QFETCH(QString, text);
        QFETCH(QString, normalised);
        DbTarget target;
        QString error;
        QCOMPARE(DbTarget::parse(text, &target, &error), !normalised.isEmpty());
        QCOMPARE(target.url(), normalised);
        QVERIFY(normalised.isEmpty() != error.isEmpty());
    }

    // Started runs are visible unfinished; a finished one carries everything, typed input as data.
    void recordsARun() {
        QFETCH_GLOBAL(bool, postgres);
        const DbTarget target = freshTarget(postgres);
        QVERIFY(target.isValid());
        RunRecorder recorder(
            {target, m_dir.filePath(QStringLiteral("spool-a.sqlite")), QStringLiteral("st1")});
        const QString serial = QStringLiteral("'; DROP TABLE runs; --");
        const QString mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
        recorder.begin({mapFile, mapFile, QStringLiteral("4"), QStringLiteral("203")}, serial);
        recorder.step(0, 10, QStringLiteral("Tensión' OR 1=1"), 231.5f, 220, 240, 1, true);
        recorder.step(1, 10, QStringLiteral("Corriente"), 9.5f, 0, 5, -1, true);
        QVERIFY(recorder.waitWritten(20000));
        ResultsDb db(target);
        QString error;
        QVERIFY2(db.open(&error), qPrintable(error));
        QVector<RunRecord> runs;
        QVERIFY(db.loadRuns(&runs, &error));
        QCOMPARE(runs.size(), 1);
        QVERIFY(!runs[0].isFinished());
        holding_t h;
        h.text = QStringLiteral("Consigna");
        h.value = 65535;
        recorder.finish(-1, QString(), {&h});
        QVERIFY(recorder.waitWritten(20000));
        QVERIFY(db.loadRuns(&runs, &error));
        const RunRecord &r = runs.value(0);
        QCOMPARE((QStringList{r.serial, r.station, r.result, r.failedStep, r.reason, r.driveModel,
                              r.firmwareVersion, r.programVersion}),
                 (QStringList{serial, "st1", "fail", "Corriente", "read 9.5, limits 0 .. 5", "4", "203",
                              MVX_PROJECT_VERSION}));
        QCOMPARE(r.testSha256, RunRecorder::fileSha256(mapFile));
        QCOMPARE(r.testSha256.size(), 64);
        QCOMPARE(r.steps.size(), 2);
        QCOMPARE(r.steps[0].text, QStringLiteral("Tensión' OR 1=1"));
        QCOMPARE(r.steps[0].res, 231.5);
        QCOMPARE(r.holdings.size(), 1);
        QCOMPARE(r.holdings[0].value, 65535);
    }

    // A database that cannot be reached: the run waits in the spool and is uploaded once.
    void spoolsAndUploadsOnce() {
        QFETCH_GLOBAL(bool, postgres);
        const DbTarget target = freshTarget(postgres);
        QVERIFY(target.isValid());
        DbTarget away = target;
        away.port = 1;  // nothing listens there
        away.path = QStringLiteral("/dev/null/records.sqlite");
        const QString spool = m_dir.filePath(QStringLiteral("spool-%1.sqlite").arg(postgres));
        QString note;
        {
            RunRecorder recorder({away, spool, QStringLiteral("st1")});
            connect(&recorder, &RunRecorder::note, this, [&note](const QString &text) { note = text; });
            recorder.begin({}, QStringLiteral("SN-1"));
            recorder.finish(1, QString(), {});
            QVERIFY(recorder.waitWritten(20000));
            QTRY_VERIFY(note.contains(QStringLiteral("local spool")));
        }
        RunRecorder recorder({target, spool, QStringLiteral("st1")});
        for (int i = 0; i < 2; ++i) {  // a second upload finds nothing left to add
            recorder.retryUpload();
            QVERIFY(recorder.waitWritten(20000));
        }
        ResultsDb db(target), spooled(DbTarget::sqlite(spool));
        QString error;
        QVERIFY(db.open(&error) && spooled.open(&error));
        QCOMPARE(db.runCount(), 1);
        QCOMPARE(spooled.runCount(), 0);
        QVector<RunRecord> runs;
        QVERIFY(db.loadRuns(&runs, &error));
        QCOMPARE(db.storeRun(runs.value(0), &error), ResultsDb::StoreOutcome::AlreadyStored);
        QCOMPARE(db.runCount(), 1);
    }

    void reports() {
        QFETCH_GLOBAL(bool, postgres);
        const DbTarget target = freshTarget(postgres);
        QVERIFY(target.isValid());
        ResultsDb db(target);
        QString error;
        QVERIFY(db.open(&error));
        const QString d1 = QStringLiteral("2026-03-02"), d2 = QStringLiteral("2026-03-03");
        const RunRecord runs[] = {
            run("S1", d1, "A", "pass"),
            run("S2", d1, "A", "fail", "Tensión"),
            run("S2", d1, "B", "pass"),
            run("S3", d1, "B", "fail", "Corriente"),
            run("S3", d2, "B", "fail", "Corriente"),
            run("S4", d2, "A", "cancelled"),
            run(QString(), d2, "A", QString()),  // unfinished, no serial: a board of its own
        };
        for (const RunRecord &r : runs) {
            QCOMPARE(db.storeRun(r, &error), ResultsDb::StoreOutcome::Stored);
        }
        const QJsonObject all = reportJson({"--db", target.url()});
        compareFields(all, R"({"runs":7, "boards":5, "passed":2, "failed":3, "cancelled":1,
            "first_pass_yield":0.2, "final_yield":0.4,
            "pareto":[{"step":"Corriente","failures":2},{"step":"Tensión","failures":1}]})");
        QCOMPARE(all.value(QStringLiteral("days")).toArray().size(), 2);
        compareFields(all.value(QStringLiteral("days")).toArray()[1].toObject(), R"({"runs":3})");
        compareFields(reportJson({"--db", target.url(), "--to", d1, "--station", "B"}),
                      R"({"runs":2, "first_pass_yield":0.5})");
        const QJsonObject history = reportJson({"--db", target.url(), "--serial", "S3"});
        QCOMPARE(history.value(QStringLiteral("serial")).toString(), QStringLiteral("S3"));
        const QJsonArray s3 = history.value(QStringLiteral("runs")).toArray();
        QCOMPARE(s3.size(), 2);
        QCOMPARE(s3[1].toObject().value(QStringLiteral("failed_step")).toString(),
                 QStringLiteral("Corriente"));
        QCOMPARE(s3[1].toObject().keys(),
                 (QStringList{"end", "failed_step", "id", "reason", "result", "start", "station"}));
    }

    void schemaVersion() {
        QFETCH_GLOBAL(bool, postgres);
        const DbTarget target = freshTarget(postgres);
        QVERIFY(target.isValid());
        QString error;
        {
            ResultsDb db(target);
            QVERIFY(db.open(&error));
            QSqlQuery q(db.database());
            QVERIFY(q.exec(QStringLiteral("SELECT version FROM schema_info")) && q.next());
            QCOMPARE(q.value(0).toInt(), ResultsDb::kSchemaVersion);
            QVERIFY(q.exec(QStringLiteral("UPDATE schema_info SET version = 99")));
        }
        ResultsDb newer(target);
        QVERIFY(!newer.open(&error));
        QVERIFY2(error.contains(QStringLiteral("schema version 99")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
