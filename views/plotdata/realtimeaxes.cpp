#include "views/plotdata/realtimeaxes.h"

#include <algorithm>

namespace realtimeaxes {

const QVector<AxisSpec> &axes() {
    static const QVector<AxisSpec> table = {
        {Axis::Speed, QStringLiteral("rpm"), QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Speed [rpm]")),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Speed")), Qt::blue, false, 0, 0, 100},
        {Axis::Voltage, QStringLiteral("V"), QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Voltage [V]")),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Voltage")), Qt::red, false, 1, 0, 1000},
        {Axis::Current, QStringLiteral("A"), QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Current [A]")),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Current")), Qt::green, true, 0, 0, 10},
        {Axis::Power, QStringLiteral("W"), QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Power [W]")),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Power")), Qt::black, true, 1, 0, 4000},
        {Axis::Temperature, QStringLiteral("ºC"),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Temperature [ºC]")),
         QStringLiteral(QT_TRANSLATE_NOOP("realtimeaxes", "Temperature")), Qt::yellow, true, 2, 0, 100},
    };
    return table;
}

const AxisSpec &spec(Axis axis) {
    return axes().at(int(axis));
}

int axisIndexForUnit(const QString &unit) {
    const QVector<AxisSpec> &table = axes();
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).unit == unit) {
            return i;
        }
    }
    return -1;
}

int fieldValue(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

Range fixedRange(int min, int max) {
    return {double(std::min(min, max)), double(std::max(min, max))};
}

Range timeWindow(double newestSeconds, int minSeconds, int maxSeconds) {
    const Range back = fixedRange(minSeconds, maxSeconds);
    return {newestSeconds - back.upper, newestSeconds - back.lower};
}

}  // namespace realtimeaxes
