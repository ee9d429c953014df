#include "map/numbertext.h"

#include <cmath>

QString shortestFloatText(float value) {
    if (!std::isfinite(value) || value == 0.0f) {
        return QString::number(static_cast<double>(value));
    }
    // Plain notation unless the number is very large or very small, as %g would choose with
    // enough digits: 30 is "30", not "3e+01".
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(static_cast<double>(value)))));
    const int plainDigits = (exponent >= -5 && exponent < 17) ? exponent + 1 : 1;
    for (int precision = 1; precision <= 9; ++precision) {
        const QString text =
            QString::number(static_cast<double>(value), 'g', std::max(precision, plainDigits));
        if (text.toFloat() == value) {
            return text;
        }
    }
    return QString::number(static_cast<double>(value), 'g', 9);
}
