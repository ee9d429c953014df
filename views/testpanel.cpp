#include "views/testpanel.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QInputDialog>
#include <QLabel>

#include "app/logger.h"
#include "records/recordssettings.h"
#include "records/runrecorder.h"
#include "test/test_engine.h"
#include "views/teststeptable.h"

namespace {

bool askText(QWidget *parent, const QString &title, const QString &label, QString *answer) {
    bool accepted = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, QString(), &accepted);
    if (accepted) {
        *answer = text;
    }
    return accepted;
}

}  // namespace

TestPrompts TestPrompts::interactive() {
    TestPrompts prompts;
    prompts.askSerial = [](QWidget *parent, QString *serial) {
        return askText(parent, QCoreApplication::translate("TestPanel", "Serial number"),
                       QCoreApplication::translate("TestPanel", "Serial number:"), serial);
    };
    prompts.askFailureReason = [](QWidget *parent, QString *reason) {
        return askText(parent, QCoreApplication::translate("TestPanel", "Motivo"),
                       QCoreApplication::translate("TestPanel", "Breve motivo del fallo:"), reason);
    };
    return prompts;
}

TestPanel::TestPanel(TestStepTable *table, Loggers loggers, QWidget *window, TestPrompts prompts)
    : QObject(window),
      m_table(table),
      m_loggers(loggers),
      m_logs(loggers.full, loggers.result, loggers.summary),
      m_window(window),
      m_prompts(std::move(prompts)),
      m_clock([] { return QDateTime::currentDateTime(); }),
      m_statsLabel(new QLabel(window)) {
    for (logger *log : {loggers.full, loggers.result, loggers.summary}) {
        if (log == nullptr) {
            continue;
        }
        connect(log, &logger::writeFailed, this,
                [this](const QString &message) { emit statusMessage(true, true, true, message); });
    }
}

bool TestPanel::start(const QString &testFile, const QString &logDir, logger *dataLogger) {
    if (m_running || m_engine == nullptr) {
        return false;
    }
    if (!m_engine->loadTest(testFile)) {
        return false;  // the engine has said why in the log area
    }
    const bool serialStep = m_engine->serialRequired();
    if (serialStep && !askSerial()) {
        return false;
    }
    if (!serialStep) {
        m_serial.clear();
    }
    // The logs are written for every test, with a serial-number step or without.
    openLogs(logDir, dataLogger);
    if (serialStep) {
        say(tr("Número de serie: %1").arg(m_serial));
    }
    m_engine->setSerial(m_serial);
    if (m_recorder != nullptr) {
        m_recorder->begin(RunContext::forDrive(testFile, m_mapFile, m_inputs), m_serial);
    }
    m_engine->startTest();
    m_running = true;
    emit started();
    return true;
}

// The serial number; false when the operator cancels.
bool TestPanel::askSerial() {
    QString serial;
    if (!m_prompts.askSerial || !m_prompts.askSerial(m_window, &serial)) {
        return false;
    }
    m_serial = serial;
    return true;
}

// The logs of this board, as the test file asks for them.
void TestPanel::openLogs(const QString &logDir, logger *dataLogger) {
    m_flags = TestLogs::Flags{m_engine->doFullLog(), m_engine->doResultLog(), m_engine->doSummaryLog()};
    const QString dir = logDir.isEmpty() ? QStringLiteral(".") : logDir;
    QDir().mkpath(dir);
    m_logs.begin(dir, m_flags, m_serial, dataLogger);
    reportUnopenedLogs(dir);
}

// A production test must not lose its records silently.
void TestPanel::reportUnopenedLogs(const QString &logDir) {
    const struct {
        bool wanted;
        logger *file;
        const char *name;
    } logs[] = {{m_flags.full, m_loggers.full, "full"},
                {m_flags.result, m_loggers.result, "result"},
                {m_flags.summary, m_loggers.summary, "summary"}};
    for (const auto &log : logs) {
        if (log.wanted && !log.file->isOpen()) {
            emit statusMessage(true, true, true,
                               tr("Cannot create the test's %1 log in %2")
                                   .arg(QLatin1String(log.name), QDir::toNativeSeparators(logDir)));
        }
    }
}

void TestPanel::stop() {
    if (m_running && m_engine != nullptr) {
        qDebug() << "stop test";
        m_engine->stopTest();
    }
}

void TestPanel::dataLine(const QString &line) {
    if (m_running) {
        m_logs.dataLine(line);
    }
}

void TestPanel::onStepResult(int num, int tipo, const QString &txt, float res, float min, float max, int ok,
                             bool reg) {
    m_logs.stepResult(num, tipo, txt, res, min, max, ok, reg);
    if (m_recorder != nullptr) {
        m_recorder->step(num, tipo, txt, res, min, max, ok, reg);
    }
    m_table->showResult(num, txt, res, min, max, ok, m_clock().time());
}

void TestPanel::finish(const QVector<holding_t *> &holdings) {
    if (!m_running) {
        return;  // a test file that could not be loaded also ends with test_stop
    }
    complete(m_engine != nullptr ? m_engine->isTestOK() : 0, holdings);
}

void TestPanel::abandon(const QVector<holding_t *> &holdings) {
    if (m_running) {
        complete(0, holdings);
    }
}

void TestPanel::complete(int result, const QVector<holding_t *> &holdings) {
    // Cleared first: the reason prompt runs an event loop that delivers further replies.
    m_running = false;
    const QDateTime finishedAt = m_clock();
    QString reason;
    bool reasonGiven = false;
    if (result < 0 && m_prompts.askFailureReason) {
        reasonGiven = m_prompts.askFailureReason(m_window, &reason);
    }
    m_logs.finish(result, holdings, reasonGiven, reason, finishedAt, m_serial);
    if (m_recorder != nullptr) {
        m_recorder->finish(result, reasonGiven ? reason : QString(), holdings);
        m_recorder->requestToday();
    }
    emit finished(result);
}

void TestPanel::say(const QString &text) {
    emit statusMessage(false, false, true, text);
}

// --- production records -------------------------------------------------------------

void TestPanel::useRecords(const RecordsSettings &records, const QString &logDir) {
    QString problem;
    const RecordsTarget target = records.target(logDir, &problem);
    if (!problem.isEmpty()) {
        emit statusMessage(true, true, true,
                           tr("Results database: %1; runs go to %2").arg(problem, target.database.url()));
    }
    delete m_recorder;
    m_recorder = new RunRecorder(target, this);
    connect(m_recorder, &RunRecorder::note, this,
            [this](const QString &text) { emit statusMessage(true, false, true, text); });
    connect(m_recorder, &RunRecorder::todayFigures, this, &TestPanel::showToday);
    connect(m_recorder, &RunRecorder::boardHistory, this, &TestPanel::warnEarlierRuns);
    m_statsLabel->setText(tr("Records: %1").arg(target.database.url()));
    m_recorder->retryUpload();  // what earlier sessions spooled goes now, not with the next run
    m_recorder->requestToday();
}

void TestPanel::setDriveContext(const QString &mapFile, const QVector<input_reg_t *> &inputs) {
    m_mapFile = mapFile;
    m_inputs = inputs;
}

void TestPanel::showToday(const YieldFigures &today) {
    m_statsLabel->setText(tr("Today at %1: %2 boards, %3 failures, first-pass yield %4%")
                              .arg(m_recorder->target().station)
                              .arg(today.boards)
                              .arg(today.failed)
                              .arg(QString::number(today.firstPassYield() * 100.0, 'f', 1)));
}

// The operator should know at once that this board has been on a test station before.
void TestPanel::warnEarlierRuns(const QString &serial, const QVector<BoardRun> &runs) {
    if (runs.isEmpty()) {
        return;
    }
    QStringList lines;
    for (const BoardRun &run : runs) {
        const QString result = run.result.isEmpty() ? tr("unfinished") : run.result;
        const QString step =
            run.failedStep.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(run.failedStep);
        lines << tr("%1 at %2: %3%4").arg(run.start, run.station, result, step);
    }
    emit statusMessage(true, true, true,
                       tr("<font color='orange'>Serial number %1 was tested before, %2 run(s): %3</font>")
                           .arg(serial.toHtmlEscaped())
                           .arg(runs.size())
                           .arg(lines.join(QStringLiteral("; ")).toHtmlEscaped()));
}
