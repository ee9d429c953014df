#include "test/dburl.h"

#include <QUrl>

QString DbTarget::url() const {
    switch (kind) {
        case Kind::Sqlite:
            return QStringLiteral("sqlite:%1").arg(path);
        case Kind::Postgres:
            return QStringLiteral("postgresql://%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
        case Kind::None:
            break;
    }
    return QString();
}

DbTarget DbTarget::sqlite(const QString &path) {
    DbTarget target;
    target.kind = Kind::Sqlite;
    target.path = path;
    return target;
}

namespace {

bool parsePostgres(const QString &text, DbTarget *target, QString *error) {
    const QUrl url(text, QUrl::StrictMode);
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty()) {
        *error = QStringLiteral("'%1' names no server: write postgresql://USER@HOST:PORT/DBNAME").arg(text);
        return false;
    }
    if (!url.password().isEmpty()) {
        *error =
            QStringLiteral("'%1' holds a password: keep it in ~/.pgpass or PGPASSWORD instead").arg(text);
        return false;
    }
    if (database.isEmpty() || database.contains(QLatin1Char('/')) || url.hasQuery()) {
        *error = QStringLiteral("'%1' names no database: write postgresql://USER@HOST:PORT/DBNAME").arg(text);
        return false;
    }
    target->kind = DbTarget::Kind::Postgres;
    target->host = url.host();
    target->port = url.port(5432);
    target->database = database;
    target->user = url.userName();
    return true;
}

}  // namespace

bool DbTarget::parse(const QString &text, DbTarget *target, QString *error) {
    const QString trimmed = text.trimmed();
    *target = DbTarget();
    if (trimmed.startsWith(QLatin1String("sqlite:"))) {
        const QString path = trimmed.mid(7);
        if (path.isEmpty()) {
            *error = QStringLiteral("'%1' names no file: write sqlite:PATH").arg(text);
            return false;
        }
        *target = sqlite(path);
        return true;
    }
    if (trimmed.startsWith(QLatin1String("postgresql://")) ||
        trimmed.startsWith(QLatin1String("postgres://"))) {
        return parsePostgres(trimmed, target, error);
    }
    *error =
        QStringLiteral("'%1' is not a database URL: write sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME")
            .arg(text);
    return false;
}
