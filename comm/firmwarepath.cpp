#include "comm/firmwarepath.h"

#include <QStringList>

namespace {

bool isHexDigits(const QString &text) {
    for (QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool upper = c >= QLatin1Char('A') && c <= QLatin1Char('F');
        const bool lower = c >= QLatin1Char('a') && c <= QLatin1Char('f');
        if (!digit && !upper && !lower) {
            return false;
        }
    }
    return true;
}

FirmwarePathInfo::Target targetOf(const QString &path) {
    if (path.contains(QLatin1String("motor"))) {
        return FirmwarePathInfo::Target::Motor;
    }
    if (path.contains(QLatin1String("user"))) {
        return FirmwarePathInfo::Target::User;
    }
    return FirmwarePathInfo::Target::None;
}

}  // namespace

FirmwarePathInfo parseFirmwarePath(const QString &path) {
    FirmwarePathInfo info;
    info.target = targetOf(path);
    const QStringList pieces = path.split(QLatin1Char('_'));
    for (int i = 0; i < pieces.size(); ++i) {
        const QString &piece = pieces.at(i);
        if (piece.size() != 6 || !piece.startsWith(QLatin1String("0x"))) {
            continue;
        }
        const QString digits = piece.right(4);
        if (isHexDigits(digits)) {
            info.modelPieces.append({i, digits, uint16_t(digits.toUInt(nullptr, 16))});
        }
    }
    return info;
}
