#pragma once

#include <QString>

class QTableWidget;
class QTableWidgetItem;

// Cell conventions shared by the register tables.
namespace tablecells {

constexpr int kRowHeight = 20;

// Column 0 label and column 2 unit: selectable, enabled, not editable.
QTableWidgetItem *labelItem(const QString &text, const QString &statusTip = QString());
// Column 1 value; right-aligned and vertically centred when asked.
QTableWidgetItem *valueItem(const QString &text, bool editable, bool rightAligned,
                            const QString &statusTip = QString());
// A value cell keeps the text the program last showed in it (the drive's value, or the map's
// default before the first read), so that an edit that is not written can be taken back.
// Both set data on the cell: call them with the table's signals blocked.
void showValue(QTableWidgetItem *cell, const QString &text);
void takeBackEdit(QTableWidgetItem *cell);
// Vertical header showing a number.
QTableWidgetItem *headerItem(int number);

// Clears the table and gives it rows x columns with the usual row height.
void resetTable(QTableWidget *table, int rows, int columns);
// Resizes to contents, hides the horizontal header and applies the widths.
void finishColumns(QTableWidget *table, int width0, int width1, int width2 = -1);
// Hides the horizontal header and gives each of three columns the larger of its contents'
// width and the width asked for.
void fitColumns(QTableWidget *table, int width0, int width1, int width2);
// The same tool tip on every cell of a row.
void setRowToolTip(QTableWidget *table, int row, const QString &toolTip);

// Width that shows every column without a horizontal scroll bar.
int fullWidth(const QTableWidget *table);

}  // namespace tablecells
