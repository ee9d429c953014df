#include "test/runrecorder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSysInfo>
#include <QThread>
#include <QUuid>
#include <memory>

#include "params/paramexport.h"
#include "test/recordwriter.h"

#ifndef MVX_PROGRAM_VERSION
#define MVX_PROGRAM_VERSION "unknown"
#endif

namespace {

constexpr int kFlushAtExitMs = 15000;

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

RecordsTarget RecordsTarget::inLogFolder(const QString &logDir, const DbTarget &database,
                                         const QString &station) {
    const QDir dir(logDir.isEmpty() ? QStringLiteral(".") : logDir);
    RecordsTarget t;
    t.database =
        database.isValid() ? database : DbTarget::sqlite(dir.filePath(QStringLiteral("mvx-records.sqlite")));
    t.spoolPath = dir.filePath(QStringLiteral("mvx-records-spool.sqlite"));
    t.station = station.isEmpty() ? defaultStation() : station;
    return t;
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
      m_thread(new QThread(this)),
      m_writer(new RecordWriter(target.database, target.spoolPath, target.retryMs)) {
    Q_UNUSED(kMetaTypes);
    m_thread->setObjectName(QStringLiteral("records"));
    m_writer->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_writer, &QObject::deleteLater);
    connect(m_writer, &RecordWriter::note, this, &RunRecorder::note);
    connect(m_writer, &RecordWriter::todayFigures, this, &RunRecorder::todayFigures);
    connect(m_writer, &RecordWriter::boardHistory, this, &RunRecorder::boardHistory);
    m_thread->start();
}

RunRecorder::~RunRecorder() {
    // Quitting drops what is still queued: let the last run reach the database or the spool.
    waitWritten(kFlushAtExitMs);
    m_thread->quit();
    m_thread->wait();
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
    RecordWriter *writer = m_writer;
    const RunRecord run = m_run;
    if (!serial.isEmpty()) {
        post([writer, serial, id = run.id] { writer->queryBoard(serial, id); });
    }
    post([writer, run] { writer->writeStart(run); });
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
    RecordWriter *writer = m_writer;
    const RunRecord run = m_run;
    post([writer, run] { writer->writeComplete(run); });
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

bool RunRecorder::waitWritten(int timeoutMs) {
    auto done = std::make_shared<QSemaphore>();
    post([done] { done->release(); });
    return done->tryAcquire(1, timeoutMs);
}
