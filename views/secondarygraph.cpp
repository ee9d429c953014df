#include "views/secondarygraph.h"

#include <qcustomplot.h>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/logger.h"
#include "comm/captureregisters.h"
#include "views/plotdata/realtimeaxes.h"
#include "views/thicklinegraph.h"

namespace {

constexpr int kSelectorMinWidth = 90;
constexpr int kSelectorMaxWidth = 240;
constexpr int kScaleField = 56;
constexpr int kNarrowField = 52;
const QColor kCanvasFrame(131, 131, 131);

const char *const kWarning = QT_TRANSLATE_NOOP(
    "SecondaryGraph",
    "Warning: the variables and scales must be selected prior to the tigger event and every time power is "
    "restored in the inverter");

}  // namespace

SecondaryGraph::SecondaryGraph(QWidget *parent) : QWidget(parent), m_accelerometerLog(new logger(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildPlot(), 1);
    connect(m_accelerometerLog, &logger::writeFailed, this, &SecondaryGraph::logToBrowser);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar2"));
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    layout->addWidget(m_progress);

    m_warning = new QLabel(tr(kWarning), this);
    m_warning->setObjectName(QStringLiteral("labWarning"));
    m_warning->setWordWrap(true);
    layout->addWidget(m_warning);

    layout->addWidget(buildControls());

    applyVerticalScale();
    setConnected(false);
}

QWidget *SecondaryGraph::buildPlot() {
    m_plot = new QCustomPlot(this);
    m_plot->setObjectName(QStringLiteral("secondaryPlot"));
    m_plot->setBackground(Qt::white);
    m_plot->axisRect()->setBackground(Qt::white);
    m_plot->yAxis->setLabel(tr("counts"));
    m_plot->xAxis->setLabel(tr("samples"));
    m_plot->xAxis->setRange(0, tracedecode::kBufferSamples);
    const QPen grid(Qt::black, 0.5, Qt::DotLine);
    for (QCPAxis *axis : {m_plot->xAxis, m_plot->yAxis}) {
        axis->setLabelFont(QApplication::font());
        axis->setTickLabelFont(QApplication::font());
        axis->grid()->setPen(grid);
        axis->grid()->setZeroLinePen(grid);
    }
    // Top and right axes only close the canvas frame.
    for (QCPAxis *axis : {m_plot->xAxis2, m_plot->yAxis2}) {
        axis->setVisible(true);
        axis->setTicks(false);
        axis->setTickLabels(false);
        axis->setBasePen(QPen(kCanvasFrame, 1));
    }

    const QStringList names = {tr("Buffer A"), tr("Buffer B"), tr("Buffer C")};
    const QVector<QColor> pens = {Qt::red, Qt::green, Qt::blue};
    for (int channel = 0; channel < tracedecode::kChannels; ++channel) {
        QCPGraph *curve = new ThickLineGraph(m_plot->xAxis, m_plot->yAxis);  // owned by the plot
        curve->setName(names.at(channel));
        curve->setPen(QPen(pens.at(channel), 2));
        curve->setData(m_data.bufferIndex(), m_data.buffer(channel), true);
        m_curves.append(curve);
    }

    m_plot->setInteraction(QCP::iRangeZoom, true);
    m_plot->axisRect()->setRangeZoom(Qt::Orientations());
    m_plot->axisRect()->setRangeZoomAxes(m_plot->xAxis, m_plot->yAxis);
    connect(m_plot, &QCustomPlot::mouseWheel, this, &SecondaryGraph::onWheel);
    return m_plot;
}

// The controls under the plot scroll sideways on their own when the dock is narrow, so
// that the plot and its axes always fit the dock's width.
QWidget *SecondaryGraph::buildControls() {
    auto *controls = new QWidget(this);
    auto *column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(buildTraceGrid());
    column->addLayout(buildCaptureSettings());
    column->addLayout(buildButtons());
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(controls);
    scroll->setFixedHeight(controls->sizeHint().height() +
                           scroll->horizontalScrollBar()->sizeHint().height());
    return scroll;
}

// One row per trace: its colour, the variable it carries and its scale.
QLayout *SecondaryGraph::buildTraceGrid() {
    auto *grid = new QGridLayout();
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("Variable"), this), 0, 1);
    grid->addWidget(new QLabel(tr("Scale"), this), 0, 2);
    using Slot = void (SecondaryGraph::*)();
    const Slot scaleSlots[] = {&SecondaryGraph::on_Scale1Changed, &SecondaryGraph::on_Scale2Changed,
                               &SecondaryGraph::on_Scale3Changed};
    const QStringList titles{tr("Red trace:"), tr("Green trace:"), tr("Blue trace:")};
    for (int trace = 0; trace < captureregisters::kTraceCount; ++trace) {
        auto *selector = new QComboBox(this);
        selector->setObjectName(QStringLiteral("cmbTrace%1").arg(trace + 1));
        selector->setMinimumWidth(kSelectorMinWidth);
        selector->setMaximumWidth(kSelectorMaxWidth);
        selector->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        for (const QString &name : captureregisters::variableNames()) {
            selector->addItem(QCoreApplication::translate("captureregisters", name.toUtf8().constData()));
        }
        connect(selector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SecondaryGraph::on_cmbBoxIndexChanged);
        m_selectors.append(selector);

        auto *field = new QLineEdit(QStringLiteral("1000"), this);
        field->setObjectName(QStringLiteral("edScale%1").arg(trace + 1));
        field->setFixedWidth(kScaleField);
        field->setAlignment(Qt::AlignRight);
        auto *validator = new QDoubleValidator(-10000000.0, 10000000.0, 3, field);
        validator->setLocale(QLocale::c());
        validator->setNotation(QDoubleValidator::StandardNotation);
        field->setValidator(validator);
        connect(field, &QLineEdit::editingFinished, this, scaleSlots[trace]);
        m_scales.append(field);

        grid->addWidget(new QLabel(titles.at(trace), this), trace + 1, 0);
        grid->addWidget(selector, trace + 1, 1);
        grid->addWidget(field, trace + 1, 2);
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

QLayout *SecondaryGraph::buildCaptureSettings() {
    auto *grid = new QGridLayout();
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(tr("Points after alarm:"), this), 0, 0);
    m_afterAlarm = newIntField(QStringLiteral("0"), kNarrowField, 0, 0xFFFF);
    connect(m_afterAlarm, &QLineEdit::editingFinished, this, &SecondaryGraph::on_edAfterAlarmChanged);
    grid->addWidget(m_afterAlarm, 0, 1);

    grid->addWidget(new QLabel(tr("Min/Max vertical scale:"), this), 1, 0);
    m_verticalMin = newIntField(QStringLiteral("-3000"), kNarrowField, realtimeaxes::kFieldMinimum,
                                realtimeaxes::kFieldMaximum);
    m_verticalMax = newIntField(QStringLiteral("3000"), kNarrowField, realtimeaxes::kFieldMinimum,
                                realtimeaxes::kFieldMaximum);
    int column = 1;
    for (QLineEdit *field : {m_verticalMin, m_verticalMax}) {
        connect(field, &QLineEdit::editingFinished, this, &SecondaryGraph::on_SecGraphScaleChanged);
        grid->addWidget(field, 1, column++);
    }
    grid->setColumnStretch(3, 1);
    return grid;
}

QLayout *SecondaryGraph::buildButtons() {
    m_readVariables = new QPushButton(tr("Read variables"), this);
    m_readAccelerometer = new QPushButton(tr("Read accelerometer"), this);
    m_export = new QPushButton(tr("Export Values (clipboard)"), this);
    connect(m_readVariables, &QPushButton::clicked, this, &SecondaryGraph::on_btnTriggerSecondaryGraph);
    connect(m_readAccelerometer, &QPushButton::clicked, this, &SecondaryGraph::on_btnReadSecondaryGraph);
    connect(m_export, &QPushButton::clicked, this, &SecondaryGraph::on_btnExportValues);
    auto *grid = new QGridLayout();
    grid->addWidget(m_readVariables, 0, 0);
    grid->addWidget(m_readAccelerometer, 0, 1);
    grid->addWidget(m_export, 1, 0, 1, 2);
    grid->setColumnStretch(2, 1);
    return grid;
}

QLineEdit *SecondaryGraph::newIntField(const QString &text, int width, int bottom, int top) {
    auto *field = new QLineEdit(text, this);
    field->setFixedWidth(width);
    field->setAlignment(Qt::AlignRight);
    field->setValidator(new QIntValidator(bottom, top, field));
    return field;
}

void SecondaryGraph::setConnected(bool connected) {
    QList<QWidget *> controls{m_afterAlarm, m_verticalMin, m_verticalMax, m_readVariables,
                              m_readAccelerometer};
    for (QComboBox *selector : qAsConst(m_selectors)) {
        controls.append(selector);
    }
    for (QLineEdit *scale : qAsConst(m_scales)) {
        controls.append(scale);
    }
    for (QWidget *control : qAsConst(controls)) {
        control->setEnabled(connected);
    }
}

// Shift + wheel zooms the sample axis, Ctrl + wheel the value axis, the bare wheel nothing.
void SecondaryGraph::onWheel(QWheelEvent *event) {
    Qt::Orientations zoom;
    if (event->modifiers() & Qt::ShiftModifier) {
        zoom |= Qt::Horizontal;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        zoom |= Qt::Vertical;
    }
    m_plot->axisRect()->setRangeZoom(zoom);
}

void SecondaryGraph::on_cmbBoxIndexChanged(int) {
    int selected[captureregisters::kTraceCount] = {};
    for (int trace = 0; trace < captureregisters::kTraceCount; ++trace) {
        selected[trace] = std::max(0, m_selectors.at(trace)->currentIndex());
    }
    if (m_commands.writeHolding) {
        m_commands.writeHolding(captureregisters::kVariableSelection,
                                captureregisters::selectionWord(selected[0], selected[1], selected[2]), true);
    }
}

void SecondaryGraph::writeScale(int trace) {
    const QString text = m_scales.at(trace)->text();
    float scale = 0.0f;
    if (!captureregisters::parseScale(text, &scale)) {
        return;
    }
    // Said before it is sent, so that a refusal reads as the answer to it.
    logToBrowser(tr("scale %1: %2").arg(trace + 1).arg(text));
    if (m_commands.writeHoldings) {
        m_commands.writeHoldings(captureregisters::scaleRegister(trace), captureregisters::scaleWords(scale));
    }
}

void SecondaryGraph::on_edAfterAlarmChanged() {
    const QString text = m_afterAlarm->text();
    uint16_t points = 0;
    if (!captureregisters::parsePointsAfterAlarm(text, &points)) {
        return;
    }
    logToBrowser(tr("Points to save after an alarm: %1").arg(text));
    if (m_commands.writeHolding) {
        m_commands.writeHolding(captureregisters::kPointsAfterAlarm, points, true);
    }
}

void SecondaryGraph::on_SecGraphScaleChanged() {
    m_userScale = true;
    applyVerticalScale();
}

void SecondaryGraph::applyVerticalScale() {
    if (!m_userScale) {
        // Until the user sets Min/Max the axis follows what is plotted.
        QCPRange shown(0, 0);
        bool any = false;
        for (QCPGraph *curve : qAsConst(m_curves)) {
            bool found = false;
            const QCPRange r = curve->getValueRange(found, QCP::sdBoth, m_plot->xAxis->range());
            if (found) {
                shown = any ? QCPRange(std::min(shown.lower, r.lower), std::max(shown.upper, r.upper)) : r;
                any = true;
            }
        }
        const double pad = std::max(1.0, shown.size() * 0.05);
        m_plot->yAxis->setRange(shown.lower - pad, shown.upper + pad);
        m_plot->replot(QCustomPlot::rpQueuedReplot);
        return;
    }
    const realtimeaxes::Range range = realtimeaxes::fixedRange(
        realtimeaxes::fieldValue(m_verticalMin->text()), realtimeaxes::fieldValue(m_verticalMax->text()));
    if (range.upper > range.lower) {
        m_plot->yAxis->setRange(range.lower, range.upper);
        m_plot->replot(QCustomPlot::rpQueuedReplot);
    }
}

void SecondaryGraph::on_btnTriggerSecondaryGraph() {
    if (m_commands.triggerCapture) {
        m_commands.triggerCapture();
    }
    // Until the drive reports its buffers ready nobody knows how far it is: a busy bar, so
    // that the wait does not look like a capture stuck at 0 %.
    m_progress->setRange(0, 0);
    m_progress->setVisible(true);
}

void SecondaryGraph::on_btnReadSecondaryGraph() {
    if (m_accelerometerLog->isOpen()) {
        m_accelerometerLog->finishLog();  // a read that never got its last chunk
    }
    m_accelerometerText.clear();
    const QString dir = QDir(m_logDir).filePath(QStringLiteral("acc"));
    if (!QDir().mkpath(dir) || !m_accelerometerLog->startLog(dir, QStringLiteral("acc"))) {
        logToBrowser(tr("The accelerometer log cannot be created in %1").arg(dir));
    }
    if (m_commands.startAccelerometerRead) {
        m_commands.startAccelerometerRead();
    }
}

void SecondaryGraph::on_btnExportValues() {
    QGuiApplication::clipboard()->setText(m_data.clipboardText());
}

bool SecondaryGraph::onInputRegistersRecv(int serverAddress, int startReg, QVector<uint16_t> words) {
    Q_UNUSED(serverAddress);
    const tracedecode::Kind kind = tracedecode::kindOf(startReg);
    if (kind == tracedecode::Kind::None) {
        return false;
    }
    if (kind == tracedecode::Kind::Accelerometer) {
        logAccelerometer(startReg, words);
    }
    const CaptureData::Applied applied = m_data.apply(startReg, words);
    showChannels(applied.channels, kind == tracedecode::Kind::Buffer ? Shown::Buffers : Shown::Accelerometer);
    return true;
}

void SecondaryGraph::logAccelerometer(int startReg, const QVector<uint16_t> &words) {
    const tracedecode::AccelerometerText::Output out = m_accelerometerText.feed(startReg, words);
    for (const QString &line : out.lines) {
        m_accelerometerLog->writeLine(line);
    }
    if (out.finished) {
        m_accelerometerLog->finishLog();
    }
}

void SecondaryGraph::showChannels(const QVector<int> &channels, Shown shown) {
    if (shown != m_shown) {
        m_shown = shown;
        m_plot->xAxis->setRange(
            0, shown == Shown::Buffers ? tracedecode::kBufferSamples : tracedecode::kAccelerometerSamples);
    }
    for (int channel : channels) {
        if (shown == Shown::Buffers) {
            m_curves.at(channel)->setData(m_data.bufferIndex(), m_data.buffer(channel), true);
        } else {
            m_curves.at(channel)->setData(m_data.accelerometerIndex(), m_data.accelerometer(channel), true);
        }
    }
    applyVerticalScale();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void SecondaryGraph::updateProgressBar2(bool show, float num) {
    if (!show) {
        m_progress->setVisible(false);
        return;
    }
    const float percent = std::isfinite(num) ? std::clamp(num, 0.0f, 100.0f) : 0.0f;
    m_progress->setRange(0, 100);
    m_progress->setValue(int(percent));
    m_progress->setVisible(true);
}

void SecondaryGraph::logToBrowser(const QString &text) {
    emit send_status(false, false, true, text);
}
