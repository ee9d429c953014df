#include "views/teststeptable.h"

#include <QCoreApplication>
#include <QHeaderView>

#include "map/numbertext.h"

namespace {

constexpr int kRowHeight = 20;
const int kColumnWidths[TestStepTable::ColumnCount] = {160, 45, 45, 45, 50};

QColor resultColour(int ok) {
    if (ok > 0) {
        return TestStepTable::kPassed;
    }
    return ok < 0 ? TestStepTable::kFailed : TestStepTable::kNeutral;
}

}  // namespace

const QColor TestStepTable::kPassed(0, 255, 0);
const QColor TestStepTable::kFailed(255, 0, 0);
const QColor TestStepTable::kNeutral(Qt::white);
const QColor TestStepTable::kCurrent(150, 150, 150);

TestStepTable::TestStepTable(QWidget *parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tableWidget_TestSteps"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setupColumns();
}

void TestStepTable::setupColumns() {
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Name"), tr("Res"), tr("Min"), tr("Max"), tr("Time")});
    for (int column = 0; column < ColumnCount; ++column) {
        setColumnWidth(column, kColumnWidths[column]);
    }
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
}

void TestStepTable::showResult(int num, const QString &txt, float res, float min, float max, int ok,
                               const QTime &at) {
    if (num < 0) {
        return;
    }
    const bool known = num < rowCount();
    clearCurrentMark(num);
    if (!known) {
        growTo(num + 1);
    }
    writeCells(num, txt, res, min, max, at);
    if (known) {
        colour(num, Name, kCurrent);
        colour(num, Res, resultColour(ok));
    }
}

void TestStepTable::growTo(int rows) {
    const int first = rowCount();
    setRowCount(rows);
    setupColumns();
    for (int row = first; row < rows; ++row) {
        setRowHeight(row, kRowHeight);
        for (int column = 0; column < ColumnCount; ++column) {
            cell(row, column);
        }
    }
}

// The name cell of the step before num (the last row before step 0) loses its grey.
void TestStepTable::clearCurrentMark(int num) {
    if (rowCount() == 0) {
        return;
    }
    const int previous = num > 0 ? num - 1 : rowCount() - 1;
    if (previous < rowCount()) {
        colour(previous, Name, kNeutral);
    }
}

void TestStepTable::writeCells(int num, const QString &txt, float res, float min, float max,
                               const QTime &at) {
    // The engine's own step texts are marked for translation; the test file's names are not.
    cell(num, Name)->setText(QCoreApplication::translate("TestEngine", txt.toUtf8().constData()));
    cell(num, Res)->setText(shortestFloatText(res));
    cell(num, Min)->setText(shortestFloatText(min));
    cell(num, Max)->setText(shortestFloatText(max));
    cell(num, Time)->setText(at.toString(QStringLiteral("hh:mm:ss")));
}

void TestStepTable::colour(int row, int column, const QColor &colour) {
    cell(row, column)->setBackground(colour);
}

// The cell at row, column, created read-only when missing; number cells are right-aligned.
QTableWidgetItem *TestStepTable::cell(int row, int column) {
    QTableWidgetItem *existing = item(row, column);
    if (existing != nullptr) {
        return existing;
    }
    auto *created = new QTableWidgetItem();
    created->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (column == Res || column == Min || column == Max) {
        created->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    setItem(row, column, created);
    return created;
}
