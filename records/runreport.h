#pragma once

#include <QJsonObject>
#include <QMetaType>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// Which runs a report looks at: days are the stations' local dates (yyyy-MM-dd), inclusive;
// empty fields do not filter.
struct ReportFilter {
    QString from;
    QString to;
    QString station;
};

// The figures of one group of runs. A board is a serial number (a run without one is a board
// of its own). Its first and last runs are taken within the report's selection, and it counts
// in the day and the station of its first run, so the days' (and the stations') boards add up
// to the whole.
struct YieldFigures {
    QString key;  // the day or the station; empty for the whole selection
    qint64 runs = 0;
    qint64 boards = 0;  // boards first tested in this group
    qint64 passed = 0;
    qint64 failed = 0;
    qint64 cancelled = 0;
    qint64 firstPassed = 0;  // boards whose first run passed
    qint64 finalPassed = 0;  // boards whose last run passed

    qint64 unfinished() const { return runs - passed - failed - cancelled; }
    qint64 retests() const { return runs - boards; }
    double firstPassYield() const { return boards > 0 ? double(firstPassed) / double(boards) : 0.0; }
    double finalYield() const { return boards > 0 ? double(finalPassed) / double(boards) : 0.0; }
};

struct ParetoEntry {
    QString step;
    qint64 failures = 0;
};

struct ReportSummary {
    YieldFigures total;
    QVector<YieldFigures> days;
    QVector<YieldFigures> stations;
    QVector<ParetoEntry> pareto;  // most failures first
};

// One run in the history of a board.
struct BoardRun {
    QString id, start, end, result, station, failedStep, reason;
};

Q_DECLARE_METATYPE(YieldFigures)
Q_DECLARE_METATYPE(BoardRun)

// The production engineer's questions, answered in SQL over the runs table.
namespace runreport {

bool summarize(const QSqlDatabase &db, const ReportFilter &filter, ReportSummary *summary, QString *error);
bool boardHistory(const QSqlDatabase &db, const QString &serial, QVector<BoardRun> *runs, QString *error);

QJsonObject summaryJson(const ReportSummary &summary);
QString summaryCsv(const ReportSummary &summary);
QString summaryText(const ReportSummary &summary);
QJsonObject historyJson(const QString &serial, const QVector<BoardRun> &runs);
QString historyText(const QString &serial, const QVector<BoardRun> &runs);

}  // namespace runreport
