#pragma once

#include <QTableWidget>
#include <QVector>
#include <cstdint>

// The "Address table": one row per device that answered the bus search. Ticking a row's
// address puts the drive in the poll list of the bus overview.
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
    // Ticks the rows of these addresses and unticks the others, without emitting watchToggled.
    void showWatched(const QVector<int> &addresses);

  signals:
    void watchToggled(int address, bool watched);

  private:
    void setColumns();

    bool m_showing = false;
};
