#include "map/numbertext.h"

#include <cmath>

QString shortestFloatText(float value) {
    if (!std::isfinite(value)) {
        return QString::number(static_cast<double>(value));
    }
    for (int precision = 1; precision < 9; ++precision) {
        const QString text = QString::number(static_cast<double>(value), 'g', precision);
        if (text.toFloat() == value) {
            return text;
        }
    }
    return QString::number(static_cast<double>(value), 'g', 9);
}
