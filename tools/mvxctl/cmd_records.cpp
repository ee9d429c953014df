#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "cli.h"
#include "commands.h"
#include "records/recordroles.h"
#include "records/recordwriter.h"
#include "records/resultsdb.h"
#include "records/runrecorder.h"

namespace {

const char kUsage[] =
    "records upload [--db URL] [--log-dir D]\n"
    "       mvxctl records init --db URL [--station-role NAME] [--report-role NAME]";

enum ExitCode { kUploaded = 0, kRunsLeft = 1, kUsageError = 2 };
enum InitExit { kReady = 0, kNotReady = 1 };

QString plainText(QString text) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return text.remove(tags).trimmed();
}

// Offers one spool to the database; the runs it still holds afterwards (-1: unreadable).
int upload(const DbTarget &database, const QString &spoolPath) {
    RecordWriter writer(database, spoolPath, 0);
    QObject::connect(&writer, &RecordWriter::note,
                     [](const QString &text) { cli::out() << plainText(text) << "\n"; });
    writer.uploadSpool();
    const int left = writer.spooledRuns();
    if (left != 0) {
        cli::err() << "mvxctl records: " << (left < 0 ? QStringLiteral("cannot read") : QString::number(left))
                   << (left < 0 ? QStringLiteral(" ") : QStringLiteral(" run(s) left in "))
                   << QDir::toNativeSeparators(spoolPath) << "\n";
    }
    return left;
}

int runUpload(const QStringList &args) {
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("upload"), QStringLiteral("Upload the spooled runs."));
    parser.addOption({QStringLiteral("db"),
                      QStringLiteral("Results database (default: sqlite in the log folder)."),
                      QStringLiteral("URL")});
    parser.addOption({QStringLiteral("log-dir"),
                      QStringLiteral("Log folder whose spool is uploaded (default: log)."),
                      QStringLiteral("D"), QStringLiteral("log")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return kUsageError;
    }
    DbTarget database;
    QString error;
    if (parser.isSet(QStringLiteral("db")) &&
        !DbTarget::parse(parser.value(QStringLiteral("db")), &database, &error)) {
        cli::err() << "mvxctl records: " << error << "\n";
        return kUsageError;
    }
    const RecordsTarget target =
        RecordsTarget::inLogFolder(parser.value(QStringLiteral("log-dir")), database);
    // The log folder's spool and the fallback folder's one for this database.
    const QString folderSpool =
        QDir(parser.value(QStringLiteral("log-dir"))).filePath(QStringLiteral("mvx-records-spool.sqlite"));
    bool left = false;
    for (const QString &spool : {folderSpool, RecordsTarget::fallbackSpool(target.database)}) {
        if (QFile::exists(spool)) {
            left = upload(target.database, spool) != 0 || left;
        }
    }
    cli::out().flush();
    return left ? kRunsLeft : kUploaded;
}

// An administrator's step: the schema, brought up to date, and on a server the rights of the
// station and report roles.
int runInit(const QStringList &args) {
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("init"),
                                 QStringLiteral("Create the results schema and the roles' rights."));
    parser.addOption({QStringLiteral("db"), QStringLiteral("Results database."), QStringLiteral("URL")});
    const RecordRoles defaults;
    parser.addOption({QStringLiteral("station-role"),
                      QStringLiteral("Role whose members record runs (default: %1).").arg(defaults.station),
                      QStringLiteral("NAME"), defaults.station});
    parser.addOption({QStringLiteral("report-role"),
                      QStringLiteral("Role whose members read reports (default: %1).").arg(defaults.report),
                      QStringLiteral("NAME"), defaults.report});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return kUsageError;
    }
    DbTarget database;
    QString error;
    const RecordRoles roles{parser.value(QStringLiteral("station-role")),
                            parser.value(QStringLiteral("report-role"))};
    if (!parser.isSet(QStringLiteral("db"))) {
        error = QStringLiteral("--db URL is needed");
    }
    if (!error.isEmpty() || !DbTarget::parse(parser.value(QStringLiteral("db")), &database, &error) ||
        !roles.check(&error)) {
        cli::err() << "mvxctl records: " << error << "\n";
        return kUsageError;
    }
    ResultsDb db(database, ResultsDb::Access::Admin);
    if (!db.open(&error) || (database.isPostgres() && !roles.grant(db, &error))) {
        cli::err() << "mvxctl records: " << database.url() << ": " << error << "\n";
        return kNotReady;
    }
    cli::out() << database.url() << " holds the results schema, version " << ResultsDb::kSchemaVersion
               << "\n";
    if (database.isPostgres()) {
        cli::out() << "stations: members of " << roles.station << " (read, insert and complete runs)\n"
                   << "reports: members of " << roles.report << " (read only)\n";
    } else {
        cli::out() << "an SQLite file has no roles: its file permissions say who may write\n";
    }
    cli::out().flush();
    return kReady;
}

}  // namespace

int runRecords(const QStringList &args) {
    const bool help = args.value(0) == QLatin1String("--help") || args.value(0) == QLatin1String("-h");
    if (args.value(0) == QLatin1String("upload") || help) {
        return runUpload(args);
    }
    if (args.value(0) == QLatin1String("init")) {
        return runInit(args);
    }
    cli::err() << "mvxctl records: "
               << (args.isEmpty() ? QStringLiteral("a subcommand is needed")
                                  : QStringLiteral("unknown subcommand '%1'").arg(args[0]))
               << "\nusage: mvxctl " << kUsage << "\n";
    return kUsageError;
}
