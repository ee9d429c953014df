#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "records/resultsdb.h"
#include "records/runrecorder.h"
#include "support/mvxctlrun.h"
#include "support/pgserver.h"
#include "support/testpaths.h"

namespace {

// Runs `job` in a thread of its own and joins it at the end of the scope, after `release`
// (which lets a job blocked by the test end).
class Concurrent {
  public:
    Concurrent(std::function<void()> job, std::function<void()> release = {})
        : m_release(std::move(release)), m_thread(std::move(job)) {}
    ~Concurrent() { join(); }
    void join() {
        if (m_release) {
            m_release();
            m_release = nullptr;
        }
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

  private:
    std::function<void()> m_release;
    std::thread m_thread;
};

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Production records on both back ends: SQLite always, PostgreSQL when MVX_TEST_PG_URL names
// a server (scripts/test.sh starts a throwaway one). Each test gets a database of its own.
class TestResults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TestCertificates> m_tls;

    static DbTarget server() {
        DbTarget target;
        QString error;
        DbTarget::parse(qEnvironmentVariable("MVX_TEST_PG_URL"), &target, &error);
        return target;
    }

    // Statements run by the throwaway server's superuser; false (and a warning) when one fails.
    static bool asSuperuser(const QStringList &statements) {
        ResultsDb admin(server(), ResultsDb::Access::Admin);
        QString error;
        bool ok = admin.open(&error);
        for (const QString &sql : statements) {
            QSqlQuery q(admin.database());
            ok = ok && q.exec(sql);
            error = ok ? error : q.lastError().text();
        }
        if (!ok) {
            qWarning() << "as the superuser:" << error;
        }
        return ok;
    }

    // A new, empty database of the row's kind; on a server, with the results schema when
    // `schema` is set (an administrator's step: stations do not create it there).
    DbTarget freshTarget(bool schema = true) {
        QFETCH_GLOBAL(bool, postgres);
        const QString name = "mvx_" + QUuid::createUuid().toString(QUuid::Id128).left(12);
        if (!postgres) {
            return DbTarget::sqlite(m_dir.filePath(name + ".sqlite"));
        }
        DbTarget target = server();
        target.database = name;
        QString error;
        ResultsDb init(target, ResultsDb::Access::Admin);
        if (!asSuperuser({"CREATE DATABASE " + name}) || (schema && !init.open(&error))) {
            qWarning() << "cannot create a test database:" << error;
            return DbTarget();
        }
        return target;
    }

    // The server speaks TLS with the certificates of m_tls (made once).
    void turnOnTls() {
        if (m_tls) {
            return;
        }
        auto tls = std::make_unique<TestCertificates>();
        QString error;
        QVERIFY2(tls->make(&error), qPrintable(error));
        QVERIFY(asSuperuser({QString("ALTER SYSTEM SET ssl_cert_file = '%1'").arg(tls->path("server.crt")),
                             QString("ALTER SYSTEM SET ssl_key_file = '%1'").arg(tls->path("server.key")),
                             "ALTER SYSTEM SET ssl = on", "SELECT pg_reload_conf()"}));
        m_tls = std::move(tls);
        // The server reads its configuration again in a moment of its own.
        DbTarget target = server();
        target.options = {{"sslmode", "require"}};
        ResultsDb probe(target, ResultsDb::Access::Admin);
        QTRY_VERIFY_WITH_TIMEOUT(probe.open(&error), 20000);
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
    void cleanupTestCase() {
        if (m_tls) {
            asSuperuser({"ALTER SYSTEM RESET ssl", "ALTER SYSTEM RESET ssl_cert_file",
                         "ALTER SYSTEM RESET ssl_key_file", "SELECT pg_reload_conf()"});
        }
    }

    void urls() {
        const char *const cases[][2] = {
            // text, its canonical form (empty: refused)
            {"sqlite:log/runs.sqlite", "sqlite:log/runs.sqlite"},
            {"postgresql://mvx@db.plant:5433/line2", "postgresql://mvx@db.plant:5433/line2"},
            {"postgresql://mvx@db/line2", "postgresql://mvx@db:5432/line2"},
            {"postgresql://mvx:secret@db/line2", ""},
            {"postgresql://mvx:secret@/line2", ""},
            {"postgresql://mvx@db/line2?password=secret", ""},
            {"postgresql://mvx@db/line2?sslmode=verify-full&sslrootcert=/etc/mvx/ca.pem&connect_timeout=5",
             "postgresql://mvx@db:5432/line2?sslmode=verify-full&sslrootcert=/etc/mvx/"
             "ca.pem&connect_timeout=5"},
            {"postgresql://mvx@db/line2?Bad-Key=1", ""},
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
            QVERIFY2(!error.contains("secret"), qPrintable(error));
        }
    }

    // The URL's libpq keywords reach the driver; a station's connection carries a statement
    // time-out, a report's is read-only, an administrator's has no time-out.
    void connectionOptionsReachTheServer() {
        QFETCH_GLOBAL(bool, postgres);
        if (!postgres) {
            QSKIP("libpq keywords are PostgreSQL's");
        }
        DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        QString error;
        QVERIFY(
            DbTarget::parse(target.url() + "?application_name=station-7&sslmode=disable", &target, &error));
        ResultsDb station(target);
        QVERIFY2(station.open(&error), qPrintable(error));
        const auto show = [](ResultsDb &db, const QString &setting) {
            QSqlQuery q(db.database());
            return q.exec("SHOW " + setting) && q.next() ? q.value(0).toString() : QString("<none>");
        };
        QCOMPARE(show(station, "application_name"), "station-7");
        QCOMPARE(show(station, "statement_timeout"), "10s");
        ResultsDb report(target, ResultsDb::Access::ReadOnly);
        QVERIFY2(report.open(&error), qPrintable(error));
        QCOMPARE(show(report, "default_transaction_read_only"), "on");
        ResultsDb init(target, ResultsDb::Access::Admin);  // a migration may take its time
        QVERIFY2(init.open(&error), qPrintable(error));
        QCOMPARE(show(init, "statement_timeout"), "0");
        QVERIFY(!QSqlQuery(report.database()).exec("DELETE FROM runs"));
        // This server speaks no TLS: a URL that demands it is refused, and says why.
        QVERIFY(DbTarget::parse(target.url().section('?', 0, 0) + "?sslmode=require", &target, &error));
        ResultsDb tls(target);
        QVERIFY(!tls.open(&error));
        QVERIFY2(error.contains("SSL"), qPrintable(error));
    }

    // Stations writing one database at once: none is refused for "locked", every run is stored.
    void severalWritersStoreEveryRun() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        ResultsDb schema(target);
        QString error;
        QVERIFY2(schema.open(&error), qPrintable(error));
        constexpr int kWriters = 4, kRuns = 100;
        QVector<QVector<RunRecord>> work(kWriters);
        for (QVector<RunRecord> &runs : work) {
            for (int i = 0; i < kRuns; ++i) {
                runs << run(QString("SN-%1").arg(i), "2026-03-02", "A", "pass");
            }
        }
        std::mutex mutex;
        QStringList failures;
        {
            std::vector<std::unique_ptr<Concurrent>> writers;
            for (const QVector<RunRecord> &runs : qAsConst(work)) {
                writers.push_back(std::make_unique<Concurrent>([&target, &runs, &mutex, &failures] {
                    ResultsDb db(target);
                    QString e;
                    bool ok = db.open(&e);
                    for (const RunRecord &r : runs) {
                        RunRecord started = r;
                        started.result.clear();
                        ok = ok && db.recordStart(started, &e) &&
                             db.storeRun(r, &e) == ResultsDb::StoreOutcome::Stored;
                    }
                    if (!ok) {
                        std::lock_guard<std::mutex> lock(mutex);
                        failures << e;
                    }
                }));
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join("; ")));
        QCOMPARE(schema.runCount(), kWriters * kRuns);
    }

    // A station completes a run while a stale copy of it (unfinished, from a spool) is being
    // stored: the finished run stays finished.
    void aStaleCopyNeverUnfinishesARun() {
        QFETCH_GLOBAL(bool, postgres);
        if (!postgres) {
            QSKIP("SQLite lets one writer in at a time: the two cannot interleave");
        }
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        ResultsDb db(target), watcher(target);
        QString error;
        QVERIFY2(db.open(&error) && watcher.open(&error), qPrintable(error));
        RunRecord started = run("STALE-1", "2026-03-02", "A", QString());
        started.endedAt.clear();
        QVERIFY2(db.recordStart(started, &error), qPrintable(error));
        // The completion, its transaction still open.
        QVERIFY(db.database().transaction());
        QSqlQuery complete(db.database());
        complete.prepare(
            "UPDATE runs SET result = 'pass', ended_at = '2026-03-02T08:01:00.000Z' WHERE id = ?");
        complete.addBindValue(started.id);
        QVERIFY(complete.exec());
        ResultsDb::StoreOutcome staleOutcome = ResultsDb::StoreOutcome::Failed;
        QString staleError;
        {
            Concurrent stale(
                [&] {
                    ResultsDb other(target);
                    staleOutcome = other.open(&staleError) ? other.storeRun(started, &staleError)
                                                           : ResultsDb::StoreOutcome::Failed;
                },
                [&db] { db.database().commit(); });
            // The stale store waits for the run's row, then the completion commits.
            QTRY_VERIFY_WITH_TIMEOUT(
                [&watcher] {
                    QSqlQuery q(watcher.database());
                    return q.exec(
                               "SELECT COUNT(*) FROM pg_stat_activity WHERE datname = current_database() "
                               "AND wait_event_type = 'Lock'") &&
                           q.next() && q.value(0).toInt() == 1;
                }(),
                20000);
        }
        QCOMPARE(staleOutcome, ResultsDb::StoreOutcome::AlreadyStored);
        QVector<RunRecord> runs;
        QVERIFY(db.loadRuns(&runs, &error) && runs.size() == 1);
        QCOMPARE(runs[0].result, "pass");
    }

    // A spool shared by two processes: removing the copy that was uploaded leaves the newer
    // copy another process has written meanwhile.
    void spoolRemovesOnlyTheCopyItUploaded() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        ResultsDb spool(target);
        QString error;
        QVERIFY2(spool.open(&error), qPrintable(error));
        const RunRecord finished = run("SPOOL-1", "2026-03-02", "A", "pass");
        RunRecord uploaded = finished;
        uploaded.result.clear();
        uploaded.endedAt.clear();
        QVERIFY(spool.recordStart(uploaded, &error));
        QCOMPARE(spool.storeRun(finished, &error), ResultsDb::StoreOutcome::Stored);
        bool removed = true;
        QVERIFY2(spool.removeRun(uploaded, &removed, &error), qPrintable(error));
        QVERIFY(!removed);
        QVector<RunRecord> runs;
        QVERIFY(spool.loadRuns(&runs, &error) && runs.size() == 1);
        QCOMPARE(runs[0].result, "pass");
        QVERIFY(spool.removeRun(finished, &removed, &error) && removed);
        QCOMPARE(spool.runCount(), 0);
    }

    // A server that hangs (its processes stopped, connections open) holds the recorder's
    // shutdown 2 s at most; the run goes to the spool and is stored once when it is back.
    void hungServerCostsTheShutdownTwoSecondsAtMost() {
        QFETCH_GLOBAL(bool, postgres);
        if (!postgres) {
            QSKIP("a hung server is PostgreSQL's");
        }
        HungServer server;
        QVERIFY2(server.isKnown(), "MVX_PG_DIR names no running server (scripts/pg-throwaway.sh start)");
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        const QString spool = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + ".sqlite");
        qint64 shutdownMs = -1;
        {
            auto recorder = std::make_unique<RunRecorder>(RecordsTarget{target, spool, "st-hung"});
            recorder->begin({}, "HUNG-1");
            QVERIFY(recorder->waitWritten(20000));  // connected, the run's row stored
            QVERIFY(server.hang());
            // Should the shutdown wait for the server, the server comes back after 15 s.
            std::mutex mutex;
            std::condition_variable resumed;
            bool done = false;
            Concurrent guard(
                [&] {
                    std::unique_lock<std::mutex> lock(mutex);
                    if (!resumed.wait_for(lock, std::chrono::seconds(15), [&] { return done; })) {
                        server.resume();
                    }
                },
                [&] {
                    std::lock_guard<std::mutex> lock(mutex);
                    done = true;
                    resumed.notify_all();
                });
            recorder->finish(1, QString(), {});
            QElapsedTimer shutdown;
            shutdown.start();
            recorder.reset();
            shutdownMs = shutdown.elapsed();
            guard.join();
            server.resume();
        }
        QVERIFY2(shutdownMs < RunRecorder::kShutdownMs + 1000, qPrintable(QString::number(shutdownMs)));
        QString error;
        QVector<RunRecord> spooled;
        ResultsDb local(DbTarget::sqlite(spool));
        QVERIFY(local.open(&error) && local.loadRuns(&spooled, &error) && spooled.size() == 1);
        QCOMPARE(spooled[0].result, "pass");
        RunRecorder next({target, spool, "st-hung"});
        next.retryUpload();
        QVERIFY(next.waitWritten(20000));
        ResultsDb db(target);
        QVector<RunRecord> stored;
        QVERIFY(db.open(&error) && db.loadRuns(&stored, &error));
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored[0].result, "pass");
        QCOMPARE(local.runCount(), 0);
    }

    // `report` reads: a file or a database that is not a results database is refused and left
    // as it was; dates are checked.
    void reportReadsOnly() {
        QFETCH_GLOBAL(bool, postgres);
        const DbTarget target =
            postgres ? freshTarget(false) : DbTarget::sqlite(m_dir.filePath("other.sqlite"));
        QVERIFY(target.isValid());
        if (!postgres) {
            ResultsDb other(target);  // any SQLite file: give it a table of its own
            QString error;
            QVERIFY(other.open(&error));
            QVERIFY(QSqlQuery(other.database()).exec("DROP TABLE runs"));
            QVERIFY(QSqlQuery(other.database()).exec("DROP TABLE schema_info"));
            QVERIFY(QSqlQuery(other.database()).exec("CREATE TABLE notes (line TEXT)"));
            QVERIFY(QSqlQuery(other.database()).exec("PRAGMA journal_mode=DELETE"));
        }
        const QByteArray before = postgres ? QByteArray() : fileBytes(target.path);
        const MvxctlRun refused = runMvxctl({"report", "--db", target.url()});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("is not a results database"), refused.err.constData());
        if (postgres) {
            ResultsDb look(target, ResultsDb::Access::ReadOnly);
            QString error;
            QVERIFY(!look.open(&error));
            QVERIFY2(error.contains("not a results database"), qPrintable(error));
        } else {
            QCOMPARE(fileBytes(target.path), before);
        }
        const QStringList bad[] = {{"--from", "2026-12-07T00:00"},
                                   {"--to", "7.12.2026"},
                                   {"--from", "2026-03-03", "--to", "2026-03-02"}};
        for (const QStringList &args : bad) {
            const MvxctlRun r = runMvxctl(QStringList{"report", "--db", target.url()} + args);
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains("yyyy-MM-dd") || r.err.contains("is after"), r.err.constData());
        }
    }

    // Runs spooled while the database was away reach it with `mvxctl records upload`, without
    // waiting for the station's next run; while it is still away they stay, and it exits 1.
    void recordsUploadFlushesTheSpool() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        const QString logDir = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128));
        DbTarget away = target;
        away.port = 1;  // nothing listens there
        away.path = "/dev/null/records.sqlite";
        {
            RunRecorder offline(RecordsTarget::inLogFolder(logDir, away, "st-away"));
            offline.begin({}, "UP-1");
            offline.finish(1, QString(), {});
            QVERIFY(offline.waitWritten(20000));
        }
        const MvxctlRun still = runMvxctl({"records", "upload", "--db", away.url(), "--log-dir", logDir});
        QCOMPARE(still.exitCode, 1);
        QVERIFY2(still.err.contains("1 run(s) left"), still.err.constData());
        const MvxctlRun r = runMvxctl({"records", "upload", "--db", target.url(), "--log-dir", logDir});
        QVERIFY2(r.exitCode == 0, (r.out + r.err).constData());
        QVERIFY2(r.out.contains("1 spooled run(s) uploaded"), r.out.constData());
        ResultsDb db(target);
        QString error;
        QVector<RunRecord> runs;
        QVERIFY(db.open(&error) && db.loadRuns(&runs, &error) && runs.size() == 1);
        QCOMPARE(runs[0].result, "pass");
    }

    // The history of a board whose run has not finished: its end is null.
    void historyOfAnUnfinishedRun() {
        const DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        ResultsDb db(target);
        QString error;
        QVERIFY(db.open(&error));
        RunRecord started = run("OPEN-1", "2026-03-02", "A", QString());
        started.endedAt.clear();
        QVERIFY(db.recordStart(started, &error));
        const QJsonObject history = report({"--db", target.url(), "--serial", "OPEN-1"});
        const QJsonObject r = history.value("runs").toArray().at(0).toObject();
        QVERIFY(r.contains("end") && r.value("end").isNull());
        QVERIFY(r.value("result").toString().isEmpty());
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

    // A station meets a server whose schema no administrator has made: it says so, makes
    // nothing there and keeps the run in its spool; after `records init` the run goes up.
    void stationWithoutSchemaSpools() {
        QFETCH_GLOBAL(bool, postgres);
        if (!postgres) {
            QSKIP("an SQLite file is the station's own: it makes its schema");
        }
        const DbTarget target = freshTarget(false);
        QVERIFY(target.isValid());
        const QString spool = m_dir.filePath(QUuid::createUuid().toString(QUuid::Id128) + ".sqlite");
        {
            RunRecorder recorder({target, spool, "st-new"});
            QString note;
            connect(&recorder, &RunRecorder::note, this, [&note](const QString &text) { note = text; });
            recorder.begin({}, "INIT-1");
            recorder.finish(1, QString(), {});
            QVERIFY(recorder.waitWritten(20000));
            QTRY_VERIFY2(note.contains("local spool") && note.contains("mvxctl records init"),
                         qPrintable(note));
        }
        ResultsDb look(target, ResultsDb::Access::ReadOnly);
        QString error;
        QVERIFY(!look.open(&error));
        QVERIFY2(error.contains("not a results database"), qPrintable(error));
        const MvxctlRun init = runMvxctl({"records", "init", "--db", target.url()});
        QVERIFY2(init.exitCode == 0, (init.out + init.err).constData());
        RunRecorder station({target, spool, "st-new"});
        station.retryUpload();
        QVERIFY(station.waitWritten(20000));
        ResultsDb db(target);
        QVector<RunRecord> runs;
        QVERIFY2(db.open(&error) && db.loadRuns(&runs, &error), qPrintable(error));
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].result, "pass");
    }

    // The roles of `records init`: a station records whole runs and can take nothing away; a
    // report reads. The server itself refuses the rest.
    void rolesKeepToTheirRights_data() {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("station reads") << "station"
                                       << "SELECT COUNT(*) FROM steps" << true;
        QTest::newRow("station DELETE") << "station"
                                        << "DELETE FROM runs" << false;
        QTest::newRow("station DELETE steps") << "station"
                                              << "DELETE FROM steps" << false;
        QTest::newRow("station TRUNCATE") << "station"
                                          << "TRUNCATE runs" << false;
        QTest::newRow("station DROP") << "station"
                                      << "DROP TABLE runs" << false;
        QTest::newRow("station migrates") << "station"
                                          << "UPDATE schema_info SET version = 2" << false;
        QTest::newRow("report reads") << "report"
                                      << "SELECT COUNT(*) FROM holdings" << true;
        QTest::newRow("report INSERT") << "report"
                                       << "INSERT INTO runs (id, station, serial, day, started_at) "
                                          "VALUES ('r', 's', 'n', 'd', 't')"
                                       << false;
        QTest::newRow("report UPDATE") << "report"
                                       << "UPDATE runs SET result = 'pass'" << false;
        QTest::newRow("report DELETE") << "report"
                                       << "DELETE FROM runs" << false;
    }
    void rolesKeepToTheirRights() {
        QFETCH_GLOBAL(bool, postgres);
        QFETCH(QString, role);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        if (!postgres) {
            QSKIP("roles are the server's");
        }
        const DbTarget target = freshTarget(false);
        QVERIFY(target.isValid());
        const QString suffix = target.database.mid(4);
        const MvxctlRun init = runMvxctl({"records", "init", "--db", target.url(), "--station-role",
                                          "st_" + suffix, "--report-role", "rep_" + suffix});
        QVERIFY2(init.exitCode == 0, (init.out + init.err).constData());
        QVERIFY(asSuperuser({QString("CREATE ROLE station_%1 LOGIN IN ROLE st_%1").arg(suffix),
                             QString("CREATE ROLE report_%1 LOGIN IN ROLE rep_%1").arg(suffix)}));
        DbTarget station = target, report = target;
        station.user = "station_" + suffix;
        report.user = "report_" + suffix;
        // The station's whole run: its start, its completion with steps and holdings.
        ResultsDb stationDb(station);
        QString error;
        QVERIFY2(stationDb.open(&error), qPrintable(error));
        RunRecord done = run("ROLE-1", "2026-03-02", "A", "pass");
        done.steps = {{0, 10, "Tensión", 231.5, 220, 240, 1, done.endedAt}};
        done.holdings = {{"Consigna", 7}};
        RunRecord started = done;
        started.result.clear();
        QVERIFY2(stationDb.recordStart(started, &error), qPrintable(error));
        QCOMPARE(stationDb.storeRun(done, &error), ResultsDb::StoreOutcome::Stored);
        ResultsDb reportDb(report, ResultsDb::Access::ReadOnly);
        QVERIFY2(reportDb.open(&error), qPrintable(error));
        // A connection that is not read-only by itself: the role's rights are what refuse.
        ResultsDb actor(role == "station" ? station : report);
        QVERIFY2(actor.open(&error), qPrintable(error));
        QSqlQuery q(actor.database());
        QCOMPARE(q.exec(statement), allowed);
        QVERIFY2(allowed || q.lastError().text().contains("permission denied") ||
                     q.lastError().text().contains("must be owner"),
                 qPrintable(q.lastError().text()));
        QVector<RunRecord> runs;
        QVERIFY(reportDb.loadRuns(&runs, &error));
        QCOMPARE(runs.size(), 1);
        QCOMPARE(runs[0].steps.size(), 1);
    }

    // A URL that asks for the server's certificate to be checked: the right CA lets the station
    // in over TLS; another CA is refused, and the message says why.
    void tlsVerifiesTheServer_data() {
        QTest::addColumn<QString>("query");  // %1: the certificates' folder
        QTest::addColumn<QString>("refusal");
        QTest::newRow("right CA") << "sslmode=verify-full&sslrootcert=%1/ca.crt" << QString();
        QTest::newRow("another CA") << "sslmode=verify-full&sslrootcert=%1/other-ca.crt"
                                    << "certificate verify failed";
        QTest::newRow("no CA file") << "sslmode=verify-full&sslrootcert=%1/none.crt"
                                    << "root certificate file";
    }
    void tlsVerifiesTheServer() {
        QFETCH_GLOBAL(bool, postgres);
        QFETCH(QString, query);
        QFETCH(QString, refusal);
        if (!postgres) {
            QSKIP("TLS is the server's");
        }
        turnOnTls();
        if (QTest::currentTestFailed()) {
            return;
        }
        DbTarget target = freshTarget();
        QVERIFY(target.isValid());
        QString error;
        QVERIFY(DbTarget::parse(target.url() + "?" + query.arg(m_tls->folder()), &target, &error));
        ResultsDb db(target);
        QCOMPARE(db.open(&error), refusal.isEmpty());
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QSqlQuery q(db.database());
        QVERIFY(!refusal.isEmpty() || (q.exec("SELECT ssl FROM pg_stat_ssl WHERE pid = pg_backend_pid()") &&
                                       q.next() && q.value(0).toBool()));
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
