#include "views/realtimeplot.h"

#include <qcustomplot.h>
#include <QApplication>
#include <QDateTime>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/realtimeaxes.h"
#include "views/realtimecontrols.h"
#include "views/thicklinegraph.h"
#include "views/zoneitem.h"

namespace {

const QString kZoneLayer = QStringLiteral("zones");
const QColor kCanvasFrame(131, 131, 131);

// Padding around an automatic range, so that curves do not run along the frame.
realtimeaxes::Range padded(const QCPRange &range) {
    const double span = range.size();
    const double pad = span > 1e-9 ? span * 0.05 : std::max(1.0, std::abs(range.center()) * 0.05);
    return {range.lower - pad, range.upper + pad};
}

}  // namespace

RealtimePlot::RealtimePlot(QWidget *parent)
    : QWidget(parent),
      m_plot(new QCustomPlot(this)),
      m_controls(new RealtimeControls(this)),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_controls);

    m_plot->setBackground(Qt::white);
    m_plot->axisRect()->setBackground(Qt::white);
    m_plot->setNotAntialiasedElements(QCP::aePlottables);
    m_plot->addLayer(kZoneLayer, m_plot->layer(QStringLiteral("grid")), QCustomPlot::limAbove);
    buildAxes();

    connect(m_plot, &QCustomPlot::beforeReplot, this, &RealtimePlot::followNewest);
    connect(m_controls, &RealtimeControls::scaleChanged, this, &RealtimePlot::applyScale);
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
    for (const realtimeaxes::AxisSpec &spec : realtimeaxes::axes()) {
        QCPAxis *axis = (spec.rightSide ? right : left).at(spec.indexOnSide);
        styleAxis(axis, spec.title);
        m_valueAxes.append(axis);
    }

    QCPAxis *time = m_plot->xAxis;
    styleAxis(time, QStringLiteral("Date/Time"));
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
    ticker->setDateTimeSpec(Qt::LocalTime);
    time->setTicker(ticker);

    const QPen grid(Qt::black, 0.5, Qt::DotLine);
    for (QCPAxis *axis : {time, m_plot->yAxis}) {
        axis->grid()->setVisible(true);
        axis->grid()->setPen(grid);
        axis->grid()->setZeroLinePen(grid);
    }

    // The top axis only closes the canvas frame.
    QCPAxis *top = m_plot->xAxis2;
    top->setVisible(true);
    top->setTicks(false);
    top->setTickLabels(false);
    top->setBasePen(QPen(kCanvasFrame, 1));
    top->grid()->setVisible(false);
}

QCPAxis *RealtimePlot::timeAxis() const {
    return m_plot->xAxis;
}

RealtimeControls *RealtimePlot::controls() const {
    return m_controls.data();
}

void RealtimePlot::setRegisters(const QVector<input_reg_t *> &registers) {
    m_plot->clearGraphs();
    m_curves.clear();
    m_registerOfCurve.clear();
    m_registers = registers;
    m_curveOfRegister = QVector<int>(registers.size(), -1);
    for (int i = 0; i < registers.size(); ++i) {
        const input_reg_t *reg = registers.at(i);
        const int axis = reg ? realtimeaxes::axisIndexForUnit(reg->unit) : -1;
        if (axis < 0) {
            continue;
        }
        QCPGraph *curve = new ThickLineGraph(m_plot->xAxis, m_valueAxes.at(axis));  // owned by the plot
        curve->setName(reg->text);
        curve->setPen(QPen(QColor(realtimeaxes::axes().at(axis).pen), 2));
        curve->setAntialiased(false);
        m_curveOfRegister[i] = m_curves.size();
        m_curves.append(curve);
        m_registerOfCurve.append(i);
    }
    clearHistory();
    if (m_controls) {
        m_controls->resetPower();
    }
}

void RealtimePlot::appendSample(qint64 msecsSinceEpoch) {
    const double key = msecsSinceEpoch / 1000.0;
    for (int c = 0; c < m_curves.size(); ++c) {
        m_curves.at(c)->addData(key, double(m_registers.at(m_registerOfCurve.at(c))->fvalue));
    }
    m_newestMs = m_sampleCount == 0 ? msecsSinceEpoch : std::max(m_newestMs, msecsSinceEpoch);
    ++m_sampleCount;
    m_outages.noteReply(msecsSinceEpoch);

    power::PowerValues values;
    if (m_controls && power::fromInputs(m_registers, m_powerPositions, &values)) {
        m_controls->showPower(values);
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::breakCurves() {
    if (m_sampleCount == 0) {
        return;
    }
    // A NaN point just after the newest sample: QCustomPlot draws no line through it.
    const double key = newestKey() + 0.001;
    for (QCPGraph *curve : qAsConst(m_curves)) {
        if (curve->data()->isEmpty() || !qIsNaN((curve->data()->constEnd() - 1)->value)) {
            curve->addData(key, qQNaN());
        }
    }
}

void RealtimePlot::clearHistory() {
    for (QCPGraph *curve : qAsConst(m_curves)) {
        curve->data()->clear();
    }
    for (ZoneItem *zone : qAsConst(m_zones)) {
        m_plot->removeItem(zone);
    }
    m_zones.clear();
    m_sampleCount = 0;
    m_newestMs = 0;
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void RealtimePlot::replotNow() {
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

void RealtimePlot::applyScale() {
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

// Runs before every replot: the time window follows the newest sample and each value axis
// takes its fixed range or the range of what its curves show.
void RealtimePlot::followNewest() {
    if (!m_controls) {
        return;
    }
    if (m_sampleCount > 0) {
        const realtimeaxes::Range window =
            realtimeaxes::timeWindow(newestKey(), m_controls->timeMin(), m_controls->timeMax());
        m_plot->xAxis->setRange(window.lower, window.upper);
    }
    for (int axis = 0; axis < m_valueAxes.size(); ++axis) {
        if (m_controls->isAutomatic(axis)) {
            scaleValueAxis(axis);
        } else {
            const realtimeaxes::Range range = m_controls->fixedRange(axis);
            m_valueAxes.at(axis)->setRange(range.lower, range.upper);
        }
    }
}

void RealtimePlot::scaleValueAxis(int axis) {
    QCPAxis *valueAxis = m_valueAxes.at(axis);
    const QCPRange shown = m_plot->xAxis->range();
    QCPRange combined;
    bool any = false;
    for (QCPGraph *curve : qAsConst(m_curves)) {
        if (curve->valueAxis() != valueAxis) {
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

void RealtimePlot::onDisconnectedStart() {
    m_outages.start(m_clock());
}

void RealtimePlot::onDisconnectedStop() {
    const std::optional<OutageTracker::Outage> outage = m_outages.stop(m_clock());
    if (!outage) {
        return;
    }
    auto *zone = new ZoneItem(m_plot, QStringLiteral("Communication outage"));  // owned by the plot
    zone->setLayer(kZoneLayer);
    zone->setInterval(outage->beginMs / 1000.0, outage->endMs / 1000.0);
    m_zones.append(zone);
    // A gap inside the band, so that no line is drawn across the time without data.
    const double middle = (outage->beginMs + outage->endMs) / 2000.0;
    if (m_sampleCount > 0 && middle > newestKey()) {
        for (QCPGraph *curve : qAsConst(m_curves)) {
            curve->addData(middle, qQNaN());
        }
    }
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
