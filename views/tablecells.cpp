#include "views/tablecells.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableWidget>

namespace tablecells {

namespace {
constexpr int kShownTextRole = Qt::UserRole + 1;
}

QTableWidgetItem *labelItem(const QString &text, const QString &statusTip) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (!statusTip.isEmpty()) {
        item->setStatusTip(statusTip);
    }
    return item;
}

QTableWidgetItem *valueItem(const QString &text, bool editable, bool rightAligned, const QString &statusTip) {
    auto *item = labelItem(text, statusTip);
    if (editable) {
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    if (rightAligned) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    item->setData(kShownTextRole, text);
    return item;
}

void showValue(QTableWidgetItem *cell, const QString &text) {
    cell->setText(text);
    cell->setData(kShownTextRole, text);
}

void takeBackEdit(QTableWidgetItem *cell) {
    cell->setText(cell->data(kShownTextRole).toString());
}

QTableWidgetItem *headerItem(int number) {
    return new QTableWidgetItem(QString::number(number));
}

void resetTable(QTableWidget *table, int rows, int columns) {
    table->setRowCount(0);
    table->setColumnCount(columns);
    table->setRowCount(rows);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
}

void finishColumns(QTableWidget *table, int width0, int width1, int width2) {
    table->resizeColumnsToContents();
    table->horizontalHeader()->hide();
    table->setColumnWidth(0, width0);
    table->setColumnWidth(1, width1);
    if (width2 >= 0) {
        table->setColumnWidth(2, width2);
    }
}

void fitColumns(QTableWidget *table, int width0, int width1, int width2) {
    table->resizeColumnsToContents();
    table->horizontalHeader()->hide();
    // The map's widths are floors: a longer label, list text or unit widens its column.
    const int widths[] = {width0, width1, width2};
    for (int column = 0; column < 3 && column < table->columnCount(); ++column) {
        table->setColumnWidth(column, qMax(widths[column], table->columnWidth(column)));
    }
}

void setRowToolTip(QTableWidget *table, int row, const QString &toolTip) {
    for (int column = 0; column < table->columnCount(); ++column) {
        if (QTableWidgetItem *cell = table->item(row, column)) {
            cell->setToolTip(toolTip);
        }
    }
}

int fullWidth(const QTableWidget *table) {
    int width = table->verticalHeader()->sizeHint().width() + 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        width += table->columnWidth(column);
    }
    return width + table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

}  // namespace tablecells
