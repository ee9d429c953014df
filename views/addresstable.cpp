#include "views/addresstable.h"

#include <QHeaderView>

namespace {

const int kColumns = 5;
const int kRowHeight = 20;

QTableWidgetItem *cell(const QString &text) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

AddressTable::AddressTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("twAdress"));
    setColumns();
}

void AddressTable::setColumns() {
    setColumnCount(kColumns);
    setHorizontalHeaderLabels({tr("Add"), tr("Status"), tr("Mot Ver"), tr("IO Ver"), tr("Model")});
    const int widths[kColumns] = {30, 40, 50, 50, 50};
    for (int column = 0; column < kColumns; ++column) {
        setColumnWidth(column, widths[column]);
    }
    verticalHeader()->setDefaultSectionSize(kRowHeight);
}

void AddressTable::startSearch() {
    setRowCount(0);
    setColumns();
}

void AddressTable::addDevice(uint8_t address, uint16_t status, uint16_t model, uint16_t motorVersion,
                             uint16_t ioVersion) {
    const int row = rowCount();
    insertRow(row);
    setRowHeight(row, kRowHeight);
    setItem(row, 0, cell(QString::number(address)));
    setItem(row, 1, cell(QStringLiteral("0x%1").arg(QString::number(status, 16).toUpper())));
    setItem(row, 2, cell(QString::number(motorVersion)));
    setItem(row, 3, cell(QString::number(ioVersion)));
    setItem(row, 4, cell(QString::number(model)));
}

QString AddressTable::addressAt(int row) const {
    const QTableWidgetItem *address = item(row, 0);
    return address != nullptr ? address->text() : QString();
}
