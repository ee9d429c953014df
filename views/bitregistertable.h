#pragma once

#include <QTableWidget>
#include <QVector>

#include "map/descriptors.h"

// A table of coils or discrete inputs: the name and a check box per bit register.
class BitRegisterTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit BitRegisterTable(QWidget *parent = nullptr);

    // Coil check boxes report their changes; discrete-input ones are only shown.
    void setup(const QVector<coil_t *> &registers, bool reportToggles);

    void chkCoilSlot(bool dat);
};
