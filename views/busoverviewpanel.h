#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QVector>
#include <QWidget>

#include "comm/overviewreading.h"
#include "map/descriptors.h"

class QLabel;
class QLineEdit;
class QTableWidget;
class QTimer;

// Content of the "Bus overview" dock: the poll list as typed ("1,2,5") and one row per listed
// drive with its address, model, firmware, overview values (state colours as in the input
// table, an active alarm in red), the age of its last answer and its own failure count. The
// selected drive's row is bold. Double-clicking a row asks for that drive to be selected.
class BusOverviewPanel : public QWidget {
    Q_OBJECT
  public:
    explicit BusOverviewPanel(QWidget *parent = nullptr);

    // The registers (which must outlive the panel's use of them) and the overview positions.
    void setRegisters(const QVector<input_reg_t *> &inputs, const QVector<int> &positions);
    // Replaces the list and its rows; emits nothing.
    void setPollList(const QVector<int> &addresses);
    QVector<int> pollList() const { return m_list; }
    void setSelected(int address);
    void showReading(const OverviewReading &reading);

    // The least that reads: the list, the header and a few drives.
    QSize minimumSizeHint() const override;

    QLineEdit *listEdit() const { return m_edit; }
    QTableWidget *table() const { return m_table; }
    int rowOf(int address) const { return m_list.indexOf(address); }
    // Column of the first overview value; the age and failure columns follow the values.
    static constexpr int kFirstValueColumn = 3;
    static constexpr int kRowsInSight = 3;

  signals:
    void pollListChanged(QVector<int> addresses);
    void driveChosen(int address);

  private:
    void onListEdited();
    void rebuildRows();
    void refreshAges();
    int ageColumn() const { return kFirstValueColumn + m_positions.size(); }

    QLineEdit *m_edit;
    QLabel *m_error;
    QTableWidget *m_table;
    QTimer *m_ageTimer;
    QVector<input_reg_t *> m_inputs;
    QVector<int> m_positions;
    QVector<int> m_list;
    QHash<int, QElapsedTimer> m_lastAnswer;
    int m_selected = 0;
};
