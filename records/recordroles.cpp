#include "records/recordroles.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include "records/resultsdb.h"

namespace {

const char kTables[] = "runs, steps, holdings, schema_info";

bool run(ResultsDb &db, const QString &sql, QString *error) {
    QSqlQuery q(db.database());
    if (q.exec(sql)) {
        return true;
    }
    *error = q.lastError().text().simplified();
    return false;
}

// The schema the tables were created in (the connection's first on its search path).
QString currentSchema(ResultsDb &db) {
    QSqlQuery q(db.database());
    return q.exec(QStringLiteral("SELECT current_schema()")) && q.next() ? q.value(0).toString() : QString();
}

QString quoted(const QString &name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

}  // namespace

bool RecordRoles::check(QString *error) const {
    static const QRegularExpression plain(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    for (const QString &name : {station, report}) {
        if (!plain.match(name).hasMatch()) {
            *error =
                QStringLiteral("'%1' is not a role name: use lower-case letters, digits and '_'").arg(name);
            return false;
        }
    }
    if (station == report) {
        *error = QStringLiteral("the station and report roles must differ (both are '%1')").arg(station);
        return false;
    }
    return true;
}

bool RecordRoles::grant(ResultsDb &db, QString *error) const {
    if (!check(error)) {
        return false;
    }
    const QString schema = currentSchema(db);
    if (schema.isEmpty()) {
        *error = QStringLiteral("cannot tell the schema the tables are in");
        return false;
    }
    const QString st = quoted(station), rep = quoted(report), tables = QLatin1String(kTables);
    QStringList statements;
    for (const QString &role : {st, rep}) {
        // Another administrator may create it at the same moment: that is as good.
        statements
            << QStringLiteral(
                   "DO $$ BEGIN CREATE ROLE %1 NOLOGIN; EXCEPTION WHEN duplicate_object OR unique_violation "
                   "THEN NULL; "
                   "END $$")
                   .arg(role);
    }
    statements << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2, %3").arg(quoted(schema), st, rep)
               << QStringLiteral("REVOKE ALL ON %1 FROM %2, %3").arg(tables, st, rep)
               << QStringLiteral("GRANT SELECT, INSERT, UPDATE ON runs, steps, holdings TO %1").arg(st)
               << QStringLiteral("GRANT SELECT ON schema_info TO %1").arg(st)
               << QStringLiteral("GRANT SELECT ON %1 TO %2").arg(tables, rep);
    QSqlDatabase sql = db.database();
    if (!sql.transaction()) {
        *error = sql.lastError().text().simplified();
        return false;
    }
    for (const QString &statement : qAsConst(statements)) {
        if (!run(db, statement, error)) {
            sql.rollback();
            return false;
        }
    }
    if (!sql.commit()) {
        *error = sql.lastError().text().simplified();
        return false;
    }
    return true;
}
