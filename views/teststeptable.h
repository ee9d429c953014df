#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>
#include <QTime>

// The "Test steps" table: one row per step of the production test (row num for step num),
// with its name, result, limits and the time of the latest result. The row of the step
// that reported last has a grey name cell; a result cell is green when the step passed,
// red when it failed. Rows stay between tests and are overwritten in place.
class TestStepTable : public QTableWidget {
    Q_OBJECT
  public:
    enum Column { Name = 0, Res, Min, Max, Time, ColumnCount };

    static const QColor kPassed;
    static const QColor kFailed;
    static const QColor kNeutral;
    static const QColor kCurrent;

    explicit TestStepTable(QWidget *parent = nullptr);

    // One step result. ok: 1 passed, -1 failed, 0 neutral. A step's first announcement
    // creates its row without colours; later results colour it.
    void showResult(int num, const QString &txt, float res, float min, float max, int ok, const QTime &at);

  private:
    void setupColumns();
    void growTo(int rows);
    void fitColumns();
    void clearCurrentMark(int num);
    void writeCells(int num, const QString &txt, float res, float min, float max, const QTime &at);
    void colour(int row, int column, const QColor &colour);
    QTableWidgetItem *cell(int row, int column);
};
