#include "views/plotdata/powercalc.h"

#include <cmath>

namespace power {

namespace {

QString oneDecimal(double value) {
    return QString::number(value, 'f', 1);
}

bool validPosition(const QVector<input_reg_t *> &inputs, int position) {
    return position >= 0 && position < inputs.size() && inputs.at(position) != nullptr;
}

}  // namespace

PowerValues compute(double id, double iq, double vd, double vq) {
    PowerValues values;
    values.p = 1.5 * (vd * id + vq * iq);
    values.q = 1.5 * (vq * id - vd * iq);
    values.s = std::sqrt(values.p * values.p + values.q * values.q);
    return values;
}

bool fromInputs(const QVector<input_reg_t *> &inputs, const PowerPositions &positions, PowerValues *out) {
    for (int position : {positions.id, positions.iq, positions.vd, positions.vq}) {
        if (!validPosition(inputs, position)) {
            return false;
        }
    }
    *out = compute(inputs.at(positions.id)->fvalue, inputs.at(positions.iq)->fvalue,
                   inputs.at(positions.vd)->fvalue, inputs.at(positions.vq)->fvalue);
    return true;
}

QString activeText(double p) {
    return QStringLiteral("P = %1 W").arg(oneDecimal(p));
}

QString reactiveText(double q) {
    return QStringLiteral("Q = %1 VAr").arg(oneDecimal(q));
}

QString apparentText(double s) {
    return QStringLiteral("S = %1 VA").arg(oneDecimal(s));
}

}  // namespace power
