#pragma once

#include <QTableWidget>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

// The "Input registers" table: one read-only row per input register, painted in the
// register's colour; the low rows of 32-bit pairs are hidden.
class InputRegisterTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit InputRegisterTable(QWidget *parent = nullptr);

    void setup(const QVector<input_reg_t *> &registers, int col1Width, int col2Width, int col3Width);
    // Stores an ordinary poll reply in the registers, shows it, and returns the values that
    // the data log records (";" + text per value).
    QString showWords(const QVector<uint16_t> &words);

    // Wide enough for all three columns, so the dock opens showing the values.
    QSize sizeHint() const override;

  private:
    void fillRow(int row, const input_reg_t &reg);

    QVector<input_reg_t *> m_registers;
};
