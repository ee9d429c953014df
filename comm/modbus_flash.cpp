// Firmware flashing over function 0x64: announce, erase, 128-byte blocks, then resets (motor
// controller) or the mark that the new firmware is good (user controller). One frame per tick;
// the first frame that the drive refuses or leaves unanswered ends the transfer as failed.
#include <QDebug>
#include <QModbusReply>
#include <QTimer>
#include <algorithm>

#include "comm/customfunction.h"
#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/replytext.h"
#include "comm/rtumaster.h"

void Modbus::selectFirmwareFile(int model, const QString &path) {
    if (deferToWorkerThread([=] { selectFirmwareFile(model, path); })) {
        return;
    }
    if (refuseWhileFlashing()) {
        return;  // the running sequence reports its own end
    }
    QStringList messages;
    const bool loaded = m_flash.load(model, path, &messages);
    for (const QString &message : messages) {
        logArea(message);
    }
    if (!loaded) {
        setState(ESTADO_R_INPUTS);
        emit flash_finished(false);
        return;
    }
    logArea(tr("Selected file: %1").arg(path));
    logArea(tr("Selected file size: %1kB").arg(m_flash.bytes() / 1024));
    logArea(tr("Ready to flash the new firmware"));
    emit disableInteraction(true);
    m_flashAllSent = true;
    m_flashProgressShown = false;
    m_flashPercent = 0.0f;
    setState(m_flash.motor() ? ESTADO_START_MOTOR : ESTADO_START_USER);
}

namespace {

// Frames are retried on a time-out; a refused frame is final.
constexpr int kFlashRetries = 2;
// The boot loader may take its time; a good answer never delays the next tick.
constexpr int kLowestFlashTimeoutMs = 250;

}  // namespace

void Modbus::setFlashPace(int intervalMs) {
    setTimerInterval(intervalMs);
    m_flashTimeout = std::max(kLowestFlashTimeoutMs, intervalMs * 3 / 4);
}

void Modbus::tickStartFirmware(bool motor) {
    setState(motor ? ESTADO_ERASE_MOTOR : ESTADO_ERASE_USER);
    setFlashPace(motor ? 1000 : 500);
    logArea(motor ? tr("Sending file to MOTOR uC") : tr("Sending file to USER uC"));
    sendFirmwareFrame(m_flash.announceFrame(), FrameKind::Command, tr("the announce frame"));
}

void Modbus::tickEraseFirmware(bool motor) {
    logArea(motor ? tr("Erase MOTOR memory") : tr("Erase USER memory"));
    setFlashPace(motor ? 1250 : 1000);
    setState(motor ? ESTADO_W_BOOT_FILE : ESTADO_W_USER_FILE);
    sendFirmwareFrame(m_flash.eraseFrame(), FrameKind::Command, tr("the erase frame"));
}

void Modbus::tickFirmwareBlock(bool motor) {
    const linesettings::FlashTiming timing = linesettings::flashTiming(m_speed);
    m_pollInterval = timing.blockIntervalMs;
    m_responseTimeout = timing.responseTimeoutMs;
    setFlashPace(m_pollInterval);
    if (m_flash.blocksDone()) {
        if (motor) {
            qDebug() << "ESTADO_W_BOOT_FILE fin!!";
        }
        logArea(tr("cerrando fichero"));
        m_flashProgressShown = false;  // no longer the last line of the log
        setState(motor ? ESTADO_RESET_RENESAS : ESTADO_MARK_GOOD);
        return;
    }
    const QString frameName = tr("block %1").arg(m_flash.nextBlock());
    if (sendFirmwareFrame(m_flash.takeBlockFrame(), FrameKind::Block, frameName)) {
        m_flashPercent = m_flash.progressAfterLastBlock();
        emit update_progressBarText(m_flashPercent, !m_flashProgressShown);
        m_flashProgressShown = true;
    }
}

void Modbus::tickResetRenesas() {
    setState(ESTADO_RESET_ATMEL);
    setFlashPace(m_pollInterval);
    logArea(tr("Envio de reset del renesas a app principal"));
    sendFirmwareFrame(m_flash.resetRenesasFrame(), FrameKind::Command, tr("the Renesas reset"));
}

void Modbus::tickFinishFirmware(bool motor) {
    setState(ESTADO_R_INPUTS);
    setFlashPace(m_pollInterval);
    logArea(motor ? tr("Envio de reset del atmel a app principal") : tr("Marcar firmware como bueno"));
    const QString frameName = motor ? tr("the Atmel reset") : tr("the mark-good frame");
    if (!sendFirmwareFrame(m_flash.finishFrame(), FrameKind::LastCommand, frameName)) {
        failFlash(tr("at %1: it could not be sent").arg(frameName));
    }
}

bool Modbus::sendFirmwareFrame(const QModbusRequest &request, FrameKind kind, const QString &frameName) {
    master()->setNumberOfRetries(kFlashRetries);
    master()->setTimeout(m_flashTimeout);
    QModbusReply *reply = master()->sendRawRequest(request, m_serverAddress);
    if (!reply) {
        m_flashAllSent = false;
        if (kind != FrameKind::Block) {
            statusBar(tr("Write error: ") + master()->errorString());
        }
        return false;
    }
    if (reply->isFinished()) {
        qDebug() << "broadcast?";
        reply->deleteLater();
        if (kind == FrameKind::LastCommand) {
            finishFlash();
            emit flash_finished(m_flashAllSent);
        }
        return true;
    }
    ++m_inFlight;
    const QByteArray echo = request.data().left(firmwarefunction::kReplyDataSize);
    connect(reply, &QModbusReply::finished, this,
            [this, reply, kind, frameName, echo] { onFirmwareFrameFinished(reply, kind, frameName, echo); });
    return true;
}

void Modbus::onFirmwareFrameFinished(QModbusReply *reply, FrameKind kind, const QString &frameName,
                                     const QByteArray &echo) {
    --m_inFlight;
    reply->deleteLater();
    const QModbusDevice::Error error = reply->error();
    if (error == QModbusDevice::ReplyAbortedError) {
        return;  // the port was closed: abortFlash has said so
    }
    if (kind != FrameKind::Block) {
        reportFirmwareReplyError(reply);
    }
    // A late answer is taken for the retry of its frame, and every later frame then gets the answer
    // of the one before: a frame the drive never took would pass as acknowledged.
    const bool answerOfAnotherFrame = error == QModbusDevice::NoError && reply->rawResult().data() != echo;
    if (error != QModbusDevice::NoError || answerOfAnotherFrame) {
        if (isFlashing() || kind == FrameKind::LastCommand) {
            failFlash(tr("at %1: %2")
                          .arg(frameName, answerOfAnotherFrame ? tr("the answer was for another frame")
                                                               : failureReason(*reply)));
        }
        return;
    }
    if (kind == FrameKind::LastCommand) {
        finishFlash();
        emit flash_verdict(true, tr("Firmware update of the %1 completed: %2 bytes sent")
                                     .arg(m_flash.controller())
                                     .arg(m_flash.bytes()));
        emit flash_finished(true);
    }
}

void Modbus::reportFirmwareReplyError(QModbusReply *reply) {
    const QModbusDevice::Error error = reply->error();
    if (error == QModbusDevice::NoError) {
        return;
    }
    const QString prefix = error == QModbusDevice::ProtocolError
                               ? tr("RESPUESTA A FUNCION 0x64 - ProtocolError - ")
                               : tr("RESPUESTA A FUNCION 0x64  - =/= NoError - ");
    statusBar(prefix + writeResponseError(*reply));
}

void Modbus::finishFlash() {
    // Back to the polling rhythm of the line speed: the short flash time-outs would make
    // ordinary reads fail.
    m_pollInterval = m_configuredPollInterval;
    m_responseTimeout = m_configuredResponseTimeout;
    setTimerInterval(m_pollInterval);
    m_flash.clear();
    emit disableInteraction(false);
}

void Modbus::failFlash(const QString &detail) {
    m_flashAllSent = false;
    if (isFlashing()) {
        setState(ESTADO_R_INPUTS);
    }
    finishFlash();
    emit update_progressBarText(m_flashPercent, !m_flashProgressShown);
    emit incErrorCnt();
    emit flash_verdict(false, tr("Firmware update of the %1 failed %2").arg(m_flash.controller(), detail));
    emit flash_finished(false);
}

void Modbus::abortFlash(const QString &reason) {
    failFlash(tr("(aborted: %1)").arg(reason));
}
