#include "firmwarereceiver.h"

#include <QDir>
#include <QModbusPdu>
#include <QSaveFile>

#include "comm/customfunction.h"

using namespace firmwarefunction;

namespace {

constexpr quint8 kIllegalDataValue = QModbusPdu::IllegalDataValue;
constexpr quint8 kDeviceFailure = QModbusPdu::ServerDeviceFailure;

}  // namespace

FirmwareReceiver::FirmwareReceiver(const QString &imageDir, quint16 model)
    : m_imageDir(imageDir), m_model(model) {}

QString FirmwareReceiver::fileName(Controller controller) {
    return controller == Motor ? QStringLiteral("motor.bin") : QStringLiteral("user.bin");
}

FirmwareReceiver::Outcome FirmwareReceiver::apply(const QByteArray &data) {
    if (data.size() < kCommandDataSize) {
        return {kIllegalDataValue, QStringLiteral("firmware frame too short (%1 bytes)").arg(data.size())};
    }
    const quint16 model = quint16((quint8(data.at(0)) << 8) | quint8(data.at(1)));
    if (model != m_model) {
        return {kIllegalDataValue, QStringLiteral("firmware frame for model 0x%1 refused (drive model 0x%2)")
                                       .arg(model, 4, 16, QLatin1Char('0'))
                                       .arg(m_model, 4, 16, QLatin1Char('0'))};
    }
    switch (quint8(data.at(2))) {
        case AnnounceMotor:
            return startImage(Motor, "announce");
        case AnnounceUser:
            return startImage(User, "announce");
        case EraseMotor:
            return startImage(Motor, "erase");
        case EraseUser:
            return startImage(User, "erase");
        case MotorBlock:
            return storeBlock(Motor, data);
        case UserBlock:
            return storeBlock(User, data);
        case ResetRenesas:
            return finish(Motor, "reset renesas");
        case ResetAtmel:
            return finish(m_current, m_current == User ? "mark good" : "reset atmel");
        default:
            return {kIllegalDataValue,
                    QStringLiteral("unknown firmware sub-command %1").arg(quint8(data.at(2)))};
    }
}

FirmwareReceiver::Outcome FirmwareReceiver::startImage(Controller controller, const char *what) {
    m_current = controller;
    m_images[controller].clear();
    return saved(controller,
                 QStringLiteral("firmware %1 %2").arg(fileName(controller).chopped(4), QLatin1String(what)));
}

FirmwareReceiver::Outcome FirmwareReceiver::storeBlock(Controller controller, const QByteArray &data) {
    if (data.size() != kBlockDataSize) {
        return {kIllegalDataValue, QStringLiteral("firmware block of %1 bytes refused").arg(data.size())};
    }
    const int block = (quint8(data.at(3)) << 8) | quint8(data.at(4));
    const int offset = block * kBlockSize;
    QByteArray &image = m_images[controller];
    if (image.size() < offset + kBlockSize) {
        image.append(QByteArray(offset + kBlockSize - image.size(), char(0xFF)));
    }
    image.replace(offset, kBlockSize, data.mid(kCommandDataSize + 2));
    return saved(controller, QString());
}

FirmwareReceiver::Outcome FirmwareReceiver::finish(Controller controller, const char *what) {
    return saved(controller, QStringLiteral("firmware %1 %2 (%3 bytes)")
                                 .arg(fileName(controller).chopped(4), QLatin1String(what))
                                 .arg(m_images[controller].size()));
}

FirmwareReceiver::Outcome FirmwareReceiver::saved(Controller controller, const QString &event) const {
    QString error;
    if (!save(controller, &error)) {
        return {kDeviceFailure, error};
    }
    return {0, event};
}

bool FirmwareReceiver::save(Controller controller, QString *error) const {
    if (m_imageDir.isEmpty()) {
        return true;
    }
    QSaveFile file(QDir(m_imageDir).filePath(fileName(controller)));
    if (!file.open(QIODevice::WriteOnly) || file.write(m_images[controller]) != m_images[controller].size() ||
        !file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}
