#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include "records/dburl.h"
#include "records/runrecord.h"

// One connection to a results database (SQLite or PostgreSQL) and the statements that store
// and read runs. Every value reaches the SQL as a bound parameter. The schema carries a
// version; an administrator's connection creates it or brings it up to date (on SQLite, a
// station's does too: the file is the station's own).
//
// Threads: a connection belongs to the thread that opens it; use the object there only.
class ResultsDb {
  public:
    static constexpr int kSchemaVersion = 1;
    // Seconds libpq waits for a server before giving up.
    static constexpr int kConnectTimeoutS = 2;
    // A station's statement that the server has not finished in this time is cancelled.
    static constexpr int kStatementTimeoutMs = 10000;
    // How long an SQLite writer waits for another process's write to end.
    static constexpr int kSqliteBusyTimeoutMs = 10000;

    // Station: writes runs; on a server the schema must be there already (`mvxctl records
    //   init`), a station never creates nor migrates it there.
    // ReadOnly: reports; the database must already be a results database and is not changed.
    // Admin: creates the schema or brings it up to date (`mvxctl records init`).
    enum class Access { Station, ReadOnly, Admin };

    explicit ResultsDb(DbTarget target, Access access = Access::Station);
    ~ResultsDb();
    ResultsDb(const ResultsDb &) = delete;
    ResultsDb &operator=(const ResultsDb &) = delete;

    const DbTarget &target() const { return m_target; }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    bool isOpen() const;
    // Connects and prepares the schema; false with the reason.
    bool open(QString *error);
    void close();

    // The row of a run that has just started; nothing when the run is already there.
    bool recordStart(const RunRecord &run, QString *error);
    enum class StoreOutcome { Stored, AlreadyStored, Failed };
    // The whole run in one transaction: its row, its steps and its holdings. A finished run
    // already in the database is left as it is (the statement itself says so, so that two
    // stations storing one run at once cannot un-finish it): storing a run again adds nothing.
    StoreOutcome storeRun(const RunRecord &run, QString *error);

    // Every run with its steps and holdings (for a spool: small by nature).
    bool loadRuns(QVector<RunRecord> *runs, QString *error);
    // Removes the copy of a run that was read from here, and only that copy: when another
    // process has stored a newer one (the run finished meanwhile), that one stays. *removed
    // says whether the row went.
    bool removeRun(const RunRecord &copy, bool *removed, QString *error);
    int runCount();

  private:
    bool connectDatabase(QString *error);
    // A write transaction; on SQLite it takes the write lock at once (waiting for the busy
    // time-out) instead of failing when a read has to become a write.
    bool beginWrite(QString *error);
    bool readySchema(QString *error);
    bool prepareSchema(QString *error);
    bool checkSchema(QString *error);
    bool checkStationSchema(QString *error);
    bool migrate(int from, QString *error);
    int storedVersion(bool *ok);
    bool exec(const QString &sql, QString *error);
    bool writeRunRow(const RunRecord &run, bool *written, QString *error);
    bool writeDetails(const RunRecord &run, QString *error);
    bool loadDetails(RunRecord *run, QString *error);

    DbTarget m_target;
    Access m_access;
    QString m_name;
};
