// Production records under load and faults, with real stations: 8 `mvxctl test` processes,
// each against a simulated drive of its own, make 50 runs each of a short test (about 1 s)
//   (a) all into one SQLite file in one shared log folder,
//   (b) into PostgreSQL, the server stopped for 10 s in the middle,
//   (c) into PostgreSQL, the server hung (SIGSTOP) for 10 s in the middle;
// then counts what was made, stored, duplicated, left unfinished, spooled and uploaded, and
// lost, and the "locked" messages. Last, the time of `mvxctl report` over 1 000 000 stored runs
// on PostgreSQL and on SQLite (the rows inserted in bulk).
// Usage: bench_records [--stations N] [--runs N] [--fault-s S] [--report-runs N] [--only a|b|c|report]
// (starts and removes its own throwaway server with scripts/pg-throwaway.sh; run as root)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "records/resultsdb.h"
#include "support/pgserver.h"
#include "support/simulateddrive.h"
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

QString writeFile(const QString &path, const QByteArray &text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text);
    }
    return path;
}

// A short production test: read the drive's model, wait 1 s. No serial-number step: the
// serial given with --serial is recorded as it is.
const char kShortTest[] =
    "<ensayo><config><summary_log>true</summary_log><result_log>true</result_log></config>"
    "<ReadInputRegisters><nombre>Modelo</nombre><add>1</add><dir>1</dir><mult>1</mult><min>1</min>"
    "<max>65535</max></ReadInputRegisters><espera>1</espera></ensayo>";

// --- the server ---------------------------------------------------------------------------

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
    qputenv("MVX_PG_DIR", server->dir.toLocal8Bit());
    return !server->dir.isEmpty() && !server->url.isEmpty();
}

struct MvxctlResult {
    int exitCode = -1;
    QString output;
};

MvxctlResult mvxctl(const QStringList &args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(testpaths::mvxctl(), args);
    p.waitForFinished(600000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

qint64 scalar(ResultsDb &db, const QString &sql) {
    QSqlQuery q(db.database());
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

// A new database on the server, made ready by `mvxctl records init`, and a station's login in
// its role: the stations write as stations, not as the superuser.
bool newDatabase(const Server &server, const QString &name, DbTarget *station) {
    DbTarget admin;
    QString error;
    DbTarget::parse(server.url, &admin, &error);
    ResultsDb postgres(admin, ResultsDb::Access::Admin);
    if (!postgres.open(&error) ||
        !QSqlQuery(postgres.database()).exec(QStringLiteral("CREATE DATABASE %1").arg(name))) {
        out() << "cannot create " << name << ": " << error << "\n";
        return false;
    }
    *station = admin;
    station->database = name;
    const MvxctlResult init =
        mvxctl({QStringLiteral("records"), QStringLiteral("init"), QStringLiteral("--db"), station->url()});
    if (init.exitCode != 0) {
        out() << "records init: " << init.output;
        return false;
    }
    // Made once; the role's rights are given in each database by its init.
    QSqlQuery(postgres.database())
        .exec(QStringLiteral("CREATE ROLE bench_station LOGIN IN ROLE mvx_station"));
    station->user = QStringLiteral("bench_station");
    return true;
}

// --- the stations -------------------------------------------------------------------------

struct Tally {
    int made = 0;                // runs whose verdict was printed
    QSet<QString> spooled;       // runs said to be "stored in the local spool"
    int uploaded = 0;            // runs uploaded from a spool (by a later run or by `records upload`)
    int locked = 0;              // lines that say "locked"
    int notWritten = 0;          // "could not be recorded" lines
    QVector<qint64> runMs;       // from the start of `mvxctl test` to its end
    QVector<qint64> verdictMs;   // from its start to "Resultado:"
    QVector<qint64> faultRunMs;  // runs that overlapped the fault
    QVector<qint64> faultVerdictMs;
};

int uploadedIn(const QString &text) {
    static const QRegularExpression line(QStringLiteral("(\\d+) spooled run\\(s\\) uploaded"));
    int n = 0;
    for (auto it = line.globalMatch(text); it.hasNext();) {
        n += it.next().captured(1).toInt();
    }
    return n;
}

void countOutput(const QString &text, Tally *tally) {
    tally->made += text.count(QStringLiteral("Resultado: "));
    static const QRegularExpression spooled(QStringLiteral("Run (\\S+) stored in the local spool"));
    for (auto it = spooled.globalMatch(text); it.hasNext();) {
        tally->spooled.insert(it.next().captured(1));
    }
    tally->uploaded += uploadedIn(text);
    tally->locked += text.count(QStringLiteral("locked"), Qt::CaseInsensitive);
    tally->notWritten += text.count(QStringLiteral("could not be recorded"));
}

struct Fault {
    int atS = 0;
    int lengthS = 0;
    std::function<void()> begin;
    std::function<void()> end;
};

// One station: its drive, its log folder, its runs one after another.
class Station {
  public:
    Station(QString name, QString endpoint, QStringList commonArgs, QString logDir, int runs)
        : m_name(std::move(name)),
          m_endpoint(std::move(endpoint)),
          m_args(std::move(commonArgs)),
          m_logDir(std::move(logDir)),
          m_runs(runs) {}

    void startNext(Tally *tally, const std::function<bool(qint64, qint64)> &overlapsFault,
                   const QElapsedTimer &clock, const std::function<void()> &allDone) {
        if (m_done == m_runs) {
            allDone();
            return;
        }
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::MergedChannels);
        const qint64 startedAt = clock.elapsed();
        m_output.clear();
        m_verdictAt = -1;
        QObject::connect(m_process.get(), &QProcess::readyRead, [this, &clock] {
            m_output += m_process->readAll();
            if (m_verdictAt < 0 && m_output.contains("Resultado: ")) {
                m_verdictAt = clock.elapsed();
            }
        });
        QObject::connect(m_process.get(), qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
                         [this, tally, overlapsFault, &clock, allDone, startedAt] {
                             m_output += m_process->readAll();
                             countOutput(QString::fromUtf8(m_output), tally);
                             const qint64 took = clock.elapsed() - startedAt;
                             const qint64 verdict =
                                 (m_verdictAt < 0 ? clock.elapsed() : m_verdictAt) - startedAt;
                             tally->runMs << took;
                             tally->verdictMs << verdict;
                             if (overlapsFault(startedAt, clock.elapsed())) {
                                 tally->faultRunMs << took;
                                 tally->faultVerdictMs << verdict;
                             }
                             ++m_done;
                             QTimer::singleShot(0, [this, tally, overlapsFault, &clock, allDone] {
                                 startNext(tally, overlapsFault, clock, allDone);
                             });
                         });
        m_process->start(
            testpaths::mvxctl(),
            m_args + QStringList{QStringLiteral("--port"), m_endpoint, QStringLiteral("--serial"),
                                 QStringLiteral("%1-%2").arg(m_name).arg(m_done, 3, 10, QLatin1Char('0')),
                                 QStringLiteral("--station"), m_name, QStringLiteral("--log-dir"), m_logDir});
    }

    const QString &logDir() const { return m_logDir; }

  private:
    QString m_name, m_endpoint;
    QStringList m_args;
    QString m_logDir;
    int m_runs;
    int m_done = 0;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_output;
    qint64 m_verdictAt = -1;
};

struct Drives {
    std::vector<std::unique_ptr<SimulatedBus>> buses;

    bool start(int n) {
        for (int i = 0; i < n; ++i) {
            auto bus = std::make_unique<SimulatedBus>();
            bus->transport = Transport::Tcp;
            SimulatedDrive::Options options;
            options.mapFile = testpaths::example(QStringLiteral("drive-map.xml"));
            QString error;
            if (!bus->start(options, &error)) {
                out() << "cannot start a simulated drive: " << error << "\n";
                return false;
            }
            buses.push_back(std::move(bus));
        }
        return true;
    }
};

qint64 medianMs(QVector<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Runs every station to its end, with the fault in the middle; the tally of their outputs.
Tally runStations(const Drives &drives, const QString &db, const std::function<QString(int)> &logDir,
                  int runs, const QString &testPath, const Fault &fault) {
    const QStringList common{QStringLiteral("test"),
                             QStringLiteral("--map"),
                             testpaths::example(QStringLiteral("drive-map.xml")),
                             QStringLiteral("--test"),
                             testPath,
                             QStringLiteral("--db"),
                             db};
    std::vector<std::unique_ptr<Station>> stations;
    for (size_t i = 0; i < drives.buses.size(); ++i) {
        stations.push_back(std::make_unique<Station>(
            QStringLiteral("st%1").arg(i), drives.buses[i]->endpoint(), common, logDir(int(i)), runs));
    }
    Tally tally;
    QElapsedTimer clock;
    clock.start();
    qint64 faultFrom = -1, faultTo = -1;
    const auto overlapsFault = [&faultFrom, &faultTo](qint64 from, qint64 to) {
        return faultFrom >= 0 && from < (faultTo < 0 ? to : faultTo) && to > faultFrom;
    };
    QEventLoop loop;
    int running = int(stations.size());
    const auto stationDone = [&running, &loop] {
        if (--running == 0) {
            loop.quit();
        }
    };
    if (fault.begin) {
        QTimer::singleShot(fault.atS * 1000, [&] {
            fault.begin();
            faultFrom = clock.elapsed();
            out() << "  fault begins at " << faultFrom / 1000.0 << " s\n";
            out().flush();
            QTimer::singleShot(fault.lengthS * 1000, [&] {
                fault.end();
                faultTo = clock.elapsed();
                out() << "  fault ends at " << faultTo / 1000.0 << " s\n";
                out().flush();
            });
        });
    }
    for (auto &station : stations) {
        station->startNext(&tally, overlapsFault, clock, stationDone);
    }
    loop.exec();
    out() << "  stations done at " << clock.elapsed() / 1000.0 << " s\n";
    // What is still in a spool (a station's last runs during the fault) goes up by hand.
    QStringList folders;
    for (auto &station : stations) {
        if (!folders.contains(station->logDir())) {
            folders << station->logDir();
        }
    }
    for (const QString &folder : qAsConst(folders)) {
        const MvxctlResult upload = mvxctl({QStringLiteral("records"), QStringLiteral("upload"),
                                            QStringLiteral("--db"), db, QStringLiteral("--log-dir"), folder});
        tally.uploaded += uploadedIn(upload.output);
        if (upload.exitCode != 0) {
            out() << "  records upload " << folder << ": exit " << upload.exitCode << ": " << upload.output;
        }
    }
    return tally;
}

void printTally(const QString &scenario, const DbTarget &target, const Tally &tally, int runs) {
    ResultsDb db(target, ResultsDb::Access::ReadOnly);
    QString error;
    if (!db.open(&error)) {
        out() << scenario << ": cannot read " << target.url() << ": " << error << "\n";
        return;
    }
    const qint64 rows = scalar(db, QStringLiteral("SELECT COUNT(*) FROM runs"));
    const qint64 distinct = scalar(db, QStringLiteral("SELECT COUNT(DISTINCT serial) FROM runs"));
    const qint64 unfinished = scalar(db, QStringLiteral("SELECT COUNT(*) FROM runs WHERE result IS NULL"));
    const qint64 steps = scalar(db, QStringLiteral("SELECT COUNT(*) FROM steps"));
    out() << QStringLiteral(
                 "%1: runs made %2 of %3; stored %4 (distinct boards %5); duplicates %6; unfinished %7; "
                 "lost %8; step rows %9; spooled %10, uploaded from spools %11; not recorded anywhere %12; "
                 "\"locked\" messages %13; median run %14 s, to the verdict %15 s")
                 .arg(scenario)
                 .arg(tally.made)
                 .arg(runs)
                 .arg(rows)
                 .arg(distinct)
                 .arg(rows - distinct)
                 .arg(unfinished)
                 .arg(tally.made - distinct)
                 .arg(steps)
                 .arg(tally.spooled.size())
                 .arg(tally.uploaded)
                 .arg(tally.notWritten)
                 .arg(tally.locked)
                 .arg(medianMs(tally.runMs) / 1000.0, 0, 'f', 2)
                 .arg(medianMs(tally.verdictMs) / 1000.0, 0, 'f', 2);
    if (!tally.faultRunMs.isEmpty()) {
        const qint64 longest = *std::max_element(tally.faultRunMs.cbegin(), tally.faultRunMs.cend());
        const qint64 longestVerdict =
            *std::max_element(tally.faultVerdictMs.cbegin(), tally.faultVerdictMs.cend());
        out() << QStringLiteral(
                     "; %1 runs overlapped the fault: the longest took %2 s (%3 s more than the median), the "
                     "latest verdict came after %4 s (%5 s more than the median)")
                     .arg(tally.faultRunMs.size())
                     .arg(longest / 1000.0, 0, 'f', 2)
                     .arg((longest - medianMs(tally.runMs)) / 1000.0, 0, 'f', 2)
                     .arg(longestVerdict / 1000.0, 0, 'f', 2)
                     .arg((longestVerdict - medianMs(tally.verdictMs)) / 1000.0, 0, 'f', 2);
    }
    out() << "\n";
    out().flush();
}

// --- the report over many runs ----------------------------------------------------------------

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
    ResultsDb db(target, ResultsDb::Access::Admin);
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
    if (target.isPostgres()) {  // as autovacuum leaves a table that has settled
        QSqlQuery(db.database()).exec(QStringLiteral("VACUUM ANALYZE runs"));
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
    out().flush();
}

int runBench(const QStringList &args) {
    const int stationCount = option(args, QStringLiteral("--stations"), 8);
    const int runs = option(args, QStringLiteral("--runs"), 50);
    const int faultS = option(args, QStringLiteral("--fault-s"), 10);
    const int reportRuns = option(args, QStringLiteral("--report-runs"), 1000000);
    const QString only = optionText(args, QStringLiteral("--only"));
    const auto wanted = [&only](const char *part) { return only.isEmpty() || only == QLatin1String(part); };
    Server server;
    if (!startServer(&server)) {
        out() << "cannot start PostgreSQL (scripts/pg-throwaway.sh start)\n";
        return 1;
    }
    out() << "server " << server.url << "\n";
    out().flush();
    QTemporaryDir dir;
    const QString testPath = writeFile(dir.filePath(QStringLiteral("short-test.xml")), kShortTest);
    Drives drives;
    if ((wanted("a") || wanted("b") || wanted("c")) && !drives.start(stationCount)) {
        pg({QStringLiteral("stop"), server.dir});
        return 1;
    }
    const int made = stationCount * runs;
    // In the middle of the stations' work (a run takes about 1.5 s).
    const int faultAtS = std::max(2, runs * 3 / 2 / 3);
    if (wanted("a")) {
        out() << "(a) " << stationCount << " stations x " << runs
              << " runs, one SQLite file in one log folder\n";
        const QString shared = dir.filePath(QStringLiteral("shared-log"));
        const DbTarget file = DbTarget::sqlite(shared + QStringLiteral("/mvx-records.sqlite"));
        const Tally tally = runStations(
            drives, file.url(), [&shared](int) { return shared; }, runs, testPath, Fault());
        printTally(QStringLiteral("(a) SQLite"), file, tally, made);
    }
    const struct {
        const char *part;
        const char *title;
        std::function<void()> begin, end;
    } faults[] = {
        {"b", "(b) PostgreSQL stopped",
         [&server] {
             pg({QStringLiteral("halt"), server.dir});
         },
         [&server] {
             pg({QStringLiteral("resume"), server.dir});
         }},
        {"c", "(c) PostgreSQL hung (SIGSTOP)", nullptr, nullptr},
    };
    HungServer hung;
    for (const auto &f : faults) {
        if (!wanted(f.part)) {
            continue;
        }
        DbTarget station;
        const QString name = QStringLiteral("bench_%1").arg(QLatin1String(f.part));
        if (!newDatabase(server, name, &station)) {
            continue;
        }
        out() << f.title << " for " << faultS << " s after " << faultAtS << " s: " << stationCount
              << " stations x " << runs << " runs as " << station.user << "\n";
        const QString logs = dir.filePath(name);
        Fault fault{faultAtS, faultS, f.begin, f.end};
        if (!fault.begin) {
            fault.begin = [&hung] { hung.hang(); };
            fault.end = [&hung] { hung.resume(); };
        }
        const Tally tally = runStations(
            drives, station.url(), [&logs](int i) { return logs + QStringLiteral("/st%1").arg(i); }, runs,
            testPath, fault);
        printTally(QLatin1String(f.title), station, tally, made);
    }
    if (wanted("report")) {
        DbTarget big;
        QString error;
        DbTarget::parse(server.url, &big, &error);
        {
            ResultsDb postgres(big, ResultsDb::Access::Admin);
            if (postgres.open(&error)) {
                QSqlQuery(postgres.database()).exec(QStringLiteral("CREATE DATABASE bench_report"));
            }
        }
        big.database = QStringLiteral("bench_report");
        loadAndTime(big, reportRuns);
        loadAndTime(DbTarget::sqlite(dir.filePath(QStringLiteral("report.sqlite"))), reportRuns);
    }
    pg({QStringLiteral("stop"), server.dir});
    return 0;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    return runBench(app.arguments());
}
