#pragma once

#include <QString>
#include <QVector>
#include <Qt>

// The value axes of the realtime plot: which input registers go to which axis (by their
// unit), the axis titles and pen colours, and the scale controls under the plot.
namespace realtimeaxes {

// Two left and three right value axes, in this order.
enum class Axis { Speed = 0, Voltage, Current, Power, Temperature };
constexpr int kAxisCount = 5;

struct AxisSpec {
    Axis axis;
    QString unit;      // exact unit text of the registers plotted on this axis
    QString title;     // axis title, as built (translated where shown, context "realtimeaxes")
    QString rowTitle;  // check box of the axis's scale row, as built
    Qt::GlobalColor pen;
    bool rightSide;
    int indexOnSide;
    int initialMin;
    int initialMax;
};

const QVector<AxisSpec> &axes();
const AxisSpec &spec(Axis axis);

// The axis of a register of this unit, or -1 when such a register is not plotted ("Hz", "").
int axisIndexForUnit(const QString &unit);

// Time row: the bottom axis shows the seconds between newest - max and newest - min.
constexpr int kInitialTimeMin = 0;
constexpr int kInitialTimeMax = 60;
constexpr int kFieldMinimum = -1000000;
constexpr int kFieldMaximum = 1000000;

// A scale field as an integer; text that is not a number reads as 0.
int fieldValue(const QString &text);

struct Range {
    double lower = 0.0;
    double upper = 0.0;
};

// The bottom axis range, in the unit of newest, for a Time row of minSeconds and
// maxSeconds (given in either order) and the newest sample at newest (seconds).
Range timeWindow(double newestSeconds, int minSeconds, int maxSeconds);

// A fixed axis range from a min and a max field (given in either order).
Range fixedRange(int min, int max);

}  // namespace realtimeaxes
