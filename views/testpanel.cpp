#include "views/testpanel.h"

#include <QDebug>
#include <QDir>
#include <QInputDialog>

#include "app/logger.h"
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
        return askText(parent, QStringLiteral("Serial number"), QStringLiteral("Serial number:"), serial);
    };
    prompts.askFailureReason = [](QWidget *parent, QString *reason) {
        return askText(parent, QStringLiteral("Motivo"), QStringLiteral("Breve motivo del fallo:"), reason);
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
      m_clock([] { return QDateTime::currentDateTime(); }) {
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
    if (m_engine->serialRequired() && !askSerial(logDir, dataLogger)) {
        return false;
    }
    m_engine->setSerial(m_serial);
    m_engine->startTest();
    m_running = true;
    emit started();
    return true;
}

// The serial number, then the logs of this board; false when the operator cancels.
bool TestPanel::askSerial(const QString &logDir, logger *dataLogger) {
    QString serial;
    if (!m_prompts.askSerial || !m_prompts.askSerial(m_window, &serial)) {
        return false;
    }
    m_serial = serial;
    m_flags = TestLogs::Flags{m_engine->doFullLog(), m_engine->doResultLog(), m_engine->doSummaryLog()};
    const QString dir = logDir.isEmpty() ? QStringLiteral(".") : logDir;
    QDir().mkpath(dir);
    m_logs.begin(dir, m_flags, serial, dataLogger);
    reportUnopenedLogs(dir);
    say(QStringLiteral("Número de serie: %1").arg(serial));
    return true;
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
                               QStringLiteral("Cannot create the test's %1 log in %2")
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
    emit finished(result);
}

void TestPanel::say(const QString &text) {
    emit statusMessage(false, false, true, text);
}
