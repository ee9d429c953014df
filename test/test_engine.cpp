#include "test/test_engine.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <cmath>

#include "comm/driveregisters.h"
#include "comm/modbus.h"
#include "map/numbertext.h"
#include "test/test_validation.h"

namespace {

// The register written with 0 when a test fails.
int stopRegisterFor(int holdingCount) {
    return holdingCount > driveregisters::kSmallMapHoldings ? driveregisters::kLargeMapStop
                                                            : driveregisters::kStop;
}

}  // namespace

TestEngine::TestEngine(Modbus *worker) : m_worker(worker) {}

TestEngine::~TestEngine() = default;

bool TestEngine::loadTest(const QString &path) {
    TestDefinition def;
    def.config = m_lastConfig;
    def.serial = m_lastSerialRule;
    xml_test_reader reader;
    const bool read = reader.readTestFile(path, def);
    QStringList problems;
    if (read) {
        problems = validateTestDefinition(def, m_worker->inputListSize(), m_worker->holdingListCount());
    }
    if (!read || !problems.isEmpty()) {
        if (!read) {
            say(tr("Cannot read the test file %1")
                    .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        }
        for (const ReadWarning &w : reader.warnings()) {
            say(QStringLiteral("%1: %2").arg(path, w.toString()));
        }
        for (const QString &p : problems) {
            say(p);
        }
        say(tr("Error %1").arg(0));
        say(tr("El fichero de test no pudo ser cargado."));
        m_worker->runInWorkerThread([this] {
            m_running = false;
            m_runningFlag = false;
            m_worker->setTestRunning(false);
            emit m_worker->test_stop();
            emit m_worker->disableTestBTN(false);
        });
        return false;
    }
    m_lastConfig = def.config;
    m_lastSerialRule = def.serial;
    m_fullLog = def.config.full_log;
    m_summaryLog = def.config.summary_log;
    m_resultLog = def.config.result_log;
    bool hasSerial = false;
    for (const test_step_t &s : def.steps) {
        hasSerial = hasSerial || s.kind == StepSerialNumber;
    }
    m_serialRequired = hasSerial;
    say(tr("Test file: %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
    m_worker->runInWorkerThread([this, def] { install(def); });
    return true;
}

void TestEngine::install(const TestDefinition &def) {
    m_def = def;
    m_loopCounter = 0;
    m_currentStep = 0;
    m_waitTimer.invalidate();
    m_slots.clear();
    m_bitRead = BitRead{};
    m_worker->setTestFailed(false);
    m_worker->setAlarmCheck(false, 0);
    m_worker->setFailureLimit(def.config.cont_fails);
    announce();
}

void TestEngine::announce() {
    for (int num = 0; num < m_def.steps.size(); ++num) {
        const test_step_t &s = m_def.steps.at(num);
        switch (s.kind) {
            case StepEspera:
                emit m_worker->testResult(num, s.kind, QStringLiteral(QT_TR_NOOP("- espera -")), 0, 0,
                                          m_def.espera.value(s.index), 0, false);
                break;
            case StepMensaje:
                emit m_worker->testResult(num, s.kind, QStringLiteral(QT_TR_NOOP("- mensaje -")), 0, 0, 0, 0,
                                          false);
                break;
            case StepReadInputRegisters: {
                const read_input_t &r = m_def.readInputs.at(s.index);
                emit m_worker->testResult(num, s.kind, r.nombre, 0, r.min, r.max, 1, false);
                break;
            }
            case StepStopIfAlarm:
                emit m_worker->testResult(num, s.kind, QStringLiteral(QT_TR_NOOP("stop if alarm:")),
                                          m_def.stopIfAlarm.value(s.index), 0, 0, 0, false);
                break;
            case StepSerialNumber:
                emit m_worker->testResult(num, s.kind, QStringLiteral(QT_TR_NOOP("Numero de serie:")), 0, 0,
                                          0, 0, false);
                break;
            case StepImg:
            case StepComm:
            case StepIsCommUpdated:
                break;
            default:
                emit m_worker->testResult(num, s.kind, stepName(s), 0, 0, 0, 0, false);
                break;
        }
    }
}

void TestEngine::setSerial(const QString &serial) {
    m_worker->runInWorkerThread([this, serial] { m_serial = serial; });
}

void TestEngine::startTest() {
    m_worker->runInWorkerThread([this] {
        if (m_def.steps.isEmpty()) {
            return;
        }
        m_result = 0;
        m_lineLost = false;
        m_loopCounter = 0;
        m_running = true;
        m_runningFlag = true;
        m_worker->setTestRunning(true);
    });
}

void TestEngine::stopTest() {
    m_worker->runInWorkerThread([this] {
        if (!m_running) {
            return;
        }
        m_currentStep = 0;
        m_result = 0;
        m_waitTimer.invalidate();
        finish();
    });
}

void TestEngine::onPollTick(Modbus &) {
    if (m_running) {
        runTestStep();
    }
}

void TestEngine::onReadSucceeded() {
    if (m_waitTimer.isValid()) {
        m_commUpdated = true;
    }
}

void TestEngine::onInputWords(const QVector<uint16_t> &) {
    m_inputsFresh = true;
}

void TestEngine::onHoldingWords(const QVector<uint16_t> &) {
    m_holdingsFresh = true;
}

void TestEngine::onExchangeFailed() {
    m_inputsFresh = false;
    m_holdingsFresh = false;
}

void TestEngine::onWriteFinished(quint64 ticket, bool ok) {
    // Whatever was written, the holdings read before it are no longer the drive's.
    m_holdingsFresh = false;
    if (ticket != 0 && ticket == m_write.ticket) {
        m_write.finished = true;
        m_write.ok = ok;
    }
}

void TestEngine::onLineLost() {
    if (!m_running) {
        return;
    }
    say(tr("Line lost: the test was cancelled"));
    m_lineLost = true;
    m_currentStep = 0;
    m_result = 0;
    finish();
    emit m_worker->disableTestBTN(false);
}

void TestEngine::onBitWords(bool coils, int start, const QVector<uint16_t> &words) {
    if (!m_bitRead.pending || words.isEmpty() || m_currentStep >= m_def.steps.size()) {
        return;
    }
    const test_step_t &s = m_def.steps.at(m_currentStep);
    const bool wantCoils = s.kind == StepReadCoil;
    const QVector<read_bit_t> &list = wantCoils ? m_def.readCoils : m_def.readDiscreteInputs;
    if (coils != wantCoils || s.index >= list.size() || list.at(s.index).dir != start) {
        return;
    }
    m_bitRead.arrived = true;
    m_bitRead.state = words.first() != 0;
}

void TestEngine::runTestStep() {
    const test_step_t step = m_def.steps.at(m_currentStep);
    const bool waitingInStep = m_write.ticket != 0 || m_staleTicks > 0;
    if (markedRowKind(step.kind) && !waitingInStep) {
        const float res = step.kind == StepStopIfAlarm ? m_def.stopIfAlarm.value(step.index) : 0;
        const QString txt =
            step.kind == StepStopIfAlarm ? QStringLiteral(QT_TR_NOOP("stop if alarm:")) : stepName(step);
        result(m_currentStep, step.kind, txt, res, 0, 0, 0);
    }
    if (m_worker->testFailed()) {
        failureEnd();
        return;
    }
    switch (perform(step)) {
        case Outcome::Stays:
            return;
        case Outcome::Fails:
            failureEnd();
            return;
        case Outcome::Next:
            break;
    }
    advance();
    if (m_chainNext) {
        m_chainNext = false;
        if (m_running) {
            runTestStep();
        }
    }
}

void TestEngine::advance() {
    if (m_currentStep >= m_def.steps.size() - 1) {
        passEnd();
        return;
    }
    const bool loopConfigured = m_def.loopStart != 0 && m_def.loopStop != 0;
    if (loopConfigured && m_currentStep == m_def.loopStop - 1) {
        say(tr("<font color='green'><b>---- Fin de bucle, paso %1 de %2 ----</b></font>")
                .arg(m_loopCounter)
                .arg(m_def.loopIterations));
        ++m_loopCounter;
        if (m_loopCounter < static_cast<uint32_t>(m_def.loopIterations)) {
            m_currentStep = m_def.loopStart - 1;
            return;
        }
    }
    ++m_currentStep;
}

TestEngine::Outcome TestEngine::perform(const test_step_t &step) {
    const int num = m_currentStep;
    switch (step.kind) {
        case StepEspera:
            return espera(num, m_def.espera.at(step.index));
        case StepMensaje:
            say(m_def.mensaje.at(step.index));
            result(num, step.kind, QStringLiteral(QT_TR_NOOP("- mensaje -")), 0, 0, 0, 0);
            return Outcome::Next;
        case StepImg:
            return Outcome::Next;
        case StepComm:
            say(m_def.comm.at(step.index).nombre);
            return Outcome::Next;
        case StepReadInputRegisters:
            return readInput(num, m_def.readInputs.at(step.index));
        case StepReadHoldingRegisters:
            return readHolding(num, m_def.readHoldings.at(step.index));
        case StepWriteSingleRegister:
            return writeRegister(num, m_def.writeRegisters.at(step.index));
        case StepReadCoil:
            return readBit(num, true, m_def.readCoils.at(step.index));
        case StepReadDiscreteInput:
            return readBit(num, false, m_def.readDiscreteInputs.at(step.index));
        case StepWriteSingleCoil:
            return writeCoil(num, m_def.writeCoils.at(step.index));
        case StepIsCommUpdated:
            return isCommUpdated(m_def.isCommUpdated.at(step.index));
        case StepDiffMeasureInitial:
            return diffInitial(num, m_def.diffMeasures.at(step.index));
        case StepDiffMeasureFinal:
            return diffFinal(num, m_def.diffMeasures.at(step.index));
        case StepStopIfAlarm:
            return stopIfAlarm(m_def.stopIfAlarm.at(step.index));
        case StepSerialNumber:
            return serialNumber(num);
        default:
            return Outcome::Next;
    }
}

void TestEngine::failureEnd() {
    m_failures.fetch_add(1);
    m_boardsTested.fetch_add(1);
    m_result = -1;
    m_worker->queueHoldingWrite(stopRegisterFor(m_worker->holdingListSize()), 0, true,
                                RequestQueue::Lane::Priority);
    say(tr("<font color='red' size='15'><b>Placa INCORRECTA!</b></font>"));
    say(tr("Placas ensayadas: %1. Fallos: %2").arg(m_boardsTested.load()).arg(m_failures.load()));
    m_currentStep = 0;
    finish();
    emit m_worker->disableTestBTN(false);
}

void TestEngine::passEnd() {
    m_currentStep = 0;
    m_result = 1;
    finish();
    emit m_worker->disableTestBTN(false);
    m_boardsTested.fetch_add(1);
    say(tr("<font color='green' size='15'><b>Placa CORRECTA!</b></font>"));
    say(tr("Placas ensayadas: %1. Fallos: %2").arg(m_boardsTested.load()).arg(m_failures.load()));
}

void TestEngine::finish() {
    m_running = false;
    m_runningFlag = false;
    m_waitTimer.invalidate();
    m_bitRead = BitRead{};
    m_write = WriteWait{};
    m_chainNext = false;
    m_staleTicks = 0;
    m_worker->setTestRunning(false);
    m_worker->setAlarmCheck(false, 0);
    emit m_worker->test_stop();
}

// Coil and discrete-input reads are not marked: their own result, with the bit read, marks the row.
bool TestEngine::markedRowKind(int kind) const {
    return kind == StepWriteSingleCoil || kind == StepDiffMeasureInitial || kind == StepDiffMeasureFinal ||
           kind == StepStopIfAlarm;
}

QString TestEngine::stepName(const test_step_t &step) const {
    switch (step.kind) {
        case StepReadInputRegisters:
            return m_def.readInputs.value(step.index).nombre;
        case StepReadHoldingRegisters:
            return m_def.readHoldings.value(step.index).nombre;
        case StepWriteSingleRegister:
            return m_def.writeRegisters.value(step.index).nombre;
        case StepReadCoil:
            return m_def.readCoils.value(step.index).nombre;
        case StepReadDiscreteInput:
            return m_def.readDiscreteInputs.value(step.index).nombre;
        case StepWriteSingleCoil:
            return m_def.writeCoils.value(step.index).nombre;
        case StepDiffMeasureInitial:
        case StepDiffMeasureFinal:
            return m_def.diffMeasures.value(step.index).nombre;
        default:
            return QString();
    }
}

float TestEngine::inputValue(int position) const {
    return m_worker->inputValues().value(position, 0.0f);
}

void TestEngine::say(const QString &text) {
    emit m_worker->send_status(false, false, true, text);
}

void TestEngine::result(int num, int kind, const QString &txt, float res, float min, float max, int ok) {
    emit m_worker->testResult(num, kind, txt, res, min, max, ok, true);
}
