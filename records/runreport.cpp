#include "records/runreport.h"

#include <QJsonArray>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QVariant>
#include <cmath>

namespace {

// The WHERE clause of a filter: fixed text with placeholders, values bound separately.
struct Where {
    QString sql;
    QVariantList values;
};

Where whereFor(const ReportFilter &f) {
    QStringList parts;
    Where w;
    const struct {
        const QString &value;
        const char *clause;
    } filters[] = {{f.from, "day >= ?"}, {f.to, "day <= ?"}, {f.station, "station = ?"}};
    for (const auto &filter : filters) {
        if (!filter.value.isEmpty()) {
            parts << QLatin1String(filter.clause);
            w.values << filter.value;
        }
    }
    w.sql = parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    return w;
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error) {
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        *error = q.lastError().text().simplified();
        return false;
    }
    for (const QVariant &v : values) {
        q.addBindValue(v);
    }
    if (!q.exec()) {
        *error = q.lastError().text().simplified();
        return false;
    }
    return true;
}

// SQLite: the selection once; then each board's first and last run. The run counts come from
// the selection, the board counts from the boards (a board belongs to the day and station of its
// first run), each for the whole, per day and per station. SQLite takes the bare columns of a
// MIN() or MAX() group from that row.
const char kFiguresSqlite[] =
    "WITH sel AS MATERIALIZED (SELECT COALESCE(NULLIF(serial, ''), id) AS board, started_at || id AS k, "
    "day, station, result FROM runs%1), "
    "f AS MATERIALIZED (SELECT board, MIN(k) AS k, result AS first_result, day, station FROM sel GROUP BY "
    "board), "
    "l AS MATERIALIZED (SELECT board, MAX(k) AS k, result AS last_result FROM sel GROUP BY board), "
    "b AS MATERIALIZED (SELECT f.day, f.station, f.first_result, l.last_result FROM f JOIN l ON l.board = "
    "f.board) "
    "SELECT 'runs' AS scope, '' AS g, %2 FROM sel UNION ALL SELECT 'runs-day', day, %2 FROM sel GROUP BY day "
    "UNION ALL SELECT 'runs-station', station, %2 FROM sel GROUP BY station "
    "UNION ALL SELECT 'boards', '', %3 FROM b UNION ALL SELECT 'boards-day', day, %3 FROM b GROUP BY day "
    "UNION ALL SELECT 'boards-station', station, %3 FROM b GROUP BY station";
// PostgreSQL: one pass over the runs for their counts (grouping sets), one for the boards. A
// board's first and last run are the smallest and largest arrays led by its unique key (start
// and id, compared by bytes: ASCII dates and ids need no locale), so the rest of that row rides
// along without sorting the selection. The filter's values are bound once per pass.
const char kFiguresPostgres[] =
    "WITH b AS MATERIALIZED (SELECT MIN(ARRAY[started_at || id, COALESCE(result, ''), day, station] "
    "COLLATE \"C\") AS f, MAX(ARRAY[started_at || id, COALESCE(result, '')] COLLATE \"C\") AS l "
    "FROM runs%1 GROUP BY COALESCE(NULLIF(serial, ''), id) COLLATE \"C\") "
    "SELECT CASE WHEN GROUPING(day) = 0 THEN 'runs-day' WHEN GROUPING(station) = 0 THEN 'runs-station' "
    "ELSE 'runs' END, COALESCE(day, station, ''), %2 FROM runs%1 GROUP BY GROUPING SETS ((), (day), "
    "(station)) "
    "UNION ALL SELECT CASE WHEN GROUPING(f[3]) = 0 THEN 'boards-day' WHEN GROUPING(f[4]) = 0 THEN "
    "'boards-station' ELSE 'boards' END, COALESCE(f[3], f[4], ''), COUNT(*), "
    "SUM(CASE WHEN f[2] = 'pass' THEN 1 ELSE 0 END), SUM(CASE WHEN l[2] = 'pass' THEN 1 ELSE 0 END), 0 "
    "FROM b GROUP BY GROUPING SETS ((), (f[3]), (f[4]))";
const char kRunColumns[] =
    "COUNT(*), SUM(CASE WHEN result = 'pass' THEN 1 ELSE 0 END), SUM(CASE WHEN result = 'fail' THEN 1 ELSE 0 "
    "END), SUM(CASE WHEN result = 'cancelled' THEN 1 ELSE 0 END)";
const char kBoardColumns[] =
    "COUNT(*), SUM(CASE WHEN first_result = 'pass' THEN 1 ELSE 0 END), "
    "SUM(CASE WHEN last_result = 'pass' THEN 1 ELSE 0 END), 0";

void addFigures(const QString &scope, const QSqlQuery &q, YieldFigures *f) {
    const qint64 a = q.value(2).toLongLong(), b = q.value(3).toLongLong(), c = q.value(4).toLongLong();
    f->key = q.value(1).toString();
    if (scope.startsWith(QLatin1String("runs"))) {
        f->runs = a;
        f->passed = b;
        f->failed = c;
        f->cancelled = q.value(5).toLongLong();
    } else {
        f->boards = a;
        f->firstPassed = b;
        f->finalPassed = c;
    }
}

bool figures(const QSqlDatabase &db, const Where &where, ReportSummary *summary, QString *error) {
    const bool postgres = db.driverName() == QLatin1String("QPSQL");
    QString sql;
    QVariantList values = where.values;
    if (postgres) {
        sql = QString::fromLatin1(kFiguresPostgres).arg(where.sql, QLatin1String(kRunColumns));
        values += where.values;
    } else {
        sql = QString::fromLatin1(kFiguresSqlite)
                  .arg(where.sql, QLatin1String(kRunColumns), QLatin1String(kBoardColumns));
    }
    QSqlQuery q(db);
    if (!run(q, sql, values, error)) {
        return false;
    }
    QMap<QString, YieldFigures> days, stations;
    while (q.next()) {
        const QString scope = q.value(0).toString();
        const QString key = q.value(1).toString();
        YieldFigures *f = scope.endsWith(QLatin1String("-day"))       ? &days[key]
                          : scope.endsWith(QLatin1String("-station")) ? &stations[key]
                                                                      : &summary->total;
        addFigures(scope, q, f);
    }
    summary->days = days.values().toVector();
    summary->stations = stations.values().toVector();
    return true;
}

bool pareto(const QSqlDatabase &db, const Where &where, QVector<ParetoEntry> *out, QString *error) {
    const QString filter =
        where.sql.isEmpty() ? QStringLiteral(" WHERE ") : where.sql + QStringLiteral(" AND ");
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral(
                 "SELECT COALESCE(failed_step, ''), COUNT(*) FROM runs%1result = 'fail' "
                 "GROUP BY COALESCE(failed_step, '') ORDER BY COUNT(*) DESC, COALESCE(failed_step, '')")
                 .arg(filter),
             where.values, error)) {
        return false;
    }
    while (q.next()) {
        out->append({q.value(0).toString(), q.value(1).toLongLong()});
    }
    return true;
}

double rounded(double value) {
    return std::round(value * 10000.0) / 10000.0;
}

QJsonObject figuresJson(const YieldFigures &f) {
    return QJsonObject{{QStringLiteral("runs"), f.runs},
                       {QStringLiteral("boards"), f.boards},
                       {QStringLiteral("passed"), f.passed},
                       {QStringLiteral("failed"), f.failed},
                       {QStringLiteral("cancelled"), f.cancelled},
                       {QStringLiteral("unfinished"), f.unfinished()},
                       {QStringLiteral("retests"), f.retests()},
                       {QStringLiteral("first_pass_yield"), rounded(f.firstPassYield())},
                       {QStringLiteral("final_yield"), rounded(f.finalYield())}};
}

QJsonArray groupsJson(const QVector<YieldFigures> &groups, const QString &keyName) {
    QJsonArray array;
    for (const YieldFigures &f : groups) {
        QJsonObject o = figuresJson(f);
        o.insert(keyName, f.key);
        array.append(o);
    }
    return array;
}

QString csvField(const QString &text) {
    if (!text.contains(QRegExp(QStringLiteral("[\",\\n]")))) {
        return text;
    }
    return QLatin1Char('"') + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString csvLine(const QString &scope, const YieldFigures &f) {
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11\n")
        .arg(scope, csvField(f.key))
        .arg(f.runs)
        .arg(f.boards)
        .arg(f.passed)
        .arg(f.failed)
        .arg(f.cancelled)
        .arg(f.unfinished())
        .arg(f.retests())
        .arg(rounded(f.firstPassYield()))
        .arg(rounded(f.finalYield()));
}

QString percent(double ratio) {
    return QString::number(ratio * 100.0, 'f', 1) + QLatin1Char('%');
}

QString textLine(const QString &key, const YieldFigures &f) {
    return QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
        .arg(key, -20)
        .arg(f.runs, 7)
        .arg(f.boards, 7)
        .arg(f.passed, 7)
        .arg(f.failed, 7)
        .arg(f.cancelled, 9)
        .arg(percent(f.firstPassYield()), 7)
        .arg(percent(f.finalYield()), 7);
}

}  // namespace

namespace runreport {

bool summarize(const QSqlDatabase &db, const ReportFilter &filter, ReportSummary *summary, QString *error) {
    const Where where = whereFor(filter);
    return figures(db, where, summary, error) && pareto(db, where, &summary->pareto, error);
}

bool boardHistory(const QSqlDatabase &db, const QString &serial, QVector<BoardRun> *runs, QString *error) {
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT id, started_at, ended_at, result, station, failed_step, reason FROM runs "
                            "WHERE serial = ? ORDER BY started_at, id"),
             {serial}, error)) {
        return false;
    }
    while (q.next()) {
        BoardRun r;
        QString *fields[] = {&r.id, &r.start, &r.end, &r.result, &r.station, &r.failedStep, &r.reason};
        for (int i = 0; i < int(std::size(fields)); ++i) {
            *fields[i] = q.value(i).toString();
        }
        runs->append(r);
    }
    return true;
}

QJsonObject summaryJson(const ReportSummary &summary) {
    QJsonObject o = figuresJson(summary.total);
    QJsonArray pareto;
    for (const ParetoEntry &e : summary.pareto) {
        pareto.append(
            QJsonObject{{QStringLiteral("step"), e.step}, {QStringLiteral("failures"), e.failures}});
    }
    o.insert(QStringLiteral("pareto"), pareto);
    o.insert(QStringLiteral("days"), groupsJson(summary.days, QStringLiteral("day")));
    o.insert(QStringLiteral("stations"), groupsJson(summary.stations, QStringLiteral("station")));
    return o;
}

QString summaryCsv(const ReportSummary &summary) {
    QString text = QStringLiteral(
        "scope,key,runs,boards,passed,failed,cancelled,unfinished,retests,first_pass_yield,final_yield\n");
    text += csvLine(QStringLiteral("total"), summary.total);
    for (const YieldFigures &f : summary.days) {
        text += csvLine(QStringLiteral("day"), f);
    }
    for (const YieldFigures &f : summary.stations) {
        text += csvLine(QStringLiteral("station"), f);
    }
    for (const ParetoEntry &e : summary.pareto) {
        text += QStringLiteral("failing_step,%1,,,,%2,,,,,\n").arg(csvField(e.step)).arg(e.failures);
    }
    return text;
}

QString summaryText(const ReportSummary &summary) {
    QString text = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                       .arg(QString(), -20)
                       .arg(QStringLiteral("runs"), 7)
                       .arg(QStringLiteral("boards"), 7)
                       .arg(QStringLiteral("passed"), 7)
                       .arg(QStringLiteral("failed"), 7)
                       .arg(QStringLiteral("cancelled"), 9)
                       .arg(QStringLiteral("FPY"), 7)
                       .arg(QStringLiteral("final"), 7);
    text += textLine(QStringLiteral("all"), summary.total);
    for (const YieldFigures &f : summary.days) {
        text += textLine(f.key, f);
    }
    for (const YieldFigures &f : summary.stations) {
        text += textLine(QStringLiteral("station ") + f.key, f);
    }
    text += QStringLiteral("retests: %1, unfinished: %2\n")
                .arg(summary.total.retests())
                .arg(summary.total.unfinished());
    if (!summary.pareto.isEmpty()) {
        text += QStringLiteral("failures by step:\n");
        for (const ParetoEntry &e : summary.pareto) {
            text += QStringLiteral("%1  %2\n").arg(e.failures, 7).arg(e.step);
        }
    }
    return text;
}

QJsonObject historyJson(const QString &serial, const QVector<BoardRun> &runs) {
    QJsonArray array;
    for (const BoardRun &r : runs) {
        array.append(QJsonObject{{QStringLiteral("id"), r.id},
                                 {QStringLiteral("start"), r.start},
                                 {QStringLiteral("end"), r.end.isEmpty() ? QJsonValue() : QJsonValue(r.end)},
                                 {QStringLiteral("result"), r.result},
                                 {QStringLiteral("station"), r.station},
                                 {QStringLiteral("failed_step"), r.failedStep},
                                 {QStringLiteral("reason"), r.reason}});
    }
    return QJsonObject{{QStringLiteral("serial"), serial}, {QStringLiteral("runs"), array}};
}

QString historyText(const QString &serial, const QVector<BoardRun> &runs) {
    QString text = QStringLiteral("%1: %2 run(s)\n").arg(serial).arg(runs.size());
    for (const BoardRun &r : runs) {
        const QString result = r.result.isEmpty() ? QStringLiteral("unfinished") : r.result;
        text += QStringLiteral("  %1  %2  %3  %4").arg(r.start, r.station, result, r.id);
        if (!r.failedStep.isEmpty() || !r.reason.isEmpty()) {
            text += QStringLiteral("  step: %1  reason: %2").arg(r.failedStep, r.reason);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace runreport
