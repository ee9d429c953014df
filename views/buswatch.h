#pragma once

#include <QObject>
#include <QPointer>
#include <QVector>

#include "map/descriptors.h"
#include "views/plotdata/otherdrives.h"

class BusOverviewPanel;
class Modbus;
class RealtimePlot;

// Ties the poll list together: the Bus overview dock where it is typed (or ticked in the
// address table), the worker that polls it, the Time Graph's curves and the data log's columns
// of the other drives. The window hands it the worker again whenever it builds a new one.
class BusWatch : public QObject {
    Q_OBJECT
  public:
    BusWatch(BusOverviewPanel *panel, RealtimePlot *plot, QObject *parent = nullptr);

    // The map's input registers; they must outlive this object's use of them.
    void setRegisters(const QVector<input_reg_t *> &inputs);
    void setWorker(Modbus *worker);
    void setSelected(int address);
    void setPollList(const QVector<int> &addresses);
    // A drive ticked (or unticked) in the bus search's result.
    void setWatched(int address, bool watched);

    const plotdata::OtherDrives &otherDrives() const { return m_others; }
    QVector<int> overviewPositions() const { return m_positions; }

  signals:
    // Double-click in the overview: the window makes it the selected drive.
    void driveChosen(int address);
    // The list changed, typed in the dock, ticked in the address table or set by the window.
    void pollListChanged(QVector<int> addresses);
    // The other drives' channels changed: a data log started later gets their columns.
    void channelsChanged();

  private:
    void configureChannels();
    void pushToWorker();

    BusOverviewPanel *m_panel;
    RealtimePlot *m_plot;
    QPointer<Modbus> m_worker;
    QVector<input_reg_t *> m_inputs;
    QVector<int> m_positions;
    plotdata::OtherDrives m_others;
    int m_selected = 0;
    QVector<int> m_announced;
};
