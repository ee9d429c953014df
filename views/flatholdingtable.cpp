#include "views/flatholdingtable.h"

#include <QDebug>
#include <QSignalBlocker>

#include "views/tablecells.h"

FlatHoldingTable::FlatHoldingTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tableWidget_Holdings"));
    setMouseTracking(true);
}

void FlatHoldingTable::setup(const QVector<holding_t *> &holdings) {
    setRowCount(0);
    qDebug() << "holdings size: " << holdings.size();
    if (holdings.isEmpty()) {
        return;
    }
    tablecells::resetTable(this, holdings.size(), 3);
    for (int row = 0; row < holdings.size(); ++row) {
        const holding_t &record = *holdings[row];
        setVerticalHeaderItem(row, tablecells::headerItem(row));
        setItem(row, 0, tablecells::labelItem(record.text, record.help));
        setItem(row, 1, tablecells::valueItem(QString::number(record.def), true, true, record.help));
        setItem(row, 2, tablecells::labelItem(record.unit, record.help));
    }
    tablecells::finishColumns(this, 140, 50, 40);
}

void FlatHoldingTable::showUpdates(const QVector<presentation::CellUpdate> &updates) {
    const QSignalBlocker noEditSignals(this);
    for (int row = 0; row < updates.size() && row < rowCount(); ++row) {
        if (updates[row].set) {
            item(row, 1)->setText(updates[row].text);
        }
    }
}
