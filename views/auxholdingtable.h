#pragma once

#include <QTableWidget>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"
#include "map/presentation.h"
#include "views/writerefusal.h"

// The "Auxiliar holdings" table: one row per aux holding, headed 1000 + position. An edit
// in the value column is written to the first aux holding's address plus the row.
class AuxHoldingTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit AuxHoldingTable(QWidget *parent = nullptr);

    void setup(const QVector<holding_t *> &aux);
    void showUpdates(int startIndex, const QVector<presentation::CellUpdate> &updates);
    // Consulted at each edit; a refused one goes back to the value shown before.
    void setWriteRefusal(WriteRefusal refusal) { m_writeRefusal = std::move(refusal); }

    void auxHoldingChanged(int row, int col);

  signals:
    void writeRequested(int address, uint16_t value, bool echo);
    // A typed value that was not written, and why.
    void editRejected(const QString &message);

  private:
    void takeBackEdit(int row);

    QVector<holding_t *> m_aux;
    WriteRefusal m_writeRefusal;
};
