#include "views/replaywindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "views/plotdata/datalogreader.h"
#include "views/plotdata/powercalc.h"
#include "views/plotdata/realtimeaxes.h"
#include "views/realtimecontrols.h"
#include "views/realtimeplot.h"

namespace {

constexpr int kPowerChannels = 3;

// The whole log at full resolution: a day at 10 Hz is well within memory.
plotdata::HistoryStore::Options replayOptions() {
    plotdata::HistoryStore::Options options;
    options.rawKeepMs = std::numeric_limits<qint64>::max() / 2;
    return options;
}

}  // namespace

ReplayWindow::ReplayWindow(QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_plot(new RealtimePlot(this)),
      m_progress(new QProgressBar(this)),
      m_status(new QLabel(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Data log"));
    resize(1200, 800);
    m_progress->setRange(0, 100);
    // A recording has no newest sample to follow and no live P, Q, S: the cursors show them.
    RealtimeControls *controls = m_plot->controls();
    for (QWidget *live : {static_cast<QWidget *>(controls->activePowerLabel()),
                          static_cast<QWidget *>(controls->reactivePowerLabel()),
                          static_cast<QWidget *>(controls->apparentPowerLabel())}) {
        live->hide();
    }
    controls->timeMinEdit()->setEnabled(false);
    controls->timeMaxEdit()->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_progress);
    layout->addWidget(m_plot, 1);
}

void ReplayWindow::closeEvent(QCloseEvent *event) {
    if (m_reading) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

bool ReplayWindow::open(const QString &path) {
    m_reading = true;
    const bool ok = read(path);
    m_reading = false;
    return ok;
}

bool ReplayWindow::read(const QString &path) {
    setWindowTitle(tr("Data log - %1").arg(QFileInfo(path).fileName()));
    m_status->setText(tr("Reading %1…").arg(QDir::toNativeSeparators(path)));
    m_progress->setValue(0);
    m_progress->setVisible(true);
    plotdata::DataLogReader reader;
    QString error;
    if (!reader.open(path, &error)) {
        m_progress->setVisible(false);
        m_status->setText(error);
        return false;
    }
    QVector<RealtimePlot::CurveSpec> curves;
    QVector<int> columns;
    for (int i = 0; i < reader.names().size(); ++i) {
        const int axis = realtimeaxes::axisIndexForUnit(reader.units().at(i));
        if (axis >= 0) {
            curves.append({reader.names().at(i), reader.units().at(i), axis});
            columns << i;
        }
    }
    QVector<int> powerColumns;
    for (const QString &name : qAsConst(m_powerColumns)) {
        powerColumns << reader.columnOf(name);
    }
    const bool withPower = powerColumns.size() == 4 && !powerColumns.contains(-1);
    columns += withPower ? powerColumns : QVector<int>();

    auto history = std::make_unique<plotdata::HistoryStore>(curves.size() + kPowerChannels, replayOptions());
    const qint64 startMs = reader.startTime().toMSecsSinceEpoch();
    QVector<double> sample(curves.size() + kPowerChannels);
    const int curveCount = curves.size();
    const bool read = reader.readRows(
        columns,
        [&](qint64 elapsedMs, const QVector<double> &values) {
            std::copy_n(values.begin(), curveCount, sample.begin());
            power::PowerValues pqs{qQNaN(), qQNaN(), qQNaN()};
            if (withPower) {
                const double *dq = values.constData() + curveCount;  // id, iq, vd, vq
                pqs = power::compute(dq[0], dq[1], dq[2], dq[3]);
            }
            sample[curveCount] = pqs.p;
            sample[curveCount + 1] = pqs.q;
            sample[curveCount + 2] = pqs.s;
            history->append(startMs + elapsedMs, sample);
        },
        [this](int percent) {
            m_progress->setValue(percent);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        &error);
    m_progress->setVisible(false);
    if (!read) {
        m_status->setText(error);
        return false;
    }
    const qint64 samples = history->sampleCount();
    m_plot->showRecorded(curves, std::move(history), startMs);
    QString text = tr("%1: %2 samples from %3, %4 curves%5")
                       .arg(QFileInfo(path).fileName())
                       .arg(samples)
                       .arg(reader.startTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")))
                       .arg(curves.size())
                       .arg(withPower ? tr(", P, Q and S worked out") : QString());
    if (reader.skippedLines() > 0) {
        text += QStringLiteral("; %1").arg(reader.skippedSummary());
    }
    m_status->setText(text);
    return true;
}
