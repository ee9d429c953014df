// Firmware flashing over function 0x64: announce, erase, 128-byte blocks, then resets (motor
// controller) or the mark that the new firmware is good (user controller). One frame per tick;
// the sequence does not wait for the drive's answers.
#include <QDebug>
#include <QFile>
#include <QModbusReply>
#include <QTimer>

#include "comm/customfunction.h"
#include "comm/firmwarepath.h"
#include "comm/linesettings.h"
#include "comm/modbus.h"
#include "comm/pdubuilder.h"
#include "comm/replytext.h"
#include "comm/rtumaster.h"

using firmwarefunction::SubCommand;

void Modbus::selectFirmwareFile(int model, const QString &path) {
    if (deferToWorkerThread([=] { selectFirmwareFile(model, path); })) {
        return;
    }
    if (refuseWhileFlashing()) {
        return;  // the running sequence reports its own end
    }
    bool motor = false;
    if (!loadFirmware(model, path, &motor)) {
        setState(ESTADO_R_INPUTS);
        emit flash_finished(false);
        return;
    }
    logArea(QStringLiteral("Selected file: %1").arg(path));
    logArea(QStringLiteral("Selected file size: %1kB").arg(m_firmware.size() / 1024));
    logArea(QStringLiteral("Ready to flash the new firmware"));
    emit disableInteraction(true);
    m_flashAllSent = true;
    setState(motor ? ESTADO_START_MOTOR : ESTADO_START_USER);
}

bool Modbus::loadFirmware(int model, const QString &path, bool *motor) {
    const FirmwarePathInfo info = parseFirmwarePath(path);
    m_firmwareModel = uint16_t(model);
    for (const FirmwarePathInfo::ModelPiece &piece : info.modelPieces) {
        m_firmwareModel = piece.model;
        logArea(
            QStringLiteral("i: %1, srt: %2, model: %3").arg(piece.index).arg(piece.digits).arg(piece.model));
    }
    if (m_firmwareModel == 0) {
        logArea(QStringLiteral("The model number must be defined to send the update!"));
        return false;
    }
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        logArea(QStringLiteral("Selected file: %1 can't be opened").arg(path));
        return false;
    }
    if (info.target == FirmwarePathInfo::Target::None) {
        logArea(QStringLiteral("Selected file: %1 is neither a motor nor a user firmware (the file name must "
                               "contain \"motor\" or \"user\")")
                    .arg(path));
        return false;
    }
    if (file.size() == 0 || file.size() > FirmwareImage::kMaxSize) {
        logArea(
            QStringLiteral("Selected file: %1 can't be flashed: its size (%2 bytes) must be 1 to %3 bytes")
                .arg(path)
                .arg(file.size())
                .arg(FirmwareImage::kMaxSize));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        logArea(QStringLiteral("Selected file: %1 can't be opened").arg(path));
        return false;
    }
    m_firmware = FirmwareImage(bytes);
    *motor = info.target == FirmwarePathInfo::Target::Motor;
    return true;
}

void Modbus::tickStartFirmware(bool motor) {
    setState(motor ? ESTADO_ERASE_MOTOR : ESTADO_ERASE_USER);
    m_flashTimeout = 50;
    setTimerInterval(motor ? 1000 : 500);
    logArea(motor ? QStringLiteral("Sending file to MOTOR uC") : QStringLiteral("Sending file to USER uC"));
    sendFirmwareFrame(
        pdu::firmwareCommand(m_firmwareModel, motor ? SubCommand::AnnounceMotor : SubCommand::AnnounceUser),
        FrameKind::Command);
}

void Modbus::tickEraseFirmware(bool motor) {
    logArea(motor ? QStringLiteral("Erase MOTOR memory") : QStringLiteral("Erase USER memory"));
    sendFirmwareFrame(
        pdu::firmwareCommand(m_firmwareModel, motor ? SubCommand::EraseMotor : SubCommand::EraseUser),
        FrameKind::Command);
    setTimerInterval(motor ? 1250 : 1000);
    setState(motor ? ESTADO_W_BOOT_FILE : ESTADO_W_USER_FILE);
    m_blockCounter = 0;
}

void Modbus::tickFirmwareBlock(bool motor) {
    const linesettings::FlashTiming timing = linesettings::flashTiming(m_speed);
    m_pollInterval = timing.blockIntervalMs;
    m_responseTimeout = timing.responseTimeoutMs;
    setTimerInterval(m_pollInterval);
    m_flashTimeout = 10;
    if (m_blockCounter >= m_firmware.blockCount()) {
        if (motor) {
            qDebug() << "ESTADO_W_BOOT_FILE fin!!";
        }
        logArea(QStringLiteral("cerrando fichero"));
        m_flashTimeout = motor ? 100 : 50;
        setState(motor ? ESTADO_RESET_RENESAS : ESTADO_MARK_GOOD);
        return;
    }
    const quint8 sub = motor ? SubCommand::MotorBlock : SubCommand::UserBlock;
    const QModbusRequest frame =
        pdu::firmwareBlock(m_firmwareModel, sub, uint16_t(m_blockCounter), m_firmware.block(m_blockCounter));
    if (sendFirmwareFrame(frame, FrameKind::Block)) {
        emit update_progressBarText(m_firmware.progressAfterBlock(m_blockCounter), m_blockCounter == 0);
    }
    ++m_blockCounter;
}

void Modbus::tickResetRenesas() {
    setState(ESTADO_RESET_ATMEL);
    setTimerInterval(m_pollInterval);
    logArea(QStringLiteral("Envio de reset del renesas a app principal"));
    sendFirmwareFrame(pdu::firmwareCommand(m_firmwareModel, SubCommand::ResetRenesas), FrameKind::Command);
}

void Modbus::tickFinishFirmware(bool motor) {
    setState(ESTADO_R_INPUTS);
    if (motor) {
        logArea(QStringLiteral("Envio de reset del atmel a app principal"));
    } else {
        setTimerInterval(m_pollInterval);
        logArea(QStringLiteral("Marcar firmware como bueno"));
    }
    const bool awaitingReply = sendFirmwareFrame(
        pdu::firmwareCommand(m_firmwareModel, SubCommand::ResetAtmel), FrameKind::LastCommand);
    finishFlash();
    if (!awaitingReply) {
        emit flash_finished(m_flashAllSent);
    }
}

bool Modbus::sendFirmwareFrame(const QModbusRequest &request, FrameKind kind) {
    m_master->setNumberOfRetries(0);
    m_master->setTimeout(m_flashTimeout);
    QModbusReply *reply = m_master->sendRawRequest(request, m_serverAddress);
    if (!reply) {
        m_flashAllSent = false;
        if (kind != FrameKind::Block) {
            statusBar(tr("Write error: ") + m_master->errorString());
        }
        return false;
    }
    if (reply->isFinished()) {
        qDebug() << "broadcast?";
        reply->deleteLater();
        return kind == FrameKind::Block;
    }
    ++m_inFlight;
    connect(reply, &QModbusReply::finished, this, [this, reply, kind] {
        --m_inFlight;
        reply->deleteLater();
        if (reply->error() == QModbusDevice::ProtocolError) {
            m_flashAllSent = false;  // the drive refused the frame
        }
        if (kind != FrameKind::Block) {
            onFirmwareCommandFinished(reply);
        }
        if (kind == FrameKind::LastCommand) {
            emit flash_finished(m_flashAllSent);
        }
    });
    return true;
}

void Modbus::onFirmwareCommandFinished(QModbusReply *reply) {
    const QModbusDevice::Error error = reply->error();
    if (error == QModbusDevice::NoError || error == QModbusDevice::ReplyAbortedError) {
        return;
    }
    const QString prefix = error == QModbusDevice::ProtocolError
                               ? QStringLiteral("RESPUESTA A FUNCION 0x64 - ProtocolError - ")
                               : QStringLiteral("RESPUESTA A FUNCION 0x64  - =/= NoError - ");
    statusBar(prefix + writeResponseError(*reply));
}

void Modbus::finishFlash() {
    // Back to the polling rhythm of the line speed: the short flash time-outs would make
    // ordinary reads fail.
    m_pollInterval = m_configuredPollInterval;
    m_responseTimeout = m_configuredResponseTimeout;
    setTimerInterval(m_pollInterval);
    m_firmware = FirmwareImage();
    emit disableInteraction(false);
}

void Modbus::abortFlash(const QString &reason) {
    logArea(QStringLiteral("Firmware update aborted: %1").arg(reason));
    setState(ESTADO_R_INPUTS);
    finishFlash();
    emit flash_finished(false);
}
