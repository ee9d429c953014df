#include "views/realtimeplot.h"

#include <qcustomplot.h>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "views/plotdata/csvwriter.h"
#include "views/plotdata/realtimeaxes.h"
#include "views/realtimecontrols.h"
#include "views/replaywindow.h"
#include "views/thicklinegraph.h"
#include "views/zoneitem.h"

namespace {

const QString kZoneLayer = QStringLiteral("zones");
const QColor kCanvasFrame(131, 131, 131);
constexpr int kPowerChannels = 3;  // P, Q, S after the curves
constexpr int kClickSlackPixels = 4;
constexpr int kLegendColumns = 5;
constexpr int kPlotMinimumWidth = 260;
// Plot height, axes and their labels included, kept for the curves before the legend shows.
constexpr int kPlotHeightBesideLegend = 140;
constexpr int kMinimumColumns = 200;  // a plot not laid out yet still gets a useful resolution

// Padding around an automatic range, so that curves do not run along the frame.
realtimeaxes::Range padded(const QCPRange &range) {
    const double span = range.size();
    const double pad = span > 1e-9 ? span * 0.05 : std::max(1.0, std::abs(range.center()) * 0.05);
    return {range.lower - pad, range.upper + pad};
}

// Curves sharing an axis keep its colour family: the first in the axis colour, the next ones
// darker (grey for the black axis), then the same shades dashed.
QPen curvePen(int axis, int indexOnAxis) {
    const QColor base(realtimeaxes::axes().at(axis).pen);
    const int shade = indexOnAxis % 3;
    QColor colour = base;
    if (shade > 0) {
        colour = base == QColor(Qt::black) ? QColor::fromRgb(shade * 80, shade * 80, shade * 80)
                                           : base.darker(shade == 1 ? 170 : 260);
    }
    QPen pen(colour, 2);
    pen.setStyle((indexOnAxis / 3) % 2 ? Qt::DashLine : Qt::SolidLine);
    return pen;
}

QString timeText(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

QString number(double value) {
    return std::isnan(value) ? QStringLiteral("–") : QString::number(value, 'g', 6);
}

// b - a to the digits the samples carry (they are stored as floats, about six digits), so that
// 534.6 - 533.5 reads 1.1 and not 1.10004.
QString difference(double a, double b) {
    const double magnitude = std::max(std::abs(a), std::abs(b));
    const int integerDigits = magnitude >= 1 ? int(std::floor(std::log10(magnitude))) + 1 : 1;
    QString text = QString::number(b - a, 'f', std::clamp(6 - integerDigits, 0, 6));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

}  // namespace

RealtimePlot::RealtimePlot(QWidget *parent)
    : QWidget(parent),
      m_plot(new QCustomPlot(this)),
      m_controls(new RealtimeControls(this)),
      m_history(std::make_unique<plotdata::HistoryStore>(kPowerChannels)),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildToolRow();
    layout->addWidget(m_plot, 1);
    // The legend's present columns would otherwise hold the dock wide; fitLegend re-wraps it.
    m_plot->setMinimumWidth(kPlotMinimumWidth);
    layout->addWidget(m_controls);

    m_plot->setBackground(Qt::white);
    m_plot->axisRect()->setBackground(Qt::white);
    m_plot->setNotAntialiasedElements(QCP::aePlottables);
    m_plot->addLayer(kZoneLayer, m_plot->layer(QStringLiteral("grid")), QCustomPlot::limAbove);
    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    m_plot->setContextMenuPolicy(Qt::CustomContextMenu);
    m_plot->setMouseTracking(true);
    buildAxes();
    buildLegend();
    buildActions();
    setFollowing(true);

    connect(m_plot, &QCustomPlot::beforeReplot, this, &RealtimePlot::refreshView);
    connect(m_controls, &RealtimeControls::scaleChanged, this, &RealtimePlot::applyScale);
    connect(m_plot, &QCustomPlot::mouseWheel, this, &RealtimePlot::onWheel);
    connect(m_plot, &QCustomPlot::mousePress, this, &RealtimePlot::onMousePress);
    connect(m_plot, &QCustomPlot::mouseRelease, this, &RealtimePlot::onMouseRelease);
    connect(m_plot, &QCustomPlot::mouseMove, this, &RealtimePlot::onMouseMove);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, &RealtimePlot::onDoubleClick);
    connect(m_plot, &QWidget::customContextMenuRequested, this, &RealtimePlot::showContextMenu);
}

RealtimePlot::~RealtimePlot() = default;

void RealtimePlot::buildToolRow() {
    m_pause = new QPushButton(tr("Pause"), this);
    m_pause->setToolTip(tr("Freeze the view here; polling and the data log go on"));
    m_live = new QPushButton(tr("Live ▶"), this);
    m_live->setToolTip(tr("Back to the newest data (the history was recorded meanwhile)"));
    m_live->setStyleSheet(QStringLiteral("font: bold; color: white; background-color: #2e7d32;"));
    m_resetView = new QPushButton(tr("Reset view"), this);
    m_resetView->setToolTip(
        tr("Follow the newest data with the axes as set below (or double-click "
           "the plot)"));
    m_readout = new QLabel(this);
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_readout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_readout->setText(tr("Click the plot to place a cursor (two give differences)"));
    connect(m_pause, &QPushButton::clicked, this, &RealtimePlot::pause);
    connect(m_live, &QPushButton::clicked, this, &RealtimePlot::resetView);
    connect(m_resetView, &QPushButton::clicked, this, &RealtimePlot::resetView);

    auto *row = new QHBoxLayout();
    row->addWidget(m_pause);
    row->addWidget(m_live);
    row->addWidget(m_resetView);
    row->addWidget(m_readout, 1);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
}

void RealtimePlot::styleAxis(QCPAxis *axis, const QString &title) {
    axis->setVisible(true);
    axis->setLabel(title);
    axis->setLabelFont(QApplication::font());
    axis->setTickLabelFont(QApplication::font());
    axis->grid()->setVisible(false);
    axis->grid()->setSubGridVisible(false);
}

void RealtimePlot::buildAxes() {
    QCPAxisRect *rect = m_plot->axisRect();
    QVector<QCPAxis *> left{m_plot->yAxis, rect->addAxis(QCPAxis::atLeft)};
    QVector<QCPAxis *> right{m_plot->yAxis2, rect->addAxis(QCPAxis::atRight),
                             rect->addAxis(QCPAxis::atRight)};
    QList<QCPAxis *> valueAxes;
    for (const realtimeaxes::AxisSpec &spec : realtimeaxes::axes()) {
        QCPAxis *axis = (spec.rightSide ? right : left).at(spec.indexOnSide);
        styleAxis(axis, QCoreApplication::translate("realtimeaxes", spec.title.toUtf8().constData()));
        const int index = m_valueAxes.size();
        connect(axis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
                [this, index] { onValueRangeChanged(index); });
        m_valueAxes.append(axis);
        valueAxes.append(axis);
    }
    m_valueOverride.resize(m_valueAxes.size());

    QCPAxis *time = m_plot->xAxis;
    styleAxis(time, tr("Date/Time"));
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    time->setTicker(ticker);
    connect(time, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
            &RealtimePlot::onTimeRangeChanged);

    const QPen grid(Qt::black, 0.5, Qt::DotLine);
    for (QCPAxis *axis : {time, m_plot->yAxis}) {
        axis->grid()->setVisible(true);
        axis->grid()->setPen(grid);
        axis->grid()->setZeroLinePen(grid);
    }
    rect->setRangeZoomAxes({time}, valueAxes);
    rect->setRangeDragAxes({time}, valueAxes);

    // The top axis only closes the canvas frame.
    QCPAxis *top = m_plot->xAxis2;
    top->setVisible(true);
    top->setTicks(false);
    top->setTickLabels(false);
    top->setBasePen(QPen(kCanvasFrame, 1));
    top->grid()->setVisible(false);
}

// The legend sits under the plot, in rows, so that it never hides a curve.
void RealtimePlot::buildLegend() {
    QCPLegend *legend = m_plot->legend;
    legend->setVisible(true);
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    legend->setFont(font);
    legend->setBorderPen(Qt::NoPen);
    legend->setRowSpacing(0);
    legend->setIconSize(22, 8);
    legend->setMargins(QMargins(4, 0, 4, 0));
    m_plot->axisRect()->insetLayout()->take(legend);
    m_plot->plotLayout()->addElement(1, 0, legend);
    m_plot->plotLayout()->setRowStretchFactor(1, 0.001);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(kLegendColumns);
    connect(m_plot, &QCustomPlot::legendClick, this,
            [this](QCPLegend *, QCPAbstractLegendItem *item, QMouseEvent *) {
                auto *entry = qobject_cast<QCPPlottableLegendItem *>(item);
                const int c = entry ? m_curves.indexOf(static_cast<QCPGraph *>(entry->plottable())) : -1;
                if (c >= 0) {
                    setCurveShown(c, !isCurveShown(c));
                }
            });
}

void RealtimePlot::buildActions() {
    m_actions.openDataLog = new QAction(tr("Open data log…"), this);
    m_actions.exportPng = new QAction(tr("Export PNG…"), this);
    m_actions.exportPdf = new QAction(tr("Export PDF…"), this);
    m_actions.exportCsv = new QAction(tr("Export CSV…"), this);
    m_actions.openDataLog->setToolTip(tr("Open a data log in a graph of its own"));
    m_actions.exportPng->setToolTip(tr("Save the time graph as shown, as a PNG picture"));
    m_actions.exportPdf->setToolTip(tr("Save the time graph as shown, as a PDF document"));
    m_actions.exportCsv->setToolTip(tr("Save the shown time window's samples as CSV"));
    connect(m_actions.openDataLog, &QAction::triggered, this, &RealtimePlot::openDataLog);
    connect(m_actions.exportPng, &QAction::triggered, this,
            [this] { exportWithDialog(tr("PNG picture (*.png)"), QStringLiteral("png")); });
    connect(m_actions.exportPdf, &QAction::triggered, this,
            [this] { exportWithDialog(tr("PDF document (*.pdf)"), QStringLiteral("pdf")); });
    connect(m_actions.exportCsv, &QAction::triggered, this,
            [this] { exportWithDialog(QStringLiteral("CSV (*.csv)"), QStringLiteral("csv")); });
}

QCPAxis *RealtimePlot::timeAxis() const {
    return m_plot->xAxis;
}

RealtimeControls *RealtimePlot::controls() const {
    return m_controls.data();
}

void RealtimePlot::buildCurves(const QVector<CurveSpec> &curves) {
    clearCursors();
    m_plot->clearGraphs();
    m_curves.clear();
    m_specs = curves;
    QVector<int> onAxis(m_valueAxes.size(), 0);
    for (const CurveSpec &spec : curves) {
        QCPGraph *curve = new ThickLineGraph(m_plot->xAxis, m_valueAxes.at(spec.axis));  // owned by the plot
        curve->setName(plotdata::CsvWriter::columnTitle(spec.name, spec.unit));
        curve->setPen(curvePen(spec.axis, onAxis[spec.axis]++));
        curve->setAntialiased(false);
        m_curves.append(curve);
    }
    m_filledCount = -1;
}

void RealtimePlot::setRegisters(const QVector<input_reg_t *> &registers) {
    m_recorded = false;
    m_registers = registers;
    m_registerOfCurve.clear();
    m_curveOfRegister = QVector<int>(registers.size(), -1);
    QVector<CurveSpec> specs;
    for (int i = 0; i < registers.size(); ++i) {
        const input_reg_t *reg = registers.at(i);
        const int axis = reg ? realtimeaxes::axisIndexForUnit(reg->unit) : -1;
        if (axis >= 0) {
            m_curveOfRegister[i] = specs.size();
            m_registerOfCurve.append(i);
            specs.append({reg->text, reg->unit, axis});
        }
    }
    buildCurves(specs);
    m_history = std::make_unique<plotdata::HistoryStore>(specs.size() + kPowerChannels);
    clearHistory();
    if (m_controls) {
        m_controls->resetPower();
    }
    setFollowing(true);
}

void RealtimePlot::showRecorded(const QVector<CurveSpec> &curves,
                                std::unique_ptr<plotdata::HistoryStore> history, qint64 connectMs) {
    m_recorded = true;
    m_registers.clear();
    m_registerOfCurve.clear();
    m_curveOfRegister.clear();
    buildCurves(curves);
    m_history = std::move(history);
    m_connectMs = connectMs;
    resetView();
}

void RealtimePlot::appendSample(qint64 msecsSinceEpoch) {
    const int curves = m_curves.size();
    QVector<double> values(curves + kPowerChannels, qQNaN());
    for (int c = 0; c < curves; ++c) {
        values[c] = double(m_registers.at(m_registerOfCurve.at(c))->fvalue);
    }
    power::PowerValues power;
    const bool hasPower = power::fromInputs(m_registers, m_powerPositions, &power);
    if (hasPower) {
        values[curves] = power.p;
        values[curves + 1] = power.q;
        values[curves + 2] = power.s;
    }
    m_history->append(msecsSinceEpoch, values);
    if (!m_connectMs) {
        m_connectMs = msecsSinceEpoch;
    }
    m_outages.noteReply(msecsSinceEpoch);
    if (m_controls && hasPower) {
        m_controls->showPower(power);
    }
    if (m_following) {
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void RealtimePlot::breakCurves() {
    // A gap just after the newest sample: no line is drawn across the time without input reads.
    if (!m_history->isEmpty()) {
        m_history->appendGap(m_history->newestMs() + 1);
    }
}

void RealtimePlot::clearHistory() {
    m_history->clear();
    for (QCPGraph *curve : qAsConst(m_curves)) {
        curve->data()->clear();
    }
    for (ZoneItem *zone : qAsConst(m_zones)) {
        m_plot->removeItem(zone);
    }
    m_zones.clear();
    m_connectMs.reset();
    m_filledCount = -1;
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::replotNow() {
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

void RealtimePlot::applyScale() {
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::setFollowing(bool following) {
    m_following = following;
    m_live->setVisible(!following && !m_recorded);
    m_pause->setVisible(following && !m_recorded);
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::resetView() {
    std::fill(m_valueOverride.begin(), m_valueOverride.end(), std::nullopt);
    setFollowing(true);
}

void RealtimePlot::pause() {
    setFollowing(false);
}

void RealtimePlot::showTimeWindow(double fromSeconds, double toSeconds) {
    m_plot->xAxis->setRange(fromSeconds, toSeconds);  // leaves live data (onTimeRangeChanged)
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::onTimeRangeChanged() {
    if (!m_applyingView && m_following) {
        setFollowing(false);
    }
}

void RealtimePlot::onValueRangeChanged(int axis) {
    if (!m_applyingView) {
        const QCPRange range = m_valueAxes.at(axis)->range();
        m_valueOverride[axis] = std::make_pair(range.lower, range.upper);
    }
}

// Runs before every replot: the time window follows the newest sample while live, the curves
// get the shown window's samples and each value axis its range.
void RealtimePlot::refreshView() {
    if (!m_controls) {
        return;
    }
    m_applyingView = true;
    if (m_following && !m_history->isEmpty()) {
        if (m_recorded) {
            const double span = std::max(1.0, (m_history->newestMs() - m_history->oldestMs()) / 1000.0);
            m_plot->xAxis->setRange(m_history->oldestMs() / 1000.0 - span * 0.01, newestKey() + span * 0.01);
        } else {
            const realtimeaxes::Range window =
                realtimeaxes::timeWindow(newestKey(), m_controls->timeMin(), m_controls->timeMax());
            m_plot->xAxis->setRange(window.lower, window.upper);
        }
    }
    auto ticker = qSharedPointerDynamicCast<QCPAxisTickerDateTime>(m_plot->xAxis->ticker());
    if (ticker) {
        const bool days = m_plot->xAxis->range().size() > 6 * 3600;
        ticker->setDateTimeFormat(days ? QStringLiteral("dd/MM hh:mm") : QStringLiteral("hh:mm:ss"));
    }
    fitLegend();
    fillCurves();
    for (int axis = 0; axis < m_valueAxes.size(); ++axis) {
        if (m_valueOverride.at(axis)) {
            m_valueAxes.at(axis)->setRange(m_valueOverride.at(axis)->first, m_valueOverride.at(axis)->second);
        } else if (m_controls->isAutomatic(axis)) {
            scaleValueAxis(axis);
        } else {
            const realtimeaxes::Range range = m_controls->fixedRange(axis);
            m_valueAxes.at(axis)->setRange(range.lower, range.upper);
        }
    }
    m_applyingView = false;
}

// As many legend columns as the plot's width holds.
void RealtimePlot::fitLegend() {
    QCPLegend *legend = m_plot->legend;
    int widest = 1;
    for (int i = 0; i < legend->itemCount(); ++i) {
        if (const QCPAbstractLegendItem *item = legend->item(i)) {  // a wrapped grid has empty cells
            widest = std::max(widest, item->minimumOuterSizeHint().width());
        }
    }
    const int columns = std::clamp(m_plot->width() / (widest + legend->columnSpacing()), 1, kLegendColumns);
    if (columns != legend->wrap()) {
        legend->setWrap(columns);
        legend->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);
    }
    // On a low dock the curves come first: the legend leaves until there is room for both.
    const int rows = (legend->itemCount() + columns - 1) / columns;
    const int rowHeight = legend->itemCount() > 0 ? legend->item(0)->minimumOuterSizeHint().height() : 0;
    const bool room = m_plot->height() - rows * rowHeight >= kPlotHeightBesideLegend;
    QCPLayoutGrid *layout = m_plot->plotLayout();
    const bool placed = layout->hasElement(1, 0) && layout->element(1, 0) == legend;
    if (room && !placed) {
        layout->addElement(1, 0, legend);
        layout->setRowStretchFactor(1, 0.001);
    } else if (!room && placed) {
        layout->take(legend);
        layout->simplify();
    }
    legend->setVisible(room);
}

void RealtimePlot::fillCurves() {
    const QCPRange shown = m_plot->xAxis->range();
    if (m_filledCount == m_history->sampleCount() && m_filledFrom == shown.lower &&
        m_filledTo == shown.upper) {
        return;
    }
    m_filledCount = m_history->sampleCount();
    m_filledFrom = shown.lower;
    m_filledTo = shown.upper;
    const plotdata::HistoryStore::Slice slice =
        m_history->slice(qint64(std::floor(shown.lower * 1000)), qint64(std::ceil(shown.upper * 1000)),
                         std::max(kMinimumColumns, m_plot->axisRect()->width()));
    QVector<double> keys(slice.timesMs.size());
    std::transform(slice.timesMs.begin(), slice.timesMs.end(), keys.begin(),
                   [](qint64 ms) { return ms / 1000.0; });
    for (int c = 0; c < m_curves.size(); ++c) {
        m_curves.at(c)->setData(keys, slice.values.at(c), true);
    }
}

void RealtimePlot::scaleValueAxis(int axis) {
    QCPAxis *valueAxis = m_valueAxes.at(axis);
    const QCPRange shown = m_plot->xAxis->range();
    QCPRange combined;
    bool any = false;
    for (QCPGraph *curve : qAsConst(m_curves)) {
        if (curve->valueAxis() != valueAxis || !curve->visible()) {
            continue;
        }
        bool found = false;
        const QCPRange range = curve->getValueRange(found, QCP::sdBoth, shown);
        if (!found) {
            continue;
        }
        combined =
            any ? QCPRange(std::min(combined.lower, range.lower), std::max(combined.upper, range.upper))
                : range;
        any = true;
    }
    if (any) {
        const realtimeaxes::Range range = padded(combined);
        valueAxis->setRange(range.lower, range.upper);
    }
}

void RealtimePlot::setCurveShown(int curve, bool shown) {
    QCPGraph *graph = m_curves.at(curve);
    graph->setVisible(shown);
    if (QCPPlottableLegendItem *entry = m_plot->legend->itemWithPlottable(graph)) {
        entry->setTextColor(shown ? Qt::black : Qt::gray);
    }
    updateCursors();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

bool RealtimePlot::isCurveShown(int curve) const {
    return m_curves.at(curve)->visible();
}

// The bare wheel zooms time, Shift or Ctrl + wheel the value axes, around the mouse.
void RealtimePlot::onWheel(QWheelEvent *event) {
    const bool values = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
    m_plot->axisRect()->setRangeZoom(values ? Qt::Vertical : Qt::Horizontal);
}

void RealtimePlot::onMousePress(QMouseEvent *event) {
    m_pressPos = event->pos();
    const bool rubberBand = event->modifiers() & Qt::ControlModifier;
    m_plot->setSelectionRectMode(rubberBand ? QCP::srmZoom : QCP::srmNone);
    m_plot->axisRect()->setRangeDrag(event->modifiers() & Qt::ShiftModifier ? Qt::Vertical : Qt::Horizontal);
}

void RealtimePlot::onMouseRelease(QMouseEvent *event) {
    const bool click = (event->pos() - m_pressPos).manhattanLength() < kClickSlackPixels;
    if (event->button() != Qt::LeftButton || !click || event->modifiers() != Qt::NoModifier ||
        !m_plot->axisRect()->rect().contains(event->pos())) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        m_cursorBeforeClick[i] =
            m_cursors[i] ? std::optional<double>(m_cursors[i]->point1->key()) : std::optional<double>();
    }
    placeCursor(m_plot->xAxis->pixelToCoord(event->pos().x()));
}

void RealtimePlot::onDoubleClick(QMouseEvent *) {
    // The double-click's first click placed a cursor: take it back.
    clearCursors();
    for (int i = 0; i < 2; ++i) {
        if (m_cursorBeforeClick[i]) {
            setCursorAt(i, *m_cursorBeforeClick[i]);
        }
    }
    resetView();
}

void RealtimePlot::onMouseMove(QMouseEvent *event) {
    if (event->buttons() != Qt::NoButton) {
        return;
    }
    QCPAbstractPlottable *under = m_plot->plottableAt(event->pos());
    if (under) {
        QToolTip::showText(event->globalPos(), under->name(), m_plot);
    } else {
        QToolTip::hideText();
    }
}

// The first click places cursor 1, the second cursor 2, later clicks move the nearer one.
void RealtimePlot::placeCursor(double seconds) {
    int which = !m_cursors[0] ? 0 : !m_cursors[1] ? 1 : -1;
    if (which < 0) {
        const double x = m_plot->xAxis->coordToPixel(seconds);
        const double d0 = std::abs(m_plot->xAxis->coordToPixel(m_cursors[0]->point1->key()) - x);
        const double d1 = std::abs(m_plot->xAxis->coordToPixel(m_cursors[1]->point1->key()) - x);
        which = d0 <= d1 ? 0 : 1;
    }
    setCursorAt(which, seconds);
}

void RealtimePlot::setCursorAt(int cursor, double seconds) {
    QCPItemStraightLine *&line = m_cursors[cursor];
    if (!line) {
        line = new QCPItemStraightLine(m_plot);  // owned by the plot
        line->setPen(QPen(cursor == 0 ? QColor(60, 60, 60) : QColor(150, 0, 150), 1, Qt::DashLine));
        line->setSelectable(false);
        for (QCPItemPosition *end : {line->point1, line->point2}) {
            end->setTypeX(QCPItemPosition::ptPlotCoords);
            end->setTypeY(QCPItemPosition::ptAxisRectRatio);
        }
    }
    line->point1->setCoords(seconds, 0);
    line->point2->setCoords(seconds, 1);
    updateCursors();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::clearCursors() {
    for (QCPItemStraightLine *&line : m_cursors) {
        if (line) {
            m_plot->removeItem(line);
            line = nullptr;
        }
    }
    updateCursors();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::updateCursors() {
    if (m_cursors[0] || m_cursors[1]) {
        const QString text = cursorText();
        m_readout->setText(text);
        // With many curves the lines run past the edge: the tool tip has one value per line.
        m_readout->setToolTip(QString(text).replace(QStringLiteral("   "), QStringLiteral("\n")));
    } else {
        m_readout->setToolTip(QString());
        m_readout->setText(tr("Click the plot to place a cursor (two give differences)"));
    }
}

QString RealtimePlot::readingText(int channel, qint64 ms) const {
    const plotdata::HistoryStore::Reading reading = m_history->readingAt(channel, ms);
    if (!reading.found) {
        return QStringLiteral("–");
    }
    return reading.exact() ? number(reading.min)
                           : QStringLiteral("%1 … %2").arg(number(reading.min), number(reading.max));
}

QString RealtimePlot::cursorText() const {
    QStringList lines;
    std::array<qint64, 2> at{};
    const int curves = m_curves.size();
    for (int i = 0; i < 2; ++i) {
        if (!m_cursors[i]) {
            continue;
        }
        at[i] = qint64(std::llround(m_cursors[i]->point1->key() * 1000));
        QStringList parts{tr("Cursor %1: %2").arg(i + 1).arg(timeText(at[i]))};
        for (int c = 0; c < curves; ++c) {
            if (isCurveShown(c)) {
                parts << QStringLiteral("%1 = %2 %3")
                             .arg(m_specs.at(c).name, readingText(c, at[i]), m_specs.at(c).unit);
            }
        }
        const QStringList powerUnits{QStringLiteral("W"), QStringLiteral("VAr"), QStringLiteral("VA")};
        const QStringList powerNames{QStringLiteral("P"), QStringLiteral("Q"), QStringLiteral("S")};
        for (int p = 0; p < kPowerChannels; ++p) {
            const plotdata::HistoryStore::Reading reading = m_history->readingAt(curves + p, at[i]);
            if (reading.found && !std::isnan(reading.min)) {
                parts << QStringLiteral("%1 = %2 %3")
                             .arg(powerNames[p], readingText(curves + p, at[i]), powerUnits[p]);
            }
        }
        lines << parts.join(QStringLiteral("   "));
    }
    if (m_cursors[0] && m_cursors[1]) {
        QStringList parts{QStringLiteral("Δt = %1 s").arg(QString::number((at[1] - at[0]) / 1000.0, 'f', 3))};
        for (int c = 0; c < curves; ++c) {
            const auto a = m_history->readingAt(c, at[0]);
            const auto b = m_history->readingAt(c, at[1]);
            if (isCurveShown(c) && a.found && b.found && a.exact() && b.exact()) {
                parts << QStringLiteral("Δ%1 = %2 %3")
                             .arg(m_specs.at(c).name, difference(a.min, b.min), m_specs.at(c).unit);
            }
        }
        lines << parts.join(QStringLiteral("   "));
    }
    return lines.join(QLatin1Char('\n'));
}

QStringList RealtimePlot::powerRegisterNames() const {
    QStringList names;
    for (int position :
         {m_powerPositions.id, m_powerPositions.iq, m_powerPositions.vd, m_powerPositions.vq}) {
        if (position < 0 || position >= m_registers.size() || !m_registers.at(position)) {
            return {};
        }
        names << m_registers.at(position)->name;
    }
    return names;
}

void RealtimePlot::showContextMenu(const QPoint &pos) {
    QMenu menu(this);
    menu.addAction(tr("Reset view"), this, &RealtimePlot::resetView);
    if (!m_recorded) {
        if (m_following) {
            menu.addAction(tr("Pause"), this, &RealtimePlot::pause);
        } else {
            menu.addAction(tr("Live ▶"), this, &RealtimePlot::resetView);
        }
    }
    menu.addAction(tr("Clear cursors"), this, &RealtimePlot::clearCursors);
    menu.addSeparator();
    menu.addAction(m_actions.exportPng);
    menu.addAction(m_actions.exportPdf);
    menu.addAction(m_actions.exportCsv);
    menu.addSeparator();
    menu.addAction(m_actions.openDataLog);
    menu.exec(m_plot->mapToGlobal(pos));
}

bool RealtimePlot::exportPicture(const QString &path, QString *error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool ok = suffix == QLatin1String("pdf") ? m_plot->savePdf(path) : m_plot->savePng(path);
    if (!ok) {
        *error = tr("Cannot write %1").arg(path);
    }
    return ok;
}

bool RealtimePlot::exportCsv(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = tr("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const QCPRange shown = m_plot->xAxis->range();
    const qint64 from = std::llround(shown.lower * 1000);
    const qint64 to = std::llround(shown.upper * 1000);
    const plotdata::HistoryStore::Slice slice = m_history->slice(from, to, 0);
    const int curves = m_curves.size();
    const bool withPower = std::any_of(slice.values.at(curves).begin(), slice.values.at(curves).end(),
                                       [](double p) { return !std::isnan(p); });
    QStringList titles;
    for (const CurveSpec &spec : qAsConst(m_specs)) {
        titles << plotdata::CsvWriter::columnTitle(spec.name, spec.unit);
    }
    if (withPower) {
        titles << QStringLiteral("P [W]") << QStringLiteral("Q [VAr]") << QStringLiteral("S [VA]");
    }
    plotdata::CsvWriter csv(&file);
    csv.writeHeader(titles);
    QVector<double> row(titles.size());
    for (int i = 0; i < slice.timesMs.size(); ++i) {
        if (slice.timesMs.at(i) < from || slice.timesMs.at(i) > to) {
            continue;
        }
        for (int c = 0; c < row.size(); ++c) {
            row[c] = slice.values.at(c).at(i);
        }
        csv.writeRow(slice.timesMs.at(i), m_connectMs.value_or(slice.timesMs.at(i)), row.constData(),
                     row.size());
    }
    if (!csv.ok()) {
        *error = tr("Writing %1 failed: %2").arg(path, file.errorString());
    }
    return csv.ok();
}

void RealtimePlot::exportWithDialog(const QString &filter, const QString &suffix) {
    const QString name =
        QStringLiteral("time-graph-%1.%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss")), suffix);
    QString path = QFileDialog::getSaveFileName(this, tr("Export the time graph"), name, filter);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + suffix;
    }
    QString error;
    const bool ok = suffix == QLatin1String("csv") ? exportCsv(path, &error) : exportPicture(path, &error);
    if (!ok) {
        QMessageBox::warning(this, tr("Export the time graph"), error);
    }
}

void RealtimePlot::openDataLog() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open data log"), QString(),
                                                      tr("Data logs (*-log.txt);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    auto *replay = new ReplayWindow(window());
    replay->setPowerColumns(powerRegisterNames());
    replay->show();
    replay->open(path);
}

void RealtimePlot::onDisconnectedStart() {
    m_outages.start(m_clock());
}

void RealtimePlot::onDisconnectedStop() {
    const std::optional<OutageTracker::Outage> outage = m_outages.stop(m_clock());
    if (!outage) {
        return;
    }
    auto *zone = new ZoneItem(m_plot, tr("Communication outage"));  // owned by the plot
    zone->setLayer(kZoneLayer);
    zone->setInterval(outage->beginMs / 1000.0, outage->endMs / 1000.0);
    m_zones.append(zone);
    // A gap inside the band, so that no line is drawn across the time without data.
    const qint64 middle = (outage->beginMs + outage->endMs) / 2;
    if (!m_history->isEmpty() && middle > m_history->newestMs()) {
        m_history->appendGap(middle);
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
