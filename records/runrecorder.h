#pragma once

#include <QObject>
#include <QString>
#include <QVector>
#include <memory>

#include "map/descriptors.h"
#include "records/dburl.h"
#include "records/runrecord.h"
#include "records/runreport.h"

class QThread;
class RecordWriter;
class PendingRuns;

// Where a station records its runs: the database, the spool beside it and the station name.
struct RecordsTarget {
    DbTarget database;
    QString spoolPath;
    QString station;
    int retryMs = 10000;  // how often a spooled run is offered to the database again

    // The station's defaults: an SQLite file in the log folder, the host name as station. A
    // log folder that cannot be written keeps the spool in fallbackFolder() instead, as
    // mvx-records-spool-HASH.sqlite (HASH: the first 12 hex digits of the database URL's SHA-256).
    static RecordsTarget inLogFolder(const QString &logDir, const DbTarget &database = DbTarget(),
                                     const QString &station = QString());
    static QString defaultStation();
    // $XDG_DATA_HOME/mvx-configurator (~/.local/share/mvx-configurator): the spool's folder when
    // the log folder cannot be used.
    static QString fallbackFolder();
    // The spool in fallbackFolder() of runs meant for this database.
    static QString fallbackSpool(const DbTarget &database);
    // Creates the folder if need be and checks that a file can be written in it; false with the
    // reason.
    static bool folderUsable(const QString &dir, QString *why);
};

// What a run was made of, known when it starts.
struct RunContext {
    QString testFile;
    QString mapFile;
    QString driveModel;
    QString firmwareVersion;

    // The drive's identity as the poll cycle last read it (input registers 1 and 0).
    static RunContext forDrive(const QString &testFile, const QString &mapFile,
                               const QVector<input_reg_t *> &inputs);
};

// Records production-test runs as the test reports them: begin() when a board starts, step()
// for each step result, finish() at the end. The writing happens in a thread of its own (see
// RecordWriter), so none of these calls waits for the database.
class RunRecorder : public QObject {
    Q_OBJECT
  public:
    // The longest the destructor waits for the writer (closing the window, changing the
    // database): after it, what is not written yet goes to the spool from here, and a writer
    // stuck on a hung server is left to end on its own.
    static constexpr int kShutdownMs = 2000;

    explicit RunRecorder(const RecordsTarget &target, QObject *parent = nullptr);
    ~RunRecorder() override;

    const RecordsTarget &target() const { return m_target; }
    bool isRecording() const { return m_active; }
    const RunRecord &currentRun() const { return m_run; }

    // Starts a run and writes its row.
    QString begin(const RunContext &context, const QString &serial);
    // The engine's testResult; announcements (reg false) are not part of a run.
    void step(int num, int kind, const QString &text, float res, float min, float max, int ok, bool reg);
    // result: 1 passed, -1 failed, 0 stopped; holdings as the result log lists them.
    void finish(int result, const QString &reason, const QVector<holding_t *> &holdings);
    // Asks for this station's figures of today (todayFigures).
    void requestToday();
    // Waits until the writer has done everything asked so far; false after timeoutMs.
    bool waitWritten(int timeoutMs);
    // The board's runs recorded so far, asked in the writer's thread: waits at most timeoutMs
    // (the writer may be busy with a slow server) and is false with the reason after it.
    bool earlierRuns(const QString &serial, int timeoutMs, QVector<BoardRun> *runs, QString *error);
    // Tries the spool upload now.
    void retryUpload();

    static QString fileSha256(const QString &path);

  signals:
    void note(QString text);
    void todayFigures(YieldFigures figures);

  private:
    void postRun(bool complete);
    QString failedStep() const;
    QString automaticReason() const;
    template <typename F>
    void post(F &&job);
    void spoolPending();

    RecordsTarget m_target;
    std::shared_ptr<PendingRuns> m_pending;
    QThread *m_thread;
    RecordWriter *m_writer;
    RunRecord m_run;
    bool m_active = false;
};
