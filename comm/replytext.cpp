#include "comm/replytext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QModbusReply>

#include "comm/firmwareimage.h"
#include "comm/firmwarepath.h"

QString exceptionMeaning(int code) {
    switch (code) {
        case 0x1:
            return QCoreApplication::translate("replytext", "illegal function");
        case 0x2:
            return QCoreApplication::translate("replytext", "illegal data address");
        case 0x3:
            return QCoreApplication::translate("replytext", "illegal data value");
        case 0x4:
            return QCoreApplication::translate("replytext", "server device failure");
        case 0x5:
            return QStringLiteral("acknowledge");
        case 0x6:
            return QCoreApplication::translate("replytext", "server device busy");
        case 0x8:
            return QCoreApplication::translate("replytext", "memory parity error");
        case 0xA:
            return QCoreApplication::translate("replytext", "gateway path unavailable");
        case 0xB:
            return QCoreApplication::translate("replytext", "gateway target failed to respond");
        default:
            return QCoreApplication::translate("replytext", "unknown exception");
    }
}

int exceptionCodeOf(const QModbusReply &reply) {
    if (reply.error() != QModbusDevice::ProtocolError) {
        return -1;
    }
    const QModbusResponse raw = reply.rawResult();
    return (raw.dataSize() > 0 && raw.isException()) ? quint8(raw.data().at(0)) : 0xFF;
}

QString writeResponseError(const QModbusReply &reply, const QString &target) {
    const int code = exceptionCodeOf(reply);
    QString text =
        code >= 0
            ? QCoreApplication::translate("replytext", "Write response error: %1 (Mobus exception: 0x%2)")
                  .arg(reply.errorString(), QString::number(code, 16).toUpper())
            : QCoreApplication::translate("replytext", "Write response error: %1 (code: 0x%2)")
                  .arg(reply.errorString(), QString::number(int(reply.error()), 16).toUpper());
    if (!target.isEmpty()) {
        text += QStringLiteral(" - ") + target;
        if (code >= 0) {
            text += QStringLiteral(": ") + exceptionMeaning(code);
        }
    }
    return text;
}

QString failureReason(const QModbusReply &reply) {
    const int code = exceptionCodeOf(reply);
    if (code >= 0) {
        return QCoreApplication::translate("replytext", "exception 0x%1, %2")
            .arg(QString::number(code, 16).toUpper(), exceptionMeaning(code));
    }
    if (reply.error() == QModbusDevice::TimeoutError) {
        return QCoreApplication::translate("replytext", "no answer");
    }
    return reply.errorString();
}

QString accessLevelVerdict(int asked, int reported) {
    if (asked == reported) {
        return QCoreApplication::translate("replytext", "Access level %1 granted").arg(asked);
    }
    return QCoreApplication::translate("replytext", "Access level %1 refused: the drive reports level %2")
        .arg(asked)
        .arg(reported);
}

QString flashConfirmationText(const QString &path, int driveModel) {
    const FirmwarePathInfo info = parseFirmwarePath(path);
    const int model = info.hasModel() ? info.model() : driveModel;
    const QFileInfo file(path);
    if (info.target == FirmwarePathInfo::Target::None || model == 0 || !file.isFile() || !file.isReadable()) {
        return QString();
    }
    const qint64 blocks = (file.size() + FirmwareImage::kBlockSize - 1) / FirmwareImage::kBlockSize;
    return QCoreApplication::translate("replytext",
                                       "Flash the firmware file\n%1\nto the %2 of a drive of model 0x%3?\n\n"
                                       "Size: %4 bytes (%5 blocks). The controller's memory is erased first; "
                                       "the drive cannot be used until the transfer ends.")
        .arg(QDir::toNativeSeparators(file.absoluteFilePath()),
             info.target == FirmwarePathInfo::Target::Motor
                 ? QCoreApplication::translate("replytext", "MOTOR uC")
                 : QCoreApplication::translate("replytext", "USER uC"),
             QStringLiteral("%1").arg(model, 4, 16, QLatin1Char('0')).toUpper())
        .arg(file.size())
        .arg(blocks);
}
