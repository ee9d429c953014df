// Production records under load and faults: 8 station processes record 500 runs each into one
// PostgreSQL server through the recording API while the server is stopped for 10 s in the
// middle; then the time of `mvxctl report` over 100 000 stored runs on PostgreSQL and SQLite.
// Usage: bench_records [--stations N] [--runs N] [--outage-s S] [--report-runs N]
// (starts and removes its own throwaway server with scripts/pg-throwaway.sh; run as root)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include "records/resultsdb.h"
#include "records/runrecorder.h"
#include "support/testpaths.h"

namespace {

QTextStream &out() {
    static QTextStream stream(stdout);
    return stream;
}

int option(const QStringList &args, const QString &name, int fallback) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : fallback;
}

QString optionText(const QStringList &args, const QString &name) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : QString();
}

// --- one station ------------------------------------------------------------------------

int spooled(const QString &path) {
    if (!QFile::exists(path)) {
        return 0;
    }
    ResultsDb spool(DbTarget::sqlite(path));
    QString error;
    return spool.open(&error) ? spool.runCount() : -1;
}

int runStation(const QStringList &args) {
    DbTarget db;
    QString error;
    DbTarget::parse(optionText(args, QStringLiteral("--db")), &db, &error);
    const QString station = optionText(args, QStringLiteral("--station"));
    const int runs = option(args, QStringLiteral("--runs"), 500);
    RecordsTarget target = RecordsTarget::inLogFolder(optionText(args, QStringLiteral("--dir")), db, station);
    target.retryMs = 1000;
    RunRecorder recorder(target);
    int passed = 0, failed = 0, cancelled = 0;
    for (int i = 0; i < runs; ++i) {
        recorder.begin({}, QStringLiteral("%1-%2").arg(station).arg(i, 4, 10, QLatin1Char('0')));
        const int result = i % 50 == 49 ? 0 : (i % 7 == 3 ? -1 : 1);
        for (int step = 0; step < 5; ++step) {
            const int ok = result < 0 && step == 4 ? -1 : 1;
            recorder.step(step, 10, QStringLiteral("Paso %1").arg(step), 1.5f * float(step), 0, 10, ok, true);
        }
        recorder.finish(result, QString(), {});
        (result > 0 ? passed : result < 0 ? failed : cancelled)++;
        QThread::msleep(40);
        QCoreApplication::processEvents();
    }
    recorder.waitWritten(120000);
    // Whatever the outage left in the spool goes up before the station reports.
    for (int tries = 0; tries < 120 && spooled(target.spoolPath) != 0; ++tries) {
        recorder.retryUpload();
        recorder.waitWritten(60000);
        QThread::msleep(500);
    }
    out() << QStringLiteral("%1 %2 %3 %4 %5\n")
                 .arg(station)
                 .arg(passed)
                 .arg(failed)
                 .arg(cancelled)
                 .arg(spooled(target.spoolPath));
    return 0;
}

// --- the controller -----------------------------------------------------------------------

struct Server {
    QString dir;
    QString url;
};

bool pg(const QStringList &args, QString *output = nullptr) {
    QProcess p;
    p.start(QStringLiteral("bash"),
            QStringList{testpaths::sourceDir() + QStringLiteral("/scripts/pg-throwaway.sh")} + args);
    p.waitForFinished(120000);
    if (output != nullptr) {
        *output = QString::fromUtf8(p.readAllStandardOutput());
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool startServer(Server *server) {
    QString text;
    if (!pg({QStringLiteral("start")}, &text)) {
        return false;
    }
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString value = line.section(QLatin1Char('='), 1);
        (line.contains(QLatin1String("MVX_PG_DIR")) ? server->dir : server->url) = value;
    }
    return !server->dir.isEmpty() && !server->url.isEmpty();
}

qint64 scalar(ResultsDb &db, const QString &sql) {
    QSqlQuery q(db.database());
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

QJsonObject report(const QString &url, qint64 *ms) {
    QElapsedTimer timer;
    timer.start();
    QProcess p;
    p.start(testpaths::mvxctl(),
            {QStringLiteral("report"), QStringLiteral("--db"), url, QStringLiteral("--json")});
    p.waitForFinished(600000);
    *ms = timer.elapsed();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

void loadAndTime(const DbTarget &target, int runs) {
    ResultsDb db(target);
    QString error;
    if (!db.open(&error)) {
        out() << "cannot open " << target.url() << ": " << error << "\n";
        return;
    }
    QElapsedTimer timer;
    timer.start();
    QSqlQuery q(db.database());
    const QString day = QStringLiteral("'2026-0' || (1 + g % 9) || '-' || (10 + g % 18)");
    const bool loaded = q.exec(
        QStringLiteral(
            "INSERT INTO runs (id, station, serial, day, started_at, ended_at, result, failed_step, reason, "
            "test_file, test_sha256, map_file, map_sha256, program_version, drive_model, firmware_version) "
            "WITH RECURSIVE n(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM n WHERE g < %1) "
            "SELECT 'bench-' || g, 'st' || (g % 8), 'SN' || (g / 3), %2, %2 || 'T08:00:00.' || g, "
            "%2 || 'T08:01:00.' || g, CASE WHEN g % 10 = 0 THEN 'fail' WHEN g % 97 = 0 THEN 'cancelled' "
            "ELSE 'pass' END, CASE WHEN g % 10 = 0 THEN 'Paso ' || (g % 7) ELSE '' END, '', "
            "'production-test.xml', '', 'drive-map.xml', '', '0.1.0', '4', '203' FROM n")
            .arg(runs)
            .arg(day));
    if (!loaded) {
        out() << "loading failed: " << q.lastError().text() << "\n";
        return;
    }
    const qint64 loadMs = timer.elapsed();
    qint64 ms = 0;
    const QJsonObject r = report(target.url(), &ms);
    qint64 ms2 = 0;
    report(target.url(), &ms2);
    out() << QStringLiteral(
                 "%1: %2 runs loaded in %3 ms; mvxctl report --json: %4 ms, again %5 ms (runs %6, boards "
                 "%7, first-pass yield %8)\n")
                 .arg(target.isPostgres() ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"))
                 .arg(runs)
                 .arg(loadMs)
                 .arg(ms)
                 .arg(ms2)
                 .arg(r.value(QStringLiteral("runs")).toInt())
                 .arg(r.value(QStringLiteral("boards")).toInt())
                 .arg(r.value(QStringLiteral("first_pass_yield")).toDouble());
}

int runController(const QStringList &args) {
    const int stations = option(args, QStringLiteral("--stations"), 8);
    const int runs = option(args, QStringLiteral("--runs"), 500);
    const int outageS = option(args, QStringLiteral("--outage-s"), 10);
    const int reportRuns = option(args, QStringLiteral("--report-runs"), 100000);
    Server server;
    if (!startServer(&server)) {
        out() << "cannot start PostgreSQL (scripts/pg-throwaway.sh start)\n";
        return 1;
    }
    out() << "server " << server.url << "\n";
    out().flush();
    QTemporaryDir dir;
    QList<QProcess *> procs;
    for (int i = 0; i < stations; ++i) {
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--station"), QStringLiteral("st%1").arg(i), QStringLiteral("--db"),
                  server.url, QStringLiteral("--runs"), QString::number(runs), QStringLiteral("--dir"),
                  dir.filePath(QStringLiteral("st%1").arg(i))});
        procs << p;
    }
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(5);
    pg({QStringLiteral("halt"), server.dir});
    out() << "server stopped at " << clock.elapsed() / 1000.0 << " s\n";
    out().flush();
    QThread::sleep(outageS);
    pg({QStringLiteral("resume"), server.dir});
    out() << "server back at " << clock.elapsed() / 1000.0 << " s\n";
    out().flush();
    int wrote = 0, passed = 0, failed = 0, cancelled = 0, leftInSpool = 0;
    for (QProcess *p : procs) {
        p->waitForFinished(-1);
        const QStringList f = QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char(' '));
        passed += f.value(1).toInt();
        failed += f.value(2).toInt();
        cancelled += f.value(3).toInt();
        leftInSpool += f.value(4).toInt();
        delete p;
    }
    wrote = passed + failed + cancelled;
    out() << "stations done at " << clock.elapsed() / 1000.0 << " s\n";
    DbTarget target;
    QString error;
    DbTarget::parse(server.url, &target, &error);
    ResultsDb db(target);
    if (db.open(&error)) {
        const qint64 stored = scalar(db, QStringLiteral("SELECT COUNT(*) FROM runs"));
        const qint64 distinctBoards = scalar(db, QStringLiteral("SELECT COUNT(DISTINCT serial) FROM runs"));
        const qint64 unfinished =
            scalar(db, QStringLiteral("SELECT COUNT(*) FROM runs WHERE result IS NULL"));
        const qint64 steps = scalar(db, QStringLiteral("SELECT COUNT(*) FROM steps"));
        out() << QStringLiteral(
                     "runs stored: %1 of %2; duplicates: %3; unfinished: %4; steps: %5 of %6; still "
                     "in spools: %7\n")
                     .arg(stored)
                     .arg(wrote)
                     .arg(stored - distinctBoards)
                     .arg(unfinished)
                     .arg(steps)
                     .arg(wrote * 5)
                     .arg(leftInSpool);
        qint64 ms = 0;
        const QJsonObject r = report(server.url, &ms);
        const bool equal = r.value(QStringLiteral("runs")).toInt() == wrote &&
                           r.value(QStringLiteral("passed")).toInt() == passed &&
                           r.value(QStringLiteral("failed")).toInt() == failed &&
                           r.value(QStringLiteral("cancelled")).toInt() == cancelled;
        out() << QStringLiteral(
                     "report totals: runs %1 passed %2 failed %3 cancelled %4; stations wrote %5/%6/%7/%8: "
                     "%9\n")
                     .arg(r.value(QStringLiteral("runs")).toInt())
                     .arg(r.value(QStringLiteral("passed")).toInt())
                     .arg(r.value(QStringLiteral("failed")).toInt())
                     .arg(r.value(QStringLiteral("cancelled")).toInt())
                     .arg(wrote)
                     .arg(passed)
                     .arg(failed)
                     .arg(cancelled)
                     .arg(equal ? QStringLiteral("equal") : QStringLiteral("DIFFERENT"));
        QSqlQuery(db.database()).exec(QStringLiteral("CREATE DATABASE bench_report"));
    }
    out().flush();
    DbTarget big = target;
    big.database = QStringLiteral("bench_report");
    loadAndTime(big, reportRuns);
    loadAndTime(DbTarget::sqlite(dir.filePath(QStringLiteral("report.sqlite"))), reportRuns);
    pg({QStringLiteral("stop"), server.dir});
    return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // The drivers' complaints about the stopped server are expected; the figures tell the story.
    QLoggingCategory::setFilterRules(args.contains(QStringLiteral("--station"))
                                         ? QStringLiteral("*=false")
                                         : QStringLiteral("*.debug=false"));
    return args.contains(QStringLiteral("--station")) ? runStation(args) : runController(args);
}
