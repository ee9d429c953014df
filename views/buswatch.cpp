#include "views/buswatch.h"

#include "comm/modbus.h"
#include "map/overviewregisters.h"
#include "views/busoverviewpanel.h"
#include "views/plotdata/realtimeaxes.h"
#include "views/realtimeplot.h"

BusWatch::BusWatch(BusOverviewPanel *panel, RealtimePlot *plot, QObject *parent)
    : QObject(parent), m_panel(panel), m_plot(plot) {
    connect(m_panel, &BusOverviewPanel::pollListChanged, this, &BusWatch::setPollList);
    connect(m_panel, &BusOverviewPanel::driveChosen, this, &BusWatch::driveChosen);
}

void BusWatch::setRegisters(const QVector<input_reg_t *> &inputs) {
    m_inputs = inputs;
    m_positions = overviewregisters::positions(inputs);
    m_panel->setRegisters(inputs, m_positions);
    configureChannels();
    pushToWorker();
}

void BusWatch::setWorker(Modbus *worker) {
    m_worker = worker;
    if (worker) {
        connect(worker, &Modbus::overviewReading, this, [this](const OverviewReading &reading) {
            m_panel->showReading(reading);
            m_others.note(reading);
        });
    }
    pushToWorker();
}

void BusWatch::setSelected(int address) {
    if (address == m_selected) {
        return;
    }
    m_selected = address;
    m_panel->setSelected(address);
    configureChannels();
}

void BusWatch::setPollList(const QVector<int> &addresses) {
    if (addresses != m_panel->pollList()) {
        m_panel->setPollList(addresses);
    }
    configureChannels();
    pushToWorker();
    if (addresses != m_announced) {
        m_announced = addresses;
        emit pollListChanged(addresses);
    }
}

void BusWatch::setWatched(int address, bool watched) {
    QVector<int> list = m_panel->pollList();
    if (watched && !list.contains(address)) {
        list << address;
    } else if (!watched) {
        list.removeAll(address);
    }
    setPollList(list);
}

void BusWatch::configureChannels() {
    m_others.configure(m_inputs, m_positions, m_panel->pollList(), m_selected);
    QVector<RealtimePlot::CurveSpec> specs;
    QVector<int> plotted;
    for (int i = 0; i < m_others.channels().size(); ++i) {
        const plotdata::OtherDrives::Channel &channel = m_others.channels().at(i);
        const int axis = realtimeaxes::axisIndexForUnit(channel.unit);
        if (axis >= 0) {
            specs.append({channel.text, channel.unit, axis});
            plotted << i;
        }
    }
    if (m_plot) {
        m_plot->setExtraCurves(specs, [this, plotted] {
            const QVector<double> all = m_others.values();
            QVector<double> out;
            for (const int i : plotted) {
                out << all.value(i, qQNaN());
            }
            return out;
        });
    }
    emit channelsChanged();
}

void BusWatch::pushToWorker() {
    if (!m_worker) {
        return;
    }
    m_worker->setOverviewRegisters(m_positions);
    m_worker->setPollList(m_panel->pollList());
}
