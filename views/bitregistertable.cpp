#include "views/bitregistertable.h"

#include <QCheckBox>
#include <QDebug>

#include "views/tablecells.h"

BitRegisterTable::BitRegisterTable(QWidget *parent) : QTableWidget(parent) {}

void BitRegisterTable::setup(const QVector<coil_t *> &registers, bool reportToggles) {
    setRowCount(0);
    if (registers.isEmpty()) {
        return;
    }
    tablecells::resetTable(this, registers.size(), 2);
    for (int row = 0; row < registers.size(); ++row) {
        setItem(row, 0, tablecells::labelItem(registers[row]->name));
        auto *box = new QCheckBox(QString(), this);
        box->setProperty("row", row);
        box->setProperty("column", 1);
        box->setChecked(registers[row]->state);
        if (reportToggles) {
            connect(box, &QCheckBox::toggled, this, &BitRegisterTable::chkCoilSlot);
        }
        setCellWidget(row, 1, box);
    }
    setColumnWidth(0, 201);
    setColumnWidth(1, 14);
}

void BitRegisterTable::chkCoilSlot(bool dat) {
    const QObject *box = sender();
    qDebug() << "---------------------- cambio en el coil" << (box ? box->property("row").toInt() : -1)
             << " checked: " << (dat ? "true" : "false");
}
