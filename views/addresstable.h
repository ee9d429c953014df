#pragma once

#include <QTableWidget>
#include <cstdint>

// The "Address table": one row per device that answered the bus search.
class AddressTable : public QTableWidget {
    Q_OBJECT
  public:
    explicit AddressTable(QWidget *parent = nullptr);

    // Empties the table for a new search and sets its columns.
    void startSearch();
    void addDevice(uint8_t address, uint16_t status, uint16_t model, uint16_t motorVersion,
                   uint16_t ioVersion);
    // The "Add" cell of a row, or empty text.
    QString addressAt(int row) const;

  private:
    void setColumns();
};
