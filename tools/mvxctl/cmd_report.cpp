#include <QDate>
#include <QFileInfo>
#include <QJsonDocument>

#include "cli.h"
#include "commands.h"
#include "records/resultsdb.h"
#include "records/runreport.h"

namespace {

const char kUsage[] =
    "report [--db URL] [--from DATE] [--to DATE] [--station S] [--json|--csv]\n"
    "       mvxctl report [--db URL] --serial SN [--json]";

enum ExitCode { kDone = 0, kNoDatabase = 1, kUsageError = 2 };

enum class Format { Text, Json, Csv };

struct Options {
    DbTarget db;
    ReportFilter filter;
    QString serial;
    bool bySerial = false;
    Format format = Format::Text;
};

// yyyy-MM-dd exactly: the days are stored so, and a longer text would match nothing.
bool validDate(const QString &text) {
    return text.isEmpty() ||
           (text.size() == 10 && QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid());
}

bool parseOptions(const QStringList &args, Options *o, QString *error) {
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("db"),
                      QStringLiteral("Results database, sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME "
                                     "(default: sqlite:log/mvx-records.sqlite)."),
                      QStringLiteral("URL"), QStringLiteral("sqlite:log/mvx-records.sqlite")});
    parser.addOption({QStringLiteral("from"),
                      QStringLiteral("First day, yyyy-MM-dd (default: the first run)."),
                      QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("to"), QStringLiteral("Last day, yyyy-MM-dd (default: the last run)."),
                      QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("station"),
                      QStringLiteral("Only this station (default: every station)."), QStringLiteral("S")});
    parser.addOption({QStringLiteral("serial"),
                      QStringLiteral("History of one board instead of the summary."), QStringLiteral("SN")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("JSON output (default: a text table).")});
    parser.addOption({QStringLiteral("csv"), QStringLiteral("CSV output.")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        error->clear();  // said with the usage already
        return false;
    }
    if (!DbTarget::parse(parser.value(QStringLiteral("db")), &o->db, error)) {
        return false;
    }
    o->filter = {parser.value(QStringLiteral("from")), parser.value(QStringLiteral("to")),
                 parser.value(QStringLiteral("station"))};
    for (const QString &date : {o->filter.from, o->filter.to}) {
        if (!validDate(date)) {
            *error = QStringLiteral("'%1' is not a date: write yyyy-MM-dd, as 2026-03-02").arg(date);
            return false;
        }
    }
    if (!o->filter.from.isEmpty() && !o->filter.to.isEmpty() && o->filter.from > o->filter.to) {
        *error = QStringLiteral("--from %1 is after --to %2").arg(o->filter.from, o->filter.to);
        return false;
    }
    o->bySerial = parser.isSet(QStringLiteral("serial"));
    o->serial = parser.value(QStringLiteral("serial"));
    if (parser.isSet(QStringLiteral("json")) && parser.isSet(QStringLiteral("csv"))) {
        *error = QStringLiteral("choose --json or --csv");
        return false;
    }
    o->format = parser.isSet(QStringLiteral("json"))  ? Format::Json
                : parser.isSet(QStringLiteral("csv")) ? Format::Csv
                                                      : Format::Text;
    if (o->bySerial && o->format == Format::Csv) {
        *error = QStringLiteral("--serial prints text or --json");
        return false;
    }
    return true;
}

void printJson(const QJsonObject &object) {
    cli::out() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << "\n";
}

int printHistory(const ResultsDb &db, const Options &o) {
    QVector<BoardRun> runs;
    QString error;
    if (!runreport::boardHistory(db.database(), o.serial, &runs, &error)) {
        cli::err() << "mvxctl report: " << error << "\n";
        return kNoDatabase;
    }
    if (o.format == Format::Json) {
        printJson(runreport::historyJson(o.serial, runs));
    } else {
        cli::out() << runreport::historyText(o.serial, runs);
    }
    return kDone;
}

int printSummary(const ResultsDb &db, const Options &o) {
    ReportSummary summary;
    QString error;
    if (!runreport::summarize(db.database(), o.filter, &summary, &error)) {
        cli::err() << "mvxctl report: " << error << "\n";
        return kNoDatabase;
    }
    switch (o.format) {
        case Format::Json:
            printJson(runreport::summaryJson(summary));
            break;
        case Format::Csv:
            cli::out() << runreport::summaryCsv(summary);
            break;
        case Format::Text:
            cli::out() << runreport::summaryText(summary);
            break;
    }
    return kDone;
}

}  // namespace

int runReport(const QStringList &args) {
    Options options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        if (!error.isEmpty()) {
            cli::err() << "mvxctl report: " << error << "\nusage: mvxctl " << kUsage << "\n";
        }
        return kUsageError;
    }
    if (!options.db.isPostgres() && !QFileInfo::exists(options.db.path)) {
        cli::err() << "mvxctl report: no results database at " << options.db.path << "\n";
        return kNoDatabase;
    }
    // Read only: a report changes nothing, and a file that is not a results database is refused.
    ResultsDb db(options.db, ResultsDb::Access::ReadOnly);
    if (!db.open(&error)) {
        cli::err() << "mvxctl report: cannot open " << options.db.url() << ": " << error << "\n";
        return kNoDatabase;
    }
    const int code = options.bySerial ? printHistory(db, options) : printSummary(db, options);
    cli::out().flush();
    return code;
}
