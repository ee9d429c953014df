#include "records/runrecorder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QUuid>
#include <memory>

#include "params/paramexport.h"
#include "records/recordwriter.h"
#include "records/resultsdb.h"

#ifndef MVX_PROGRAM_VERSION
#define MVX_PROGRAM_VERSION "unknown"
#endif

namespace {

QString utcNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
}

const int kMetaTypes = [] {
    qRegisterMetaType<RunRecord>();
    qRegisterMetaType<YieldFigures>();
    qRegisterMetaType<QVector<BoardRun>>();
    return 0;
}();

}  // namespace

// The runs handed to the writer and not yet written (or spooled) by it, the latest state of
// each: what the recorder spools itself when the writer does not finish in time.
class PendingRuns {
  public:
    quint64 add(const RunRecord &run, bool complete) {
        QMutexLocker lock(&m_mutex);
        m_runs[run.id] = {run, complete, ++m_ticket};
        return m_ticket;
    }
    // The writer is done with this state of the run (a later one stays pending).
    void done(const QString &id, quint64 ticket) {
        QMutexLocker lock(&m_mutex);
        if (m_runs.value(id).ticket == ticket) {
            m_runs.remove(id);
        }
    }
    QVector<QPair<RunRecord, bool>> takeAll() {
        QMutexLocker lock(&m_mutex);
        QVector<QPair<RunRecord, bool>> runs;
        for (const Entry &e : qAsConst(m_runs)) {
            runs.append({e.run, e.complete});
        }
        m_runs.clear();
        return runs;
    }

  private:
    struct Entry {
        RunRecord run;
        bool complete = false;
        quint64 ticket = 0;
    };
    QMutex m_mutex;
    QHash<QString, Entry> m_runs;
    quint64 m_ticket = 0;
};

RecordsTarget RecordsTarget::inLogFolder(const QString &logDir, const DbTarget &database,
                                         const QString &station) {
    const QDir dir(logDir.isEmpty() ? QStringLiteral(".") : logDir);
    RecordsTarget t;
    t.database =
        database.isValid() ? database : DbTarget::sqlite(dir.filePath(QStringLiteral("mvx-records.sqlite")));
    QString why;
    if (folderUsable(dir.path(), &why)) {
        t.spoolPath = dir.filePath(QStringLiteral("mvx-records-spool.sqlite"));
    } else {
        t.spoolPath = fallbackSpool(t.database);
    }
    t.station = station.isEmpty() ? defaultStation() : station;
    return t;
}

QString RecordsTarget::fallbackFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("mvx-configurator"));
}

// Log folders that cannot be used all spool there: one spool per database, so that each run is
// uploaded where it was meant to go.
QString RecordsTarget::fallbackSpool(const DbTarget &database) {
    const QByteArray key = QCryptographicHash::hash(database.url().toUtf8(), QCryptographicHash::Sha256);
    return QDir(fallbackFolder())
        .filePath(
            QStringLiteral("mvx-records-spool-%1.sqlite").arg(QString::fromLatin1(key.toHex().left(12))));
}

bool RecordsTarget::folderUsable(const QString &dir, QString *why) {
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir()) {
        *why = QCoreApplication::translate("RunRecorder", "it is a file, not a folder");
        return false;
    }
    if (!QDir().mkpath(dir)) {
        *why = QCoreApplication::translate("RunRecorder", "it cannot be created");
        return false;
    }
    QTemporaryFile probe(QDir(dir).filePath(QStringLiteral(".mvx-write-check-XXXXXX")));
    if (!probe.open()) {
        *why = probe.errorString();
        return false;
    }
    return true;
}

RunContext RunContext::forDrive(const QString &testFile, const QString &mapFile,
                                const QVector<input_reg_t *> &inputs) {
    const DriveIdentity identity = driveIdentity(inputs);
    return RunContext{testFile, mapFile, QString::number(identity.model), QString::number(identity.version)};
}

QString RecordsTarget::defaultStation() {
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("station") : host;
}

RunRecorder::RunRecorder(const RecordsTarget &target, QObject *parent)
    : QObject(parent),
      m_target(target),
      m_pending(std::make_shared<PendingRuns>()),
      m_thread(new QThread),
      m_writer(new RecordWriter(target.database, target.spoolPath, target.retryMs)) {
    Q_UNUSED(kMetaTypes);
    m_thread->setObjectName(QStringLiteral("records"));
    m_writer->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    // A thread left running by the destructor removes itself when it ends.
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_writer, &RecordWriter::note, this, &RunRecorder::note);
    connect(m_writer, &RecordWriter::todayFigures, this, &RunRecorder::todayFigures);
    m_thread->start();
}

RunRecorder::~RunRecorder() {
    // Quitting drops what is still queued: let the last run reach the database or the spool,
    // for a bounded time.
    QDeadlineTimer deadline(kShutdownMs);
    const bool written = waitWritten(kShutdownMs);
    m_thread->quit();
    if (written && m_thread->wait(deadline)) {
        delete m_thread;
        return;
    }
    spoolPending();
}

// From the destructor's thread, with a connection of its own: the spool is a local file, and
// storing a run that the writer stores too is harmless (a run id is stored once).
void RunRecorder::spoolPending() {
    const QVector<QPair<RunRecord, bool>> runs = m_pending->takeAll();
    if (runs.isEmpty()) {
        return;
    }
    ResultsDb spool(DbTarget::sqlite(m_target.spoolPath));
    QString error;
    for (const auto &[run, complete] : runs) {
        const bool stored = spool.isOpen() || spool.open(&error)
                                ? (complete ? spool.storeRun(run, &error) != ResultsDb::StoreOutcome::Failed
                                            : spool.recordStart(run, &error))
                                : false;
        emit note(
            stored ? QCoreApplication::translate(
                         "RunRecorder",
                         "<font color='orange'>Run %1 stored in the local spool %2: %3 did "
                         "not answer in time. It is uploaded when the database answers "
                         "again.</font>")
                         .arg(run.id, QDir::toNativeSeparators(m_target.spoolPath), m_target.database.url())
                   : QCoreApplication::translate(
                         "RunRecorder",
                         "<font color='red'>Run %1 could not be recorded: %2 did not answer "
                         "in time; spool %3: %4</font>")
                         .arg(run.id, m_target.database.url(), QDir::toNativeSeparators(m_target.spoolPath),
                              error));
    }
}

template <typename F>
void RunRecorder::post(F &&job) {
    QMetaObject::invokeMethod(m_writer, std::forward<F>(job), Qt::QueuedConnection);
}

QString RunRecorder::fileSha256(const QString &path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

QString RunRecorder::begin(const RunContext &context, const QString &serial) {
    m_run = RunRecord();
    m_run.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_run.station = m_target.station;
    m_run.serial = serial;
    m_run.day = QDate::currentDate().toString(Qt::ISODate);
    m_run.startedAt = utcNow();
    m_run.testFile = QFileInfo(context.testFile).fileName();
    m_run.testSha256 = fileSha256(context.testFile);
    m_run.mapFile = QFileInfo(context.mapFile).fileName();
    m_run.mapSha256 = fileSha256(context.mapFile);
    m_run.programVersion = QStringLiteral(MVX_PROGRAM_VERSION);
    m_run.driveModel = context.driveModel;
    m_run.firmwareVersion = context.firmwareVersion;
    m_active = true;
    postRun(false);
    return m_run.id;
}

void RunRecorder::step(int num, int kind, const QString &text, float res, float min, float max, int ok,
                       bool reg) {
    if (!m_active || !reg) {
        return;
    }
    m_run.steps.append({num, kind, text, res, min, max, ok, utcNow()});
}

QString RunRecorder::failedStep() const {
    for (auto it = m_run.steps.crbegin(); it != m_run.steps.crend(); ++it) {
        if (it->ok < 0) {
            return it->text;
        }
    }
    return m_run.steps.isEmpty() ? QString() : m_run.steps.last().text;
}

// Without the operator's words, the failing step's own figures say why.
QString RunRecorder::automaticReason() const {
    for (auto it = m_run.steps.crbegin(); it != m_run.steps.crend(); ++it) {
        if (it->ok < 0) {
            return QStringLiteral("read %1, limits %2 .. %3").arg(it->res).arg(it->min).arg(it->max);
        }
    }
    return QString();
}

void RunRecorder::finish(int result, const QString &reason, const QVector<holding_t *> &holdings) {
    if (!m_active) {
        return;
    }
    m_active = false;
    m_run.endedAt = utcNow();
    m_run.result = RunRecord::resultName(result);
    if (result < 0) {
        m_run.failedStep = failedStep();
        m_run.reason = reason.isEmpty() ? automaticReason() : reason;
    } else if (result == 0) {
        m_run.reason = reason;  // why a run was cut short, when something did
    }
    for (const holding_t *h : holdings) {
        m_run.holdings.append({h->text, h->value});
    }
    postRun(true);
}

// The run as it stands to the writer's thread: its start, or its whole record once complete.
void RunRecorder::postRun(bool complete) {
    RecordWriter *writer = m_writer;
    const RunRecord run = m_run;
    const quint64 ticket = m_pending->add(run, complete);
    post([writer, run, ticket, complete, pending = m_pending] {
        if (complete) {
            writer->writeComplete(run);
        } else {
            writer->writeStart(run);
        }
        pending->done(run.id, ticket);
    });
}

void RunRecorder::requestToday() {
    RecordWriter *writer = m_writer;
    post([writer, station = m_target.station, day = QDate::currentDate().toString(Qt::ISODate)] {
        writer->queryToday(station, day);
    });
}

void RunRecorder::retryUpload() {
    RecordWriter *writer = m_writer;
    post([writer] { writer->uploadSpool(); });
}

bool RunRecorder::earlierRuns(const QString &serial, int timeoutMs, QVector<BoardRun> *runs, QString *error) {
    // Shared: an answer that comes too late is dropped with it.
    struct Answer {
        QSemaphore ready;
        bool ok = false;
        QVector<BoardRun> runs;
        QString error;
    };
    auto answer = std::make_shared<Answer>();
    RecordWriter *writer = m_writer;
    post([writer, serial, answer] {
        answer->ok = writer->boardRuns(serial, &answer->runs, &answer->error);
        answer->ready.release();
    });
    if (!answer->ready.tryAcquire(1, timeoutMs)) {
        *error = QStringLiteral("%1 did not answer within %2 ms").arg(m_target.database.url()).arg(timeoutMs);
        return false;
    }
    *runs = answer->runs;
    *error = answer->error;
    return answer->ok;
}

bool RunRecorder::waitWritten(int timeoutMs) {
    auto done = std::make_shared<QSemaphore>();
    post([done] { done->release(); });
    return done->tryAcquire(1, timeoutMs);
}
