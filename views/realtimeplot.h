#pragma once

#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>
#include <functional>

#include "app/outagetracker.h"
#include "app/powercalc.h"
#include "map/descriptors.h"

class QCPAxis;
class QCPGraph;
class QCustomPlot;
class RealtimeControls;
class ZoneItem;

// The "Time Graph" plot: one curve per input register whose unit has a value axis, fed
// one sample per ordinary input-register reply, over a date-time axis that follows the
// newest sample. The whole history is kept; the Time row only chooses what is shown, and
// a reply costs the same however long the history is (samples are appended, the shown
// window is found by binary search and drawn with adaptive sampling).
//
// The scale rows and power labels are a separate widget, controls(), which starts under
// the plot and may be moved into another layout.
class RealtimePlot : public QWidget {
    Q_OBJECT
  public:
    using Clock = std::function<qint64()>;  // milliseconds since the epoch

    explicit RealtimePlot(QWidget *parent = nullptr);

    // Builds the curves for these registers and empties the history. The list (and its
    // records) must outlive the plot's use of it.
    void setRegisters(const QVector<input_reg_t *> &registers);
    void setPowerPositions(const power::PowerPositions &positions) { m_powerPositions = positions; }
    // The time source for outages (tests); the default is the system clock.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // One ordinary reply, after its words have been stored in the registers: one sample per
    // curve (the register's current fvalue, so a register the reply missed repeats its last
    // value), the P, Q, S labels, and a replot at the next event-loop turn.
    void appendSample(qint64 msecsSinceEpoch);
    // Forgets every sample and outage band.
    void clearHistory();
    // The samples stop for a while (port closed, bus search): the next sample starts a new
    // stretch of line instead of being joined to the last one.
    void breakCurves();

    void replotNow();

    // The curve of input register registerIndex, or -1 when it is not plotted.
    int curveIndexOf(int registerIndex) const { return m_curveOfRegister.value(registerIndex, -1); }
    int curveCount() const { return m_curves.size(); }
    QCPGraph *curve(int index) const { return m_curves.at(index); }
    int sampleCount() const { return m_sampleCount; }
    QCPAxis *valueAxis(int axis) const { return m_valueAxes.at(axis); }
    QCPAxis *timeAxis() const;
    QList<ZoneItem *> zones() const { return m_zones; }
    QCustomPlot *customPlot() const { return m_plot; }
    RealtimeControls *controls() const;

  public slots:
    // on_RealtimeScaleChanged: the scale rows take effect.
    void applyScale();
    void onDisconnectedStart();
    void onDisconnectedStop();

  private:
    void buildAxes();
    void styleAxis(QCPAxis *axis, const QString &title);
    void followNewest();
    void scaleValueAxis(int axis);
    double newestKey() const { return m_newestMs / 1000.0; }

    QCustomPlot *m_plot;
    QPointer<RealtimeControls> m_controls;
    QVector<QCPAxis *> m_valueAxes;
    QVector<input_reg_t *> m_registers;
    QVector<int> m_curveOfRegister;
    QVector<QCPGraph *> m_curves;
    QVector<int> m_registerOfCurve;
    QList<ZoneItem *> m_zones;
    OutageTracker m_outages;
    power::PowerPositions m_powerPositions;
    Clock m_clock;
    qint64 m_newestMs = 0;
    int m_sampleCount = 0;
};
