#include "records/resultsdb.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace {

QString newerSchemaText(int version) {
    return QCoreApplication::translate(
               "ResultsDb",
               "the database has schema version %1; this program knows up to %2: update the program")
        .arg(version)
        .arg(ResultsDb::kSchemaVersion);
}

// The run columns in the order RunRecord lists them; values are bound in the same order.
const char kRunColumns[] =
    "id, station, serial, day, started_at, ended_at, result, failed_step, reason, test_file, "
    "test_sha256, map_file, map_sha256, program_version, drive_model, firmware_version";

// A null QString would reach the database as NULL; texts are stored as typed, empty included.
QVariant text(const QString &s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

QVariant textOrNull(const QString &s) {
    return s.isEmpty() ? QVariant(QVariant::String) : QVariant(s);
}

QVariantList runValues(const RunRecord &r) {
    return {r.id,
            text(r.station),
            text(r.serial),
            text(r.day),
            text(r.startedAt),
            textOrNull(r.endedAt),
            textOrNull(r.result),
            text(r.failedStep),
            text(r.reason),
            text(r.testFile),
            text(r.testSha256),
            text(r.mapFile),
            text(r.mapSha256),
            text(r.programVersion),
            text(r.driveModel),
            text(r.firmwareVersion)};
}

RunRecord runFrom(const QSqlQuery &q) {
    RunRecord r;
    QString *fields[] = {&r.id,        &r.station,        &r.serial,     &r.day,
                         &r.startedAt, &r.endedAt,        &r.result,     &r.failedStep,
                         &r.reason,    &r.testFile,       &r.testSha256, &r.mapFile,
                         &r.mapSha256, &r.programVersion, &r.driveModel, &r.firmwareVersion};
    for (int i = 0; i < int(std::size(fields)); ++i) {
        *fields[i] = q.value(i).toString();
    }
    return r;
}

// Each entry brings a database from the version before it to its own version.
const struct Migration {
    int version;
    QStringList statements;
} kMigrations[] = {
    {1,
     {QStringLiteral(
          "CREATE TABLE runs (id TEXT PRIMARY KEY, station TEXT NOT NULL, serial TEXT NOT NULL, "
          "day TEXT NOT NULL, started_at TEXT NOT NULL, ended_at TEXT, result TEXT, failed_step TEXT, "
          "reason TEXT, test_file TEXT, test_sha256 TEXT, map_file TEXT, map_sha256 TEXT, "
          "program_version TEXT, drive_model TEXT, firmware_version TEXT)"),
      QStringLiteral("CREATE INDEX runs_day_station ON runs (day, station)"),
      QStringLiteral("CREATE INDEX runs_serial ON runs (serial, started_at)"),
      QStringLiteral(
          "CREATE TABLE steps (run_id TEXT NOT NULL, seq INTEGER NOT NULL, num INTEGER NOT NULL, "
          "kind INTEGER NOT NULL, text TEXT NOT NULL, res DOUBLE PRECISION, min_value DOUBLE PRECISION, "
          "max_value DOUBLE PRECISION, ok INTEGER NOT NULL, at TEXT, PRIMARY KEY (run_id, seq))"),
      QStringLiteral("CREATE TABLE holdings (run_id TEXT NOT NULL, pos INTEGER NOT NULL, name TEXT NOT NULL, "
                     "value INTEGER NOT NULL, PRIMARY KEY (run_id, pos))")}},
};

QString connectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("mvx-results-%1").arg(next++);
}

QString lastError(const QSqlQuery &q) {
    return q.lastError().text().simplified();
}

// Runs the prepared query; on failure puts the driver's reason in *error.
bool execOr(QSqlQuery &q, QString *error) {
    if (q.exec()) {
        return true;
    }
    *error = lastError(q);
    return false;
}

}  // namespace

ResultsDb::ResultsDb(DbTarget target, Access access)
    : m_target(std::move(target)), m_access(access), m_name(connectionName()) {}

ResultsDb::~ResultsDb() {
    close();
}

bool ResultsDb::isOpen() const {
    return QSqlDatabase::contains(m_name) && database().isOpen();
}

void ResultsDb::close() {
    if (!QSqlDatabase::contains(m_name)) {
        return;
    }
    database().close();
    QSqlDatabase::removeDatabase(m_name);
}

bool ResultsDb::open(QString *error) {
    close();
    if (!connectDatabase(error) || !readySchema(error)) {
        close();
        return false;
    }
    return true;
}

bool ResultsDb::readySchema(QString *error) {
    switch (m_access) {
        case Access::ReadOnly:
            return checkSchema(error);
        case Access::Station:
            // An SQLite file is the station's own; a server's schema is its administrator's.
            return m_target.isPostgres() ? checkStationSchema(error) : prepareSchema(error);
        case Access::Admin:
            break;
    }
    return prepareSchema(error);
}

namespace {

// libpq's options for a connection of this program: a server that stops answering (a hung host,
// a cable pulled) is noticed by the keepalives, and a station's statement that the server
// cannot finish is cancelled, so the run goes to the spool. The URL's own keywords come last
// and win.
QString postgresOptions(const DbTarget &target, ResultsDb::Access access) {
    QStringList options{QStringLiteral("connect_timeout=%1").arg(ResultsDb::kConnectTimeoutS),
                        QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=5"),
                        QStringLiteral("keepalives_interval=2"), QStringLiteral("keepalives_count=3")};
    // An administrator's migration of a large database may take its time: no time-out there.
    if (access == ResultsDb::Access::ReadOnly) {
        options << QStringLiteral("options='-c default_transaction_read_only=on'");
    } else if (access == ResultsDb::Access::Station) {
        options << QStringLiteral("options='-c statement_timeout=%1'").arg(ResultsDb::kStatementTimeoutMs);
    }
    for (const auto &[key, value] : target.options) {
        options << QStringLiteral("%1=%2").arg(key, DbTarget::conninfoValue(value));
    }
    return options.join(QLatin1Char(';'));
}

}  // namespace

bool ResultsDb::connectDatabase(QString *error) {
    QSqlDatabase db;
    const bool readOnly = m_access == Access::ReadOnly;
    if (m_target.isPostgres()) {
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(m_target.host);
        db.setPort(m_target.port);
        db.setDatabaseName(m_target.database);
        db.setUserName(m_target.user);
        db.setConnectOptions(postgresOptions(m_target, m_access));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        if (!readOnly) {
            QDir().mkpath(QFileInfo(m_target.path).absolutePath());
        }
        db.setDatabaseName(m_target.path);
        // Several processes may share one file: wait for a writer instead of failing.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                                 .arg(kSqliteBusyTimeoutMs)
                                 .arg(QLatin1String(readOnly ? ";QSQLITE_OPEN_READONLY" : "")));
    }
    if (!db.isValid()) {
        *error = QCoreApplication::translate("ResultsDb", "the Qt SQL driver for %1 is not installed")
                     .arg(m_target.url());
        return false;
    }
    if (!db.open()) {
        *error = db.lastError().text().simplified();
        return false;
    }
    // Write-ahead logging: readers never wait for a writer, and writers of several stations
    // queue on the busy time-out.
    QSqlQuery wal(db);
    if (!m_target.isPostgres() && !readOnly &&
        !(wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && wal.next() &&
          wal.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0)) {
        *error =
            QCoreApplication::translate("ResultsDb", "cannot switch %1 to write-ahead logging: %2")
                .arg(m_target.path, lastError(wal).isEmpty() ? QStringLiteral("refused") : lastError(wal));
        return false;
    }
    return true;
}

bool ResultsDb::beginWrite(QString *error) {
    QSqlDatabase db = database();
    if (m_target.isPostgres() ? db.transaction() : exec(QStringLiteral("BEGIN IMMEDIATE"), error)) {
        return true;
    }
    if (m_target.isPostgres()) {
        *error = db.lastError().text().simplified();
    }
    return false;
}

bool ResultsDb::exec(const QString &sql, QString *error) {
    QSqlQuery q(database());
    if (!q.exec(sql)) {
        *error = lastError(q);
        return false;
    }
    return true;
}

// -1 when the database has no schema yet.
int ResultsDb::storedVersion(bool *ok) {
    *ok = true;
    if (!database().tables().contains(QStringLiteral("schema_info"))) {
        return -1;
    }
    QSqlQuery q(database());
    *ok = q.exec(QStringLiteral("SELECT MAX(version) FROM schema_info")) && q.next();
    return *ok ? q.value(0).toInt() : 0;
}

bool ResultsDb::checkSchema(QString *error) {
    bool ok = false;
    const int version = storedVersion(&ok);
    if (!ok || version < 0 || !database().tables().contains(QStringLiteral("runs"))) {
        const QString why = database().lastError().text().simplified();
        *error = QCoreApplication::translate("ResultsDb", "%1 is not a results database%2")
                     .arg(m_target.url(), why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why));
        return false;
    }
    if (version > kSchemaVersion) {
        *error = newerSchemaText(version);
        return false;
    }
    return true;
}

bool ResultsDb::checkStationSchema(QString *error) {
    bool ok = false;
    const int version = storedVersion(&ok);
    const QString init =
        QStringLiteral("an administrator runs 'mvxctl records init --db %1'").arg(m_target.url());
    if (!ok) {
        *error = QStringLiteral("cannot read the schema version of %1 (%2)")
                     .arg(m_target.url(), database().lastError().text().simplified());
        return false;
    }
    if (version < 0) {
        *error = QStringLiteral("%1 holds no results schema: %2").arg(m_target.url(), init);
        return false;
    }
    if (version > kSchemaVersion) {
        *error = newerSchemaText(version);
        return false;
    }
    if (version < kSchemaVersion) {
        *error = QStringLiteral("%1 has schema version %2; this program needs %3: %4")
                     .arg(m_target.url())
                     .arg(version)
                     .arg(kSchemaVersion)
                     .arg(init);
        return false;
    }
    return true;
}

bool ResultsDb::prepareSchema(QString *error) {
    QSqlDatabase db = database();
    if (!beginWrite(error)) {
        return false;
    }
    // Stations starting together must not create the tables twice.
    if (m_target.isPostgres() && !exec(QStringLiteral("SELECT pg_advisory_xact_lock(724001)"), error)) {
        db.rollback();
        return false;
    }
    bool ok = false;
    const int version = storedVersion(&ok);
    if (!ok) {
        *error = QCoreApplication::translate("ResultsDb", "cannot read the schema version");
        db.rollback();
        return false;
    }
    if (version > kSchemaVersion) {
        *error = newerSchemaText(version);
        db.rollback();
        return false;
    }
    if (version < kSchemaVersion && !migrate(version, error)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text().simplified();
        return false;
    }
    return true;
}

bool ResultsDb::migrate(int from, QString *error) {
    if (from < 0 && !exec(QStringLiteral("CREATE TABLE schema_info (version INTEGER NOT NULL)"), error)) {
        return false;
    }
    for (const Migration &m : kMigrations) {
        if (m.version <= from) {
            continue;
        }
        for (const QString &sql : m.statements) {
            if (!exec(sql, error)) {
                return false;
            }
        }
    }
    QSqlQuery q(database());
    q.prepare(QStringLiteral("DELETE FROM schema_info"));
    if (!execOr(q, error)) {
        return false;
    }
    q.prepare(QStringLiteral("INSERT INTO schema_info (version) VALUES (?)"));
    q.addBindValue(kSchemaVersion);
    return execOr(q, error);
}

bool ResultsDb::recordStart(const RunRecord &run, QString *error) {
    QSqlQuery q(database());
    const QVariantList values = runValues(run);
    QStringList marks;
    for (int i = 0; i < values.size(); ++i) {
        marks << QStringLiteral("?");
    }
    q.prepare(QStringLiteral("INSERT INTO runs (%1) VALUES (%2) ON CONFLICT (id) DO NOTHING")
                  .arg(QLatin1String(kRunColumns), marks.join(QLatin1Char(','))));
    for (const QVariant &v : values) {
        q.addBindValue(v);
    }
    return execOr(q, error);
}

// Inserts the run or completes its unfinished row; *written is false when the row holds a
// finished run already, which is then left untouched.
bool ResultsDb::writeRunRow(const RunRecord &run, bool *written, QString *error) {
    const QStringList columns = QString::fromLatin1(kRunColumns).split(QStringLiteral(", "));
    QStringList marks, updates;
    for (const QString &c : columns) {
        marks << QStringLiteral("?");
        if (c != QLatin1String("id")) {
            updates << QStringLiteral("%1 = excluded.%1").arg(c);
        }
    }
    QSqlQuery q(database());
    q.prepare(QStringLiteral("INSERT INTO runs (%1) VALUES (%2) ON CONFLICT (id) DO UPDATE SET %3 "
                             "WHERE runs.result IS NULL")
                  .arg(QLatin1String(kRunColumns), marks.join(QLatin1Char(',')),
                       updates.join(QStringLiteral(", "))));
    for (const QVariant &v : runValues(run)) {
        q.addBindValue(v);
    }
    if (!execOr(q, error)) {
        return false;
    }
    *written = q.numRowsAffected() > 0;
    return true;
}

// Steps and holdings are written once, with the run's completion; should a row be there (a
// completion that failed half-way cannot leave one, its transaction is rolled back) it is
// overwritten, not deleted: a station may not delete on the server.
bool ResultsDb::writeDetails(const RunRecord &run, QString *error) {
    QSqlQuery step(database());
    step.prepare(
        QStringLiteral("INSERT INTO steps (run_id, seq, num, kind, text, res, min_value, max_value, ok, at) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (run_id, seq) DO UPDATE SET "
                       "num = excluded.num, kind = excluded.kind, text = excluded.text, res = excluded.res, "
                       "min_value = excluded.min_value, max_value = excluded.max_value, ok = excluded.ok, "
                       "at = excluded.at"));
    for (int i = 0; i < run.steps.size(); ++i) {
        const StepRecord &s = run.steps[i];
        for (const QVariant &v :
             QVariantList{run.id, i, s.num, s.kind, text(s.text), s.res, s.min, s.max, s.ok, text(s.at)}) {
            step.addBindValue(v);
        }
        if (!step.exec()) {
            *error = lastError(step);
            return false;
        }
    }
    QSqlQuery holding(database());
    holding.prepare(
        QStringLiteral("INSERT INTO holdings (run_id, pos, name, value) VALUES (?, ?, ?, ?) ON CONFLICT "
                       "(run_id, pos) DO UPDATE SET name = excluded.name, value = excluded.value"));
    for (int i = 0; i < run.holdings.size(); ++i) {
        for (const QVariant &v : QVariantList{run.id, i, text(run.holdings[i].name), run.holdings[i].value}) {
            holding.addBindValue(v);
        }
        if (!holding.exec()) {
            *error = lastError(holding);
            return false;
        }
    }
    return true;
}

ResultsDb::StoreOutcome ResultsDb::storeRun(const RunRecord &run, QString *error) {
    QSqlDatabase db = database();
    if (!beginWrite(error)) {
        return StoreOutcome::Failed;
    }
    bool written = false;
    if (!writeRunRow(run, &written, error) || (written && !writeDetails(run, error))) {
        db.rollback();
        return StoreOutcome::Failed;
    }
    if (!written) {
        db.rollback();
        return StoreOutcome::AlreadyStored;
    }
    if (!db.commit()) {
        *error = db.lastError().text().simplified();
        db.rollback();
        return StoreOutcome::Failed;
    }
    return StoreOutcome::Stored;
}

bool ResultsDb::loadRuns(QVector<RunRecord> *runs, QString *error) {
    QSqlQuery q(database());
    if (!q.exec(
            QStringLiteral("SELECT %1 FROM runs ORDER BY started_at, id").arg(QLatin1String(kRunColumns)))) {
        *error = lastError(q);
        return false;
    }
    runs->clear();
    while (q.next()) {
        runs->append(runFrom(q));
    }
    for (RunRecord &run : *runs) {
        if (!loadDetails(&run, error)) {
            return false;
        }
    }
    return true;
}

bool ResultsDb::loadDetails(RunRecord *run, QString *error) {
    QSqlQuery q(database());
    q.prepare(
        QStringLiteral("SELECT num, kind, text, res, min_value, max_value, ok, at FROM steps "
                       "WHERE run_id = ? ORDER BY seq"));
    q.addBindValue(run->id);
    if (!execOr(q, error)) {
        return false;
    }
    while (q.next()) {
        run->steps.append({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toString(),
                           q.value(3).toDouble(), q.value(4).toDouble(), q.value(5).toDouble(),
                           q.value(6).toInt(), q.value(7).toString()});
    }
    QSqlQuery h(database());
    h.prepare(QStringLiteral("SELECT name, value FROM holdings WHERE run_id = ? ORDER BY pos"));
    h.addBindValue(run->id);
    if (!h.exec()) {
        *error = lastError(h);
        return false;
    }
    while (h.next()) {
        run->holdings.append({h.value(0).toString(), h.value(1).toInt()});
    }
    return true;
}

bool ResultsDb::removeRun(const RunRecord &copy, bool *removed, QString *error) {
    QSqlDatabase db = database();
    *removed = false;
    if (!beginWrite(error)) {
        return false;
    }
    QSqlQuery row(db);
    row.prepare(
        QStringLiteral("DELETE FROM runs WHERE id = ? AND COALESCE(result, '') = ? AND "
                       "COALESCE(ended_at, '') = ?"));
    for (const QVariant &v : QVariantList{copy.id, text(copy.result), text(copy.endedAt)}) {
        row.addBindValue(v);
    }
    if (!execOr(row, error)) {
        db.rollback();
        return false;
    }
    *removed = row.numRowsAffected() > 0;
    for (const char *sql : {"DELETE FROM steps WHERE run_id = ?", "DELETE FROM holdings WHERE run_id = ?"}) {
        if (!*removed) {
            break;
        }
        QSqlQuery q(db);
        q.prepare(QLatin1String(sql));
        q.addBindValue(copy.id);
        if (!execOr(q, error)) {
            db.rollback();
            *removed = false;
            return false;
        }
    }
    if (!db.commit()) {
        *error = db.lastError().text().simplified();
        db.rollback();
        *removed = false;
        return false;
    }
    return true;
}

int ResultsDb::runCount() {
    QSqlQuery q(database());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM runs")) && q.next() ? q.value(0).toInt() : -1;
}

QString RunRecord::resultName(int result) {
    if (result > 0) {
        return QStringLiteral("pass");
    }
    return result < 0 ? QStringLiteral("fail") : QStringLiteral("cancelled");
}
