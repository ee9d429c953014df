// Register reads of the poll cycle and the handling of their replies.
#include <QDebug>
#include <QModbusReply>

#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "comm/replytext.h"
#include "comm/rtumaster.h"
#include "comm/splitread.h"
#include "map/numbertext.h"

// One logical read in flight, tied to the replies of its parts.
struct Modbus::ReadJob {
    ReadJob(ReadKind kind, int start, int count, int server)
        : kind(kind), split(start, count), serverAddress(server) {}

    ReadKind kind;
    SplitRead split;
    int serverAddress;
};

QModbusDataUnit::RegisterType Modbus::registerTypeOf(ReadKind kind) {
    switch (kind) {
        case ReadKind::Inputs:
        case ReadKind::Capture:
            return QModbusDataUnit::InputRegisters;
        case ReadKind::Coils:
            return QModbusDataUnit::Coils;
        case ReadKind::DiscreteInputs:
            return QModbusDataUnit::DiscreteInputs;
        default:
            return QModbusDataUnit::HoldingRegisters;
    }
}

bool Modbus::startRead(ReadKind kind, int start, int count, int serverAddress, int timeoutMs) {
    if (count <= 0) {
        return false;  // an empty map has nothing to read
    }
    auto job = std::make_shared<ReadJob>(kind, start, count, serverAddress);
    master()->setNumberOfRetries(0);
    master()->setTimeout(timeoutMs > 0 ? timeoutMs : m_responseTimeout);
    for (int part = 0; part < job->split.parts().size(); ++part) {
        if (!sendReadPart(job, part)) {
            job->split.markFailed();
            return part > 0;
        }
    }
    return true;
}

bool Modbus::sendReadPart(const std::shared_ptr<ReadJob> &job, int part) {
    const bool isInput = job->kind == ReadKind::Inputs || job->kind == ReadKind::Capture;
    const SplitRead::Part &range = job->split.parts().at(part);
    const QModbusDataUnit unit(registerTypeOf(job->kind), range.start, quint16(range.count));
    QModbusReply *reply = master()->sendReadRequest(unit, job->serverAddress);
    if (!reply) {
        const QString text = tr("Read error: ") + master()->errorString();
        isInput ? stamped(text) : statusBar(text);
        return false;
    }
    if (reply->isFinished()) {
        reply->deleteLater();
        return false;
    }
    ++m_inFlight;
    connect(reply, &QModbusReply::finished, this,
            [this, reply, job, part] { onReadPartFinished(reply, job, part); });
    return true;
}

void Modbus::onReadPartFinished(QModbusReply *reply, const std::shared_ptr<ReadJob> &job, int part) {
    --m_inFlight;
    reply->deleteLater();
    handleReadPart(reply, job, part);
    if (job->kind == ReadKind::Search) {
        endSearchStep(job->serverAddress);
    }
}

void Modbus::handleReadPart(QModbusReply *reply, const std::shared_ptr<ReadJob> &job, int part) {
    const bool search = job->kind == ReadKind::Search;
    if (reply->error() == QModbusDevice::ReplyAbortedError) {
        job->split.markFailed();  // the port was closed: not the drive's fault
        return;
    }
    if (job->split.failed()) {
        return;  // an earlier part has already been counted
    }
    if (reply->error() != QModbusDevice::NoError) {
        job->split.markFailed();
        const bool exception = reply->error() == QModbusDevice::ProtocolError;
        if (!search) {
            noteFailedRead(exception);
        }
        countReadFailure(exception, search);
        return;
    }
    if (!job->split.accept(part, reply->result().values())) {
        qWarning() << "Read reply with" << reply->result().valueCount() << "registers, expected"
                   << job->split.parts().at(part).count;
        if (!search) {
            noteFailedRead(true);
        }
        countReadFailure(false, search);
        return;
    }
    if (job->split.complete()) {
        deliverRead(*job);
    }
}

void Modbus::deliverRead(const ReadJob &job) {
    if (job.kind != ReadKind::Search) {
        m_answering = true;
    }
    if (m_failures.recordSuccess()) {
        emit ext_disconnected_stop();
        if (m_outage.isValid()) {
            stamped(tr("Communication restored after %1 s").arg(qRound(m_outage.elapsed() / 1000.0)));
            m_outage.invalidate();
        }
    }
    const QVector<uint16_t> words = job.split.words();
    switch (job.kind) {
        case ReadKind::Inputs:
            storeInputWords(words);
            emit recv_input_registers(job.serverAddress, 0, words);
            if (m_hook) {
                m_hook->onInputWords(words);
            }
            checkCaptureStatus(words);
            checkAlarm();
            checkAccessLevel();
            break;
        case ReadKind::Capture:
            emit recv_input_registers(job.serverAddress, job.split.start(), words);
            break;
        case ReadKind::Holdings:
            storeHoldingWords(words);
            emit recv_holding_registers(0, words);
            if (m_hook) {
                m_hook->onHoldingWords(words);
            }
            break;
        case ReadKind::Range:
            emit recv_holding_registers(job.split.start(), words);
            break;
        case ReadKind::Coils:
        case ReadKind::DiscreteInputs: {
            const bool coils = job.kind == ReadKind::Coils;
            (coils ? m_coilWords : m_discreteWords) = words;
            coils ? emit recv_coils(job.serverAddress, words)
                  : emit recv_discrete_inputs(job.serverAddress, words);
            if (m_hook) {
                m_hook->onBitWords(coils, job.split.start(), words);
            }
            break;
        }
        case ReadKind::Search:
            ++m_searchFound;
            emit foundAddress(uint8_t(job.serverAddress), words.at(0), words.at(3), words.at(1), words.at(2));
            break;
    }
    if (m_hook) {
        m_hook->onReadSucceeded();
    }
}

// The values of earlier reads stay, but they are no longer what the drive has now.
void Modbus::noteFailedRead(bool answered) {
    m_answering = answered;
    if (m_hook) {
        m_hook->onExchangeFailed();
    }
}

void Modbus::storeInputWords(const QVector<uint16_t> &words) {
    m_inputWords = words;
    m_inputValues.resize(words.size());
    for (int i = 0; i < words.size(); ++i) {
        const float multiplier = i < m_inputMultipliers.size() ? m_inputMultipliers.at(i) : 1.0f;
        m_inputValues[i] = float(int16_t(words.at(i))) * multiplier;
    }
}

void Modbus::storeHoldingWords(const QVector<uint16_t> &words) {
    m_holdingWords = words;
    m_holdingValues.resize(words.size());
    for (int i = 0; i < words.size(); ++i) {
        const float multiplier = i < m_holdingMultipliers.size() ? m_holdingMultipliers.at(i) : 1.0f;
        m_holdingValues[i] = float(int16_t(words.at(i))) * multiplier;
    }
}

void Modbus::checkCaptureStatus(const QVector<uint16_t> &words) {
    if (m_capture.isArmed() && words.size() > 11) {
        qDebug() << "recv_input_registers bufferReadToBeDoneOnRenesas";
    }
    if (!m_capture.takeReadyStatus(words)) {
        return;
    }
    logArea(tr("Buffer listo para leer"));
    emit update_progressBar2(true, 1.0f / kCaptureSteps * 100.0f);
}

void Modbus::checkAlarm() {
    if (!m_alarmCheck || m_alarmIndex < 0 || m_alarmIndex >= m_inputValues.size()) {
        return;
    }
    const float value = m_inputValues.at(m_alarmIndex);
    if (value == 0.0f) {
        return;
    }
    logArea(tr("El registro de alarma %1 es %2").arg(m_alarmIndex).arg(shortestFloatText(value)));
    m_testFailed = true;
    queueHoldingWrite(kAlarmStopRegister, 0, true, RequestQueue::Lane::Priority);
    m_alarmCheck = false;
}

void Modbus::checkAccessLevel() {
    if (!m_levelCheckPending) {
        return;
    }
    m_levelCheckPending = false;
    const int index = m_accessLevelIndex;
    if (index < 0 || index >= m_inputValues.size()) {
        emit send_status(false, true, true,
                         tr("Access level %1 asked for: the register map names no input register that "
                            "reports the granted level")
                             .arg(m_levelAsked));
        return;
    }
    emit send_status(false, true, true, accessLevelVerdict(m_levelAsked, int(m_inputValues.at(index))));
}

void Modbus::countReadFailure(bool exception, bool search) {
    using Kind = FailureCounter::Kind;
    const Kind kind = exception ? Kind::Exception : (search ? Kind::SearchNoAnswer : Kind::Other);
    const FailureCounter::Outcome outcome = m_failures.recordFailure(kind);
    if (outcome.countError) {
        emit incErrorCnt();
    }
    if (outcome.limitRun) {
        reportLostContact(exception);
    }
    emit update_errorNum(m_failures.errorCount());
}

void Modbus::reportLostContact(bool exception) {
    if (exception) {
        markTestCommunicationFailure();
    }
    stamped(tr("More than %1 consecutive comm. fails, will omit next messages!").arg(m_failures.limit()));
    m_outage.start();
    emit ext_disconnected_start();
    if (!exception) {
        markTestCommunicationFailure();
    }
}

void Modbus::markTestCommunicationFailure() {
    if (!m_testRunning) {
        return;
    }
    m_testFailed = true;
    stamped(tr("\r\nFALLO!. Error de comunicación\r\n"));
}
