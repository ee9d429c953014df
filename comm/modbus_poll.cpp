// The poll tick: one step of the worker's state machine.
#include <QDebug>
#include <QModbusReply>
#include <QTimer>

#include "comm/driveregisters.h"
#include "comm/modbus.h"
#include "comm/polltickhook.h"
#include "comm/replytext.h"
#include "comm/rtumaster.h"

void Modbus::poll() {
    if (m_hook) {
        m_hook->onPollTick(*this);
    }
    PollScheduler::Line line;
    // One request at a time: a tick that finds the last one unanswered waits for the next
    // tick instead of piling requests up in the master while the drive is slow or silent.
    line.busy = m_inFlight > 0 || !master();
    line.flashing = isFlashing();
    line.priorityWrite = m_queue.hasPriorityWrite(lineSession());
    line.write = !m_queue.isEmpty();
    line.answering = m_answering;
    switch (m_scheduler.next(line)) {
        case PollScheduler::Next::Wait:
            return;
        case PollScheduler::Next::Write:
            sendNextWrite();
            return;
        case PollScheduler::Next::Cycle:
            break;
    }
    if (!line.flashing && m_queue.isEmpty()) {
        setTimerInterval(m_pollInterval);
    }
    runPollState();
}

void Modbus::runPollState() {
    switch (m_state) {
        case ESTADO_R_INPUTS:
            return tickReadInputs();
        case ESTADO_R_HOLDINGS:
            return tickReadHoldings();
        case ESTADO_SEARCH:
            return tickSearch();
        case ESTADO_R_RANGE:
            return tickRange();
        case ESTADO_W_USER_FILE:
            return tickFirmwareBlock(false);
        case ESTADO_W_BOOT_FILE:
            return tickFirmwareBlock(true);
        case ESTADO_RESET_RENESAS:
            return tickResetRenesas();
        case ESTADO_RESET_ATMEL:
            return tickFinishFirmware(true);
        case ESTADO_MARK_GOOD:
            return tickFinishFirmware(false);
        case ESTADO_START_MOTOR:
            return tickStartFirmware(true);
        case ESTADO_ERASE_MOTOR:
            return tickEraseFirmware(true);
        case ESTADO_START_USER:
            return tickStartFirmware(false);
        case ESTADO_ERASE_USER:
            return tickEraseFirmware(false);
        case ESTADO_R_ACCEL:
            return tickCapture(false);
        case ESTADO_R_BUFFERS:
            return tickCapture(true);
        default:
            return;
    }
}

void Modbus::tickReadInputs() {
    if (m_bitRead.pending) {
        // Takes this tick's input read; the inputs are read again on the next cycle.
        m_bitRead.pending = false;
        setState(ESTADO_R_HOLDINGS);
        startRead(m_bitRead.coils ? ReadKind::Coils : ReadKind::DiscreteInputs, m_bitRead.start,
                  m_bitRead.count, m_serverAddress);
        return;
    }
    if (m_rangeRequested) {
        m_rangeRequested = false;
        setState(ESTADO_R_RANGE);
    } else if (m_capture.due() != CaptureSequence::Area::None) {
        const CaptureSequence::Area area = m_capture.due();
        m_capture.begin(area);
        setState(area == CaptureSequence::Area::Buffers ? ESTADO_R_BUFFERS : ESTADO_R_ACCEL);
        return;
    } else {
        setState(ESTADO_R_HOLDINGS);
    }
    if (m_pollingEnabled) {
        startRead(ReadKind::Inputs, 0, m_inputCount, m_serverAddress);
    }
}

void Modbus::tickReadHoldings() {
    setState(ESTADO_R_INPUTS);
    if (m_pollingEnabled) {
        startRead(ReadKind::Holdings, 0, m_holdingCount, m_serverAddress);
    }
    if (m_searchActive) {
        setState(ESTADO_SEARCH);
    }
}

void Modbus::tickSearch() {
    // A silent address must cost one tick: its time-out ends before the next tick comes.
    const int timeout = std::min(m_responseTimeout, m_pollInterval * 3 / 4);
    const int address = m_searchAddress;
    const bool last = address >= kLastSearchAddress;
    m_searchLastPending = last;
    const bool sent = startRead(ReadKind::Search, driveregisters::kIdentificationStart,
                                driveregisters::kIdentificationCount, address, timeout);
    m_searchActive = false;
    emit update_progressBarText(float(address) / kLastSearchAddress * 100.0f, address == 1);
    if (!last) {
        ++m_searchAddress;
        return;
    }
    setState(ESTADO_R_INPUTS);
    emit end_search_addresses();
    if (!sent) {
        endSearchStep(address);
    }
}

void Modbus::endSearchStep(int address) {
    if (!m_searchLastPending || address != kLastSearchAddress) {
        return;
    }
    m_searchLastPending = false;
    logArea(m_searchFound == 1 ? tr("1 drive found") : tr("%1 drives found").arg(m_searchFound));
}

void Modbus::tickRange() {
    setState(ESTADO_R_INPUTS);
    startRead(ReadKind::Range, m_rangeStart, m_rangeCount, m_serverAddress);
}

void Modbus::tickCapture(bool buffers) {
    const CaptureSequence::Area area =
        buffers ? CaptureSequence::Area::Buffers : CaptureSequence::Area::Accelerometer;
    const CaptureSequence::Step step = m_capture.next(area);
    if (step.progress >= 0.0f) {
        emit update_progressBar2(true, step.progress);
    }
    startRead(ReadKind::Capture, step.chunk.start, step.chunk.count, m_serverAddress);
    if (!step.last) {
        return;
    }
    if (buffers) {
        emit update_progressBar2(true, 0.0f);
    }
    setState(ESTADO_R_INPUTS);
}

void Modbus::sendNextWrite() {
    QueuedWrite write;
    if (!m_queue.take(lineSession(), &write)) {
        return;
    }
    if (write.fromSendList) {
        announceSendRecord(write);
    }
    if (m_state == ESTADO_R_INPUTS || m_state == ESTADO_R_HOLDINGS) {
        const bool inputsNext =
            PollScheduler::readInputsAfterWrite(write.kind == WriteKind::Device, !m_queue.isEmpty());
        setState(inputsNext ? ESTADO_R_INPUTS : ESTADO_R_HOLDINGS);
    }
    master()->setNumberOfRetries(3);
    master()->setTimeout(m_responseTimeout);
    QModbusReply *reply = master()->sendRawRequest(write.request, write.target);
    if (!reply) {
        statusBar(tr("Write error: ") + master()->errorString());
        tellHookWriteEnded(write.ticket, false);
        return;
    }
    if (reply->isFinished()) {
        qDebug() << "broadcast?";
        reply->deleteLater();
        tellHookWriteEnded(write.ticket, true);
        return;
    }
    ++m_inFlight;
    connect(reply, &QModbusReply::finished, this, [this, reply, write] { onWriteFinished(reply, write); });
}

void Modbus::announceSendRecord(const QueuedWrite &write) {
    const QByteArray data = write.request.data();
    const int address = (quint8(data.at(0)) << 8) | quint8(data.at(1));
    const int value = (quint8(data.at(2)) << 8) | quint8(data.at(3));
    logArea(tr("Writting value %1 to holding register %2").arg(value).arg(address));
    qDebug() << "num holdings restante: " << m_queue.sendRemaining() << " de un total de "
             << m_queue.sendTotal();
}

void Modbus::onWriteFinished(QModbusReply *reply, const QueuedWrite &write) {
    --m_inFlight;
    reply->deleteLater();
    const QModbusDevice::Error error = reply->error();
    if (error == QModbusDevice::ReplyAbortedError) {
        tellHookWriteEnded(write.ticket, false);
        return;
    }
    noteExchange(error == QModbusDevice::NoError || error == QModbusDevice::ProtocolError);
    tellHookWriteEnded(write.ticket, error == QModbusDevice::NoError);
    if (write.kind == WriteKind::Password) {
        m_levelCheckPending = true;
        m_levelAsked = write.level;
    }
    if (error == QModbusDevice::NoError) {
        return;
    }
    const QByteArray data = write.request.data();
    const int address = data.size() >= 2 ? (quint8(data.at(0)) << 8) | quint8(data.at(1)) : 0;
    const QString target = write.kind == WriteKind::Device
                               ? tr("coil %1 on device %2").arg(address).arg(write.target)
                               : registerName(address);
    const bool toLogArea = write.kind == WriteKind::Single || write.kind == WriteKind::Device;
    emit send_status(false, true, toLogArea, writeResponseError(*reply, target));
}

void Modbus::tellHookWriteEnded(quint64 ticket, bool ok) {
    if (m_hook) {
        m_hook->onWriteFinished(ticket, ok);
    }
}

void Modbus::noteExchange(bool answered) {
    m_answering = answered;
    if (!answered && m_hook) {
        m_hook->onExchangeFailed();
    }
}
