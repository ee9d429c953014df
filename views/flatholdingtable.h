#pragma once

#include <QTableWidget>
#include <QVector>

#include "map/descriptors.h"
#include "map/presentation.h"

// The flat "Holding registers" table: every normal holding in list order. A mirror of the
// received values; nothing typed here is written to the drive.
class FlatHoldingTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit FlatHoldingTable(QWidget *parent = nullptr);

    void setup(const QVector<holding_t *> &holdings);
    void showUpdates(const QVector<presentation::CellUpdate> &updates);
};
