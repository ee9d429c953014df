#include "app/statusline.h"

#include <QCoreApplication>

#include "comm/linesettings.h"
#include "map/registertooltip.h"

namespace statusline {

namespace {

QChar parityLetter(QSerialPort::Parity parity) {
    switch (parity) {
        case QSerialPort::OddParity:
            return QLatin1Char('O');
        case QSerialPort::EvenParity:
            return QLatin1Char('E');
        default:
            return QLatin1Char('N');
    }
}

}  // namespace

QString lineText(int speed, int framingIndex) {
    const linesettings::Framing framing = linesettings::framing(framingIndex);
    const int stopBits = framing.stopBits == QSerialPort::TwoStop ? 2 : 1;
    return QStringLiteral("%1 8%2%3")
        .arg(linesettings::speedRow(speed).baudRate)
        .arg(parityLetter(framing.parity))
        .arg(stopBits);
}

QString replyAge(qint64 ageMs) {
    if (ageMs < 0) {
        return QCoreApplication::translate("statusline", "none yet");
    }
    if (ageMs < 10000) {
        return QCoreApplication::translate("statusline", "%1 s ago").arg(double(ageMs) / 1000.0, 0, 'f', 1);
    }
    if (ageMs < 120000) {
        return QCoreApplication::translate("statusline", "%1 s ago").arg(ageMs / 1000);
    }
    return QCoreApplication::translate("statusline", "%1 min ago").arg(ageMs / 60000);
}

QString accessLevel(int level) {
    if (level < 0 || level > 3) {
        return QCoreApplication::translate("statusline", "level unknown");
    }
    const QString name =
        level == 0 ? QCoreApplication::translate("statusline", "none") : registertooltip::levelName(level);
    return QCoreApplication::translate("statusline", "level %1 (%2)").arg(level).arg(name);
}

}  // namespace statusline
