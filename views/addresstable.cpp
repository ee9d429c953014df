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
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *changed) {
        if (changed->column() == 0 && !m_showing) {
            emit watchToggled(changed->text().toInt(), changed->checkState() == Qt::Checked);
        }
    });
}

void AddressTable::showWatched(const QVector<int> &addresses) {
    m_showing = true;
    for (int row = 0; row < rowCount(); ++row) {
        QTableWidgetItem *address = item(row, 0);
        if (address != nullptr) {
            address->setCheckState(addresses.contains(address->text().toInt()) ? Qt::Checked : Qt::Unchecked);
        }
    }
    m_showing = false;
}

void AddressTable::setColumns() {
    setColumnCount(kColumns);
    setHorizontalHeaderLabels({tr("Add"), tr("Status"), tr("Mot Ver"),
                               tr("IO Ver"), tr("Model")});
    // As wide as the widest text of a column, header included: a status reads "0xFFFF" whole.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
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
    QTableWidgetItem *watch = cell(QString::number(address));
    watch->setFlags(watch->flags() | Qt::ItemIsUserCheckable);
    m_showing = true;
    watch->setCheckState(Qt::Unchecked);
    setItem(row, 0, watch);
    m_showing = false;
    setItem(row, 1, cell(QStringLiteral("0x%1").arg(QString::number(status, 16).toUpper())));
    setItem(row, 2, cell(QString::number(motorVersion)));
    setItem(row, 3, cell(QString::number(ioVersion)));
    setItem(row, 4, cell(QString::number(model)));
}

QString AddressTable::addressAt(int row) const {
    const QTableWidgetItem *address = item(row, 0);
    return address != nullptr ? address->text() : QString();
}
