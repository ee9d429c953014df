#pragma once

#include <QTableWidget>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"
#include "map/presentation.h"

// The "Auxiliar holdings" table: one row per aux holding, headed 1000 + position. An edit
// in the value column is written to the first aux holding's address plus the row.
class AuxHoldingTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit AuxHoldingTable(QWidget *parent = nullptr);

    void setup(const QVector<holding_t *> &aux);
    void showUpdates(int startIndex, const QVector<presentation::CellUpdate> &updates);

    void auxHoldingChanged(int row, int col);

  signals:
    void writeRequested(int address, uint16_t value, bool echo);
    // A typed value that was not written, and why.
    void editRejected(const QString &message);

  private:
    QVector<holding_t *> m_aux;
};
