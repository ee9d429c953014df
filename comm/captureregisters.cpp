#include "comm/captureregisters.h"

#include <QLocale>
#include <cmath>
#include <cstring>

namespace captureregisters {

const QStringList &variableNames() {
    static const QStringList names = {
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "- Select a variable -")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "U current")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "V current")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "W current")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Quadrature current")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Bus voltage")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "System Phase")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Power output")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Mecanical speed")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Reference speed")),
        QStringLiteral("ang_pll"),
        QStringLiteral("ang_pll2"),
        QStringLiteral("vel_obs2"),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Quadrature reference")),
        QStringLiteral(QT_TRANSLATE_NOOP("captureregisters", "Direct durrent")),
    };
    return names;
}

uint16_t selectionWord(int red, int green, int blue) {
    return uint16_t((red & 0x1F) | ((green & 0x1F) << 5) | ((blue & 0x1F) << 10));
}

int scaleRegister(int trace) {
    return kScaleBase + 2 * trace;
}

QVector<uint16_t> scaleWords(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return {uint16_t(bits >> 16), uint16_t(bits & 0xFFFF)};
}

bool parseScale(const QString &text, float *value) {
    bool ok = false;
    const float parsed = QLocale::c().toFloat(text.trimmed(), &ok);
    if (!ok || !std::isfinite(parsed)) {
        return false;
    }
    *value = parsed;
    return true;
}

bool parsePointsAfterAlarm(const QString &text, uint16_t *points) {
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok, 10);
    if (!ok || parsed < 0 || parsed > 0xFFFF) {
        return false;
    }
    *points = uint16_t(parsed);
    return true;
}

}  // namespace captureregisters
