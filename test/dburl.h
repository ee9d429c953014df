#pragma once

#include <QString>

// Where production records are kept, as a URL:
//   sqlite:PATH                              an SQLite file (created on first use)
//   postgresql://USER@HOST:PORT/DBNAME       a PostgreSQL server; the password comes from
//                                            libpq's usual places (PGPASSWORD, ~/.pgpass)
struct DbTarget {
    enum class Kind { None, Sqlite, Postgres };
    Kind kind = Kind::None;
    QString path;  // SQLite
    QString host;  // PostgreSQL
    int port = 5432;
    QString database;
    QString user;

    bool isValid() const { return kind != Kind::None; }
    bool isPostgres() const { return kind == Kind::Postgres; }
    // The URL form; never holds a password.
    QString url() const;

    static DbTarget sqlite(const QString &path);
    // False with a message naming what is wrong.
    static bool parse(const QString &text, DbTarget *target, QString *error);
};
