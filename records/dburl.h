#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// Where production records are kept, as a URL:
//   sqlite:PATH                              an SQLite file (created on first use)
//   postgresql://USER@HOST:PORT/DBNAME       a PostgreSQL server; the password comes from
//                                            libpq's usual places (PGPASSWORD, ~/.pgpass)
// A PostgreSQL URL may end in libpq keywords, ?sslmode=verify-full&sslrootcert=PATH&...,
// which reach the driver as they are written.
struct DbTarget {
    enum class Kind { None, Sqlite, Postgres };
    Kind kind = Kind::None;
    QString path;  // SQLite
    QString host;  // PostgreSQL
    int port = 5432;
    QString database;
    QString user;
    QVector<QPair<QString, QString>> options;  // libpq keywords of the URL's query, in order

    bool isValid() const { return kind != Kind::None; }
    bool isPostgres() const { return kind == Kind::Postgres; }
    // The URL form; never holds a password.
    QString url() const;

    static DbTarget sqlite(const QString &path);
    // False with a message naming what is wrong; the message never repeats a password.
    static bool parse(const QString &text, DbTarget *target, QString *error);
    // A URL as it may be shown: any password in it replaced by "***".
    static QString withoutPassword(const QString &text);
    // A value as libpq's connection string takes it (quoted when it must be).
    static QString conninfoValue(const QString &value);
};
