#include "test/dburl.h"

#include <QUrl>
#include <algorithm>

QString DbTarget::url() const {
    switch (kind) {
        case Kind::Sqlite:
            return QStringLiteral("sqlite:%1").arg(path);
        case Kind::Postgres: {
            // Put together by QUrl: an IPv6 host is bracketed and a character that means something
            // in a URL ('@', '?', '%' in a name) is escaped, and so are blanks and other non-ASCII
            // characters (parse() trims the text), so the printed form reads back the same.
            QUrl url;
            url.setScheme(QStringLiteral("postgresql"));
            url.setUserName(user);
            url.setHost(host);
            url.setPort(port);
            url.setPath(QLatin1Char('/') + database);
            return url.toString(QUrl::EncodeSpaces | QUrl::EncodeUnicode);
        }
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

// The text as a message shows it: messages reach the screen and the logs, so a password in the
// user info ("USER:PASSWORD@") is masked, whether or not the rest of the URL is sound.
QString shown(const QString &text) {
    const int scheme = text.indexOf(QLatin1String("://"));
    if (scheme < 0) {
        return text;
    }
    const int authority = scheme + 3;
    int authorityEnd = text.size();
    for (const QChar end : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const int at = text.indexOf(end, authority);
        authorityEnd = at >= 0 ? std::min(authorityEnd, at) : authorityEnd;
    }
    const int userEnd = text.lastIndexOf(QLatin1Char('@'), authorityEnd - 1);
    const int colon = text.indexOf(QLatin1Char(':'), authority);
    if (userEnd < authority || colon < 0 || colon > userEnd) {
        return text;
    }
    return text.left(colon + 1) + QStringLiteral("****") + text.mid(userEnd);
}

bool parsePostgres(const QString &text, DbTarget *target, QString *error) {
    const QUrl url(text, QUrl::StrictMode);
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty()) {
        *error =
            QStringLiteral("'%1' names no server: write postgresql://USER@HOST:PORT/DBNAME").arg(shown(text));
        return false;
    }
    if (!url.password().isEmpty()) {
        *error = QStringLiteral("'%1' holds a password: keep it in ~/.pgpass or PGPASSWORD instead")
                     .arg(shown(text));
        return false;
    }
    if (database.isEmpty() || database.contains(QLatin1Char('/')) || url.hasQuery()) {
        *error = QStringLiteral("'%1' names no database: write postgresql://USER@HOST:PORT/DBNAME")
                     .arg(shown(text));
        return false;
    }
    // QUrl prints a noncharacter (U+FFFF, U+3FFFF...) as half of a pair, which reads back as
    // another name; no user or database is called that.
    for (const QString &name : {url.userName(), database}) {
        const QVector<uint> codePoints = name.toUcs4();
        if (std::any_of(codePoints.cbegin(), codePoints.cend(),
                        [](uint c) { return QChar::isNonCharacter(c) || QChar::isSurrogate(c); })) {
            *error = QStringLiteral("'%1' holds a name that is not text").arg(shown(text));
            return false;
        }
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
            .arg(shown(text));
    return false;
}
