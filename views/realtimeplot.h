#pragma once

#include <QList>
#include <QPointer>
#include <QVector>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "map/descriptors.h"
#include "views/plotdata/historystore.h"
#include "views/plotdata/outagetracker.h"
#include "views/plotdata/powercalc.h"

class QAction;
class QCPAxis;
class QCPGraph;
class ReplayWindow;
class QCPItemStraightLine;
class QCPRange;
class QCustomPlot;
class QLabel;
class QMouseEvent;
class QPushButton;
class QWheelEvent;
class RealtimeControls;
class ZoneItem;

// The "Time Graph" plot: one curve per input register whose unit has a value axis, fed one
// sample per ordinary input-register reply. The samples live in a HistoryStore; the plot
// only draws the window it shows, at screen resolution, so a reply costs the same however
// long the history is.
//
// Reading it: a legend (click an entry to hide or show its curve), the curve's name under
// the mouse, one or two vertical cursors (click) with the values at them. Navigating: the
// wheel zooms time around the mouse, Shift/Ctrl + wheel the value axes, a drag pans time
// (Shift + drag the values), Ctrl + drag zooms into a rectangle; double-click or "Reset
// view" follows live data again. While the view is away from live data, replies are still
// recorded and "Live ▶" jumps back.
//
// The scale rows and power labels are a separate widget, controls(), which starts under the
// plot and may be moved into another layout.
class RealtimePlot : public QWidget {
    Q_OBJECT
  public:
    using Clock = std::function<qint64()>;  // milliseconds since the epoch

    struct CurveSpec {
        QString name;
        QString unit;
        int axis = 0;
    };
    // The actions of the plot's context menu that also belong in the File menu.
    struct Actions {
        QAction *openDataLog = nullptr;
        QAction *exportPng = nullptr;
        QAction *exportPdf = nullptr;
        QAction *exportCsv = nullptr;
    };

    explicit RealtimePlot(QWidget *parent = nullptr);
    ~RealtimePlot() override;

    // Builds the curves for these registers and empties the history. The list (and its
    // records) must outlive the plot's use of it.
    void setRegisters(const QVector<input_reg_t *> &registers);
    void setPowerPositions(const power::PowerPositions &positions) { m_powerPositions = positions; }
    // Curves after those of the registers, such as other drives' overview registers; `values`
    // gives one value per spec for each sample (NaN: none yet). Rebuilds the curves and empties
    // the history.
    using ExtraValues = std::function<QVector<double>()>;
    void setExtraCurves(const QVector<CurveSpec> &specs, ExtraValues values);
    // The time source for outages (tests); the default is the system clock.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The moment of Connect, for "seconds since Connect" in the CSV export; until it is set,
    // the first sample's time.
    void setConnectTime(qint64 msecsSinceEpoch) { m_connectMs = msecsSinceEpoch; }

    // One ordinary reply, after its words have been stored in the registers: one sample per
    // curve (the register's current fvalue, so a register the reply missed repeats its last
    // value), P, Q and S, and a replot at the next event-loop turn while following live data.
    void appendSample(qint64 msecsSinceEpoch);
    // Forgets every sample and outage band.
    void clearHistory();
    // The samples stop for a while (port closed, bus search): the next sample starts a new
    // stretch of line instead of being joined to the last one.
    void breakCurves();

    // A recorded history instead of live data (a data log): channels are the curves, then P,
    // Q and S. The view shows all of it.
    void showRecorded(const QVector<CurveSpec> &curves, std::unique_ptr<plotdata::HistoryStore> history,
                      qint64 connectMs);

    void replotNow();

    // Navigation. A time window in seconds since the epoch.
    void showTimeWindow(double fromSeconds, double toSeconds);
    bool isFollowingLive() const { return m_following; }
    // Cursors 0 and 1 at a time in seconds since the epoch.
    void setCursorAt(int cursor, double seconds);
    void clearCursors();
    // The cursor read-out: time and value of each shown curve (and P, Q, S) at each cursor,
    // and with two cursors the time and the differences between them.
    QString cursorText() const;
    void setCurveShown(int curve, bool shown);
    bool isCurveShown(int curve) const;

    // Exports of what is shown; false with a reason.
    bool exportPicture(const QString &path, QString *error);  // .png or .pdf by the suffix
    bool exportCsv(const QString &path, QString *error);

    // The curve of input register registerIndex, or -1 when it is not plotted.
    int curveIndexOf(int registerIndex) const { return m_curveOfRegister.value(registerIndex, -1); }
    int curveCount() const { return m_curves.size(); }
    QCPGraph *curve(int index) const { return m_curves.at(index); }
    qint64 sampleCount() const { return m_history->sampleCount(); }
    const plotdata::HistoryStore &history() const { return *m_history; }
    QCPAxis *valueAxis(int axis) const { return m_valueAxes.at(axis); }
    QCPAxis *timeAxis() const;
    QList<ZoneItem *> zones() const { return m_zones; }
    QCustomPlot *customPlot() const { return m_plot; }
    RealtimeControls *controls() const;
    const Actions &actions() const { return m_actions; }
    QPushButton *liveButton() const { return m_live; }
    QPushButton *pauseButton() const { return m_pause; }
    QPushButton *resetViewButton() const { return m_resetView; }
    // The tool row's line: the cursors' times and Δt (the values are in readoutBox()).
    QLabel *readout() const { return m_readout; }
    // The box in the plot beside the newest cursor: a column per cursor (and the differences),
    // a line per value; hidden without cursors.
    QLabel *readoutBox() const { return m_readoutBox; }
    // The register names of the P, Q, S inputs (id, iq, vd, vq); empty when not configured.
    QStringList powerRegisterNames() const;

  public slots:
    // on_RealtimeScaleChanged: the scale rows take effect.
    void applyScale();
    void onDisconnectedStart();
    void onDisconnectedStop();
    // Follows live data again with the automatic value axes (a recording: shows all of it).
    void resetView();
    // Freezes the view where it is; recording goes on.
    void pause();
    void openDataLog();
    // The replay of a data log, or null (and why) for a file that is not one.
    ReplayWindow *openDataLogFile(const QString &path, QString *error);

  private:
    void buildToolRow();
    void buildAxes();
    void buildLegend();
    void buildActions();
    void styleAxis(QCPAxis *axis, const QString &title);
    void buildCurves(const QVector<CurveSpec> &curves);
    void refreshView();
    void fitLegend();
    void fillCurves();
    void scaleValueAxis(int axis);
    void setFollowing(bool following);
    void onTimeRangeChanged();
    void onValueRangeChanged(int axis);
    void onWheel(QWheelEvent *event);
    void onMousePress(QMouseEvent *event);
    void onMouseRelease(QMouseEvent *event);
    void onMouseMove(QMouseEvent *event);
    void onDoubleClick(QMouseEvent *event);
    void placeCursor(double seconds);
    void updateCursors();
    void placeReadoutBox();
    static QString readoutHtml(const QVector<QStringList> &blocks, int rows);
    bool layOutReadout(const QVector<QStringList> &blocks, const QSize &room);
    void showContextMenu(const QPoint &pos);
    void exportWithDialog(const QString &filter, const QString &suffix);
    QString readingText(int channel, qint64 ms) const;
    double newestKey() const { return m_history->newestMs() / 1000.0; }

    QCustomPlot *m_plot;
    QPointer<RealtimeControls> m_controls;
    QPushButton *m_pause = nullptr;
    QPushButton *m_live = nullptr;
    QPushButton *m_resetView = nullptr;
    QLabel *m_readout = nullptr;
    QLabel *m_readoutBox = nullptr;
    int m_newestCursor = 0;
    QVector<QStringList> m_readoutBlocks;         // a cursor's (or the differences') parts
    std::pair<QSize, QSize> m_readoutLaidOutFor;  // plot area and plot sizes the box was laid out for
    bool m_readoutInArea = true;
    Actions m_actions;
    QVector<QCPAxis *> m_valueAxes;
    QVector<std::optional<std::pair<double, double>>> m_valueOverride;
    QVector<input_reg_t *> m_registers;
    QVector<int> m_curveOfRegister;
    QVector<CurveSpec> m_specs;
    QVector<CurveSpec> m_extraSpecs;
    ExtraValues m_extraValues;
    QVector<QCPGraph *> m_curves;
    QVector<int> m_registerOfCurve;
    QList<ZoneItem *> m_zones;
    std::array<QCPItemStraightLine *, 2> m_cursors{};
    std::array<std::optional<double>, 2> m_cursorBeforeClick{};
    std::unique_ptr<plotdata::HistoryStore> m_history;
    OutageTracker m_outages;
    power::PowerPositions m_powerPositions;
    Clock m_clock;
    std::optional<qint64> m_connectMs;
    bool m_following = true;
    bool m_recorded = false;
    bool m_applyingView = false;
    QPoint m_pressPos;
    qint64 m_filledCount = -1;
    double m_filledFrom = 0;
    double m_filledTo = 0;
};
