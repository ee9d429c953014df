#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

// Active, reactive and apparent power from the drive's d/q currents and voltages, and the
// texts of the P, Q and S labels under the realtime plot.
namespace power {

struct PowerValues {
    double p = 0.0;
    double q = 0.0;
    double s = 0.0;
};

// Positions, in the input-register list, of the registers carrying id, iq, vd and vq (the
// map options power_id, power_iq, power_vd, power_vq); -1 when not configured.
struct PowerPositions {
    int id = -1;
    int iq = -1;
    int vd = -1;
    int vq = -1;
};

PowerValues compute(double id, double iq, double vd, double vq);

// Uses the registers' current fvalue. False, with *out untouched, when a position is not
// a valid index of the list.
bool fromInputs(const QVector<input_reg_t *> &inputs, const PowerPositions &positions, PowerValues *out);

QString activeText(double p);    // "P = 30.0 W"
QString reactiveText(double q);  // "Q = 0.0 VAr"
QString apparentText(double s);  // "S = 30.0 VA"

}  // namespace power
