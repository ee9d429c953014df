#include "records/recordwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include "records/resultsdb.h"

RecordWriter::RecordWriter(DbTarget target, QString spoolPath, int retryMs)
    : m_target(std::move(target)), m_spoolPath(std::move(spoolPath)), m_retryMs(retryMs) {}

RecordWriter::~RecordWriter() = default;

ResultsDb *RecordWriter::primary(QString *error) {
    if (!m_primary) {
        m_primary = std::make_unique<ResultsDb>(m_target);
    }
    if (!m_primary->isOpen() && !m_primary->open(error)) {
        return nullptr;
    }
    return m_primary.get();
}

ResultsDb *RecordWriter::spool(QString *error) {
    if (!m_spool) {
        m_spool = std::make_unique<ResultsDb>(DbTarget::sqlite(m_spoolPath));
    }
    if (!m_spool->isOpen() && !m_spool->open(error)) {
        return nullptr;
    }
    return m_spool.get();
}

void RecordWriter::writeStart(const RunRecord &run) {
    uploadSpool();
    QString error;
    ResultsDb *db = primary(&error);
    if (db != nullptr && db->recordStart(run, &error)) {
        return;
    }
    if (db != nullptr) {
        db->close();  // a broken connection is opened afresh next time
    }
    toSpool(run, false, error);
}

void RecordWriter::writeComplete(const RunRecord &run) {
    QString error;
    ResultsDb *db = primary(&error);
    if (db != nullptr && db->storeRun(run, &error) != ResultsDb::StoreOutcome::Failed) {
        emit note(
            QCoreApplication::translate("RecordWriter", "Run %1 stored in %2").arg(run.id, m_target.url()));
        return;
    }
    if (db != nullptr) {
        db->close();
    }
    toSpool(run, true, error);
}

void RecordWriter::toSpool(const RunRecord &run, bool complete, const QString &why) {
    QString error;
    ResultsDb *db = spool(&error);
    const bool stored =
        db != nullptr && (complete ? db->storeRun(run, &error) != ResultsDb::StoreOutcome::Failed
                                   : db->recordStart(run, &error));
    if (!stored) {
        emit note(QCoreApplication::translate(
                      "RecordWriter",
                      "<font color='red'>Run %1 could not be recorded: %2 (%3); spool %4: %5</font>")
                      .arg(run.id, m_target.url(), why, QDir::toNativeSeparators(m_spoolPath), error));
        return;
    }
    if (complete || !m_primaryWasDown) {
        emit note(QCoreApplication::translate(
                      "RecordWriter",
                      "<font color='orange'>Run %1 stored in the local spool %2: %3 cannot be written "
                      "(%4). It is uploaded when the database answers again.</font>")
                      .arg(run.id, QDir::toNativeSeparators(m_spoolPath), m_target.url(), why));
    }
    m_primaryWasDown = true;
    armRetry();
}

void RecordWriter::armRetry() {
    if (m_retry == nullptr) {
        m_retry = new QTimer(this);
        m_retry->setSingleShot(true);
        connect(m_retry, &QTimer::timeout, this, &RecordWriter::uploadSpool);
    }
    if (!m_retry->isActive()) {
        m_retry->start(m_retryMs);
    }
}

int RecordWriter::spooledRuns() {
    QString error;
    if (m_spool == nullptr && !QFile::exists(m_spoolPath)) {
        return 0;
    }
    ResultsDb *db = spool(&error);
    return db != nullptr ? db->runCount() : -1;
}

void RecordWriter::uploadSpool() {
    if (spooledRuns() <= 0) {
        return;
    }
    QString error;
    ResultsDb *from = spool(&error);
    QVector<RunRecord> runs;
    ResultsDb *to = from != nullptr && from->loadRuns(&runs, &error) ? primary(&error) : nullptr;
    if (to == nullptr) {
        armRetry();
        return;
    }
    int uploaded = 0;
    for (const RunRecord &run : runs) {
        // An unfinished run of this process may finish later; storing it now is harmless.
        if (to->storeRun(run, &error) == ResultsDb::StoreOutcome::Failed) {
            to->close();
            armRetry();
            break;
        }
        // Only the copy just uploaded: a newer one (the run has finished meanwhile) stays.
        bool removed = false;
        from->removeRun(run, &removed, &error);
        ++uploaded;
    }
    if (uploaded > 0) {
        m_primaryWasDown = false;
        emit note(QCoreApplication::translate("RecordWriter", "%1 spooled run(s) uploaded from %2 to %3")
                      .arg(uploaded)
                      .arg(QDir::toNativeSeparators(m_spoolPath), m_target.url()));
    }
}

// Asking questions creates no database: an SQLite file appears with the first run.
bool RecordWriter::hasRecords() const {
    return m_target.isPostgres() || QFile::exists(m_target.path);
}

void RecordWriter::queryToday(const QString &station, const QString &day) {
    if (!hasRecords()) {
        emit todayFigures(YieldFigures());
        return;
    }
    QString error;
    ResultsDb *db = primary(&error);
    ReportSummary summary;
    if (db != nullptr && runreport::summarize(db->database(), {day, day, station}, &summary, &error)) {
        emit todayFigures(summary.total);
    }
}

void RecordWriter::queryBoard(const QString &serial, const QString &excludeId) {
    if (!hasRecords()) {
        return;
    }
    QString error;
    ResultsDb *db = primary(&error);
    QVector<BoardRun> runs;
    if (db == nullptr || !runreport::boardHistory(db->database(), serial, &runs, &error)) {
        return;
    }
    runs.erase(std::remove_if(runs.begin(), runs.end(), [&](const BoardRun &r) { return r.id == excludeId; }),
               runs.end());
    emit boardHistory(serial, runs);
}
