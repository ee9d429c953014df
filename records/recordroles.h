#pragma once

#include <QString>

class ResultsDb;

// Who may do what in a results database on a PostgreSQL server. `mvxctl records init` gives
// two roles their rights (creating them, without login, when they do not exist); people and
// stations log in as members of them (GRANT mvx_station TO line2_st1).
//   station: reads the runs, inserts runs and completes them; no DELETE, TRUNCATE nor DROP.
//   report:  reads, nothing else.
// Running it again takes back any other right on the tables that someone gave these roles.
struct RecordRoles {
    QString station = QStringLiteral("mvx_station");
    QString report = QStringLiteral("mvx_report");

    // Plain lower-case names only ([a-z_][a-z0-9_]*, at most 63 characters), and two of them.
    bool check(QString *error) const;
    // On an administrator's connection whose schema is ready; false with the server's reason.
    bool grant(ResultsDb &db, QString *error) const;
};
