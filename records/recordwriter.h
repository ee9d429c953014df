#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "records/dburl.h"
#include "records/runrecord.h"
#include "records/runreport.h"

class QTimer;
class ResultsDb;

// Writes runs to the results database from a thread of its own, so that a slow or absent
// server never holds up a test. A run that cannot be written goes to a local SQLite spool,
// which is uploaded when the database answers again; a run id is stored once, however often
// the upload is tried.
//
// Threads: lives in the recorder's writer thread; the recorder reaches it only through
// queued calls, and it answers with queued signals.
class RecordWriter : public QObject {
    Q_OBJECT
  public:
    RecordWriter(DbTarget target, QString spoolPath, int retryMs);
    ~RecordWriter() override;

    void writeStart(const RunRecord &run);
    void writeComplete(const RunRecord &run);
    // Moves what the spool holds into the database; quiet when there is nothing to move.
    void uploadSpool();
    void queryToday(const QString &station, const QString &day);
    void queryBoard(const QString &serial, const QString &excludeId);
    int spooledRuns();

  signals:
    // A line for the operator (where a run went, an upload, a problem).
    void note(QString text);
    void todayFigures(YieldFigures figures);
    void boardHistory(QString serial, QVector<BoardRun> runs);

  private:
    ResultsDb *primary(QString *error);
    ResultsDb *spool(QString *error);
    void toSpool(const RunRecord &run, bool complete, const QString &why);
    void armRetry();
    bool hasRecords() const;

    DbTarget m_target;
    QString m_spoolPath;
    int m_retryMs;
    std::unique_ptr<ResultsDb> m_primary;
    std::unique_ptr<ResultsDb> m_spool;
    QTimer *m_retry = nullptr;
    bool m_primaryWasDown = false;
};
