#include "comm/flashsequence.h"

#include <QCoreApplication>
#include <QFile>

#include "comm/customfunction.h"
#include "comm/firmwarepath.h"
#include "comm/pdubuilder.h"

using firmwarefunction::SubCommand;

bool FlashSequence::load(int model, const QString &path, QStringList *messages) {
    const FirmwarePathInfo info = parseFirmwarePath(path);
    m_model = uint16_t(model);
    for (const FirmwarePathInfo::ModelPiece &piece : info.modelPieces) {
        m_model = piece.model;
        *messages << QStringLiteral("i: %1, srt: %2, model: %3")
                         .arg(piece.index)
                         .arg(piece.digits)
                         .arg(piece.model);
    }
    if (m_model == 0) {
        *messages << QCoreApplication::translate("FlashSequence",
                                                 "The model number must be defined to send the update!");
        return false;
    }
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        *messages
            << QCoreApplication::translate("FlashSequence", "Selected file: %1 can't be opened").arg(path);
        return false;
    }
    if (info.target == FirmwarePathInfo::Target::None) {
        *messages << QCoreApplication::translate(
                         "FlashSequence",
                         "Selected file: %1 is neither a motor nor a user firmware (the file name "
                         "must contain \"motor\" or \"user\")")
                         .arg(path);
        return false;
    }
    if (file.size() == 0 || file.size() > FirmwareImage::kMaxSize) {
        *messages << QCoreApplication::translate(
                         "FlashSequence",
                         "Selected file: %1 can't be flashed: its size (%2 bytes) must be 1 to %3 bytes")
                         .arg(path)
                         .arg(file.size())
                         .arg(FirmwareImage::kMaxSize);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        *messages
            << QCoreApplication::translate("FlashSequence", "Selected file: %1 can't be opened").arg(path);
        return false;
    }
    m_image = FirmwareImage(bytes);
    m_bytes = bytes.size();
    m_motor = info.target == FirmwarePathInfo::Target::Motor;
    m_nextBlock = 0;
    return true;
}

void FlashSequence::clear() {
    m_image = FirmwareImage();
    m_nextBlock = 0;
}

QString FlashSequence::controller() const {
    return m_motor ? QCoreApplication::translate("FlashSequence", "MOTOR uC")
                   : QCoreApplication::translate("FlashSequence", "USER uC");
}

QModbusRequest FlashSequence::command(quint8 subCommand) const {
    return pdu::firmwareCommand(m_model, subCommand);
}

QModbusRequest FlashSequence::announceFrame() const {
    return command(m_motor ? SubCommand::AnnounceMotor : SubCommand::AnnounceUser);
}

QModbusRequest FlashSequence::eraseFrame() {
    m_nextBlock = 0;
    return command(m_motor ? SubCommand::EraseMotor : SubCommand::EraseUser);
}

QModbusRequest FlashSequence::takeBlockFrame() {
    const quint8 sub = m_motor ? SubCommand::MotorBlock : SubCommand::UserBlock;
    const int number = m_nextBlock++;
    return pdu::firmwareBlock(m_model, sub, uint16_t(number), m_image.block(number));
}

float FlashSequence::progressAfterLastBlock() const {
    return m_image.progressAfterBlock(m_nextBlock - 1);
}

QModbusRequest FlashSequence::resetRenesasFrame() const {
    return command(SubCommand::ResetRenesas);
}

QModbusRequest FlashSequence::finishFrame() const {
    return command(SubCommand::ResetAtmel);
}
