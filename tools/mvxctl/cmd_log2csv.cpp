#include <QFile>
#include <QFileInfo>

#include "cli.h"
#include "commands.h"
#include "views/plotdata/csvwriter.h"
#include "views/plotdata/datalogreader.h"

namespace {

const char kUsage[] = "log2csv LOG [OUT] [--map FILE]";

// The column kinds the map gives; all numbers without a map.
bool readColumnKinds(const QString &mapPath, plotdata::DataLogReader *reader) {
    if (mapPath.isEmpty()) {
        return true;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(mapPath, QStringLiteral("log2csv"), &loaded)) {
        return false;
    }
    reader->setColumnKinds(plotdata::DataLogReader::kindsFromMap(reader->names(), loaded.inputs));
    return true;
}

}  // namespace

// Converts a data log to CSV (every column, names and units in the header) on OUT or stdout.
int runLog2Csv(const QStringList &args) {
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral("Data log written by the program."));
    parser.addPositionalArgument(QStringLiteral("OUT"),
                                 QStringLiteral("CSV file (default: standard output)."));
    parser.addOption({QStringLiteral("map"),
                      QStringLiteral("The register map the log was written with: its bin registers are read "
                                     "in base 2 (default: no map, every column decimal or 0x hexadecimal)."),
                      QStringLiteral("FILE")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty() || paths.size() > 2) {
        cli::err() << "usage: mvxctl " << kUsage << "\n";
        return 2;
    }
    plotdata::DataLogReader reader;
    QString error;
    if (!reader.open(paths.at(0), &error)) {
        cli::err() << "mvxctl log2csv: " << error << "\n";
        return 1;
    }
    if (!readColumnKinds(parser.value(QStringLiteral("map")), &reader)) {
        return 1;
    }
    QFile out;
    const bool toFile = paths.size() == 2;
    const bool opened =
        toFile ? (out.setFileName(paths.at(1)), out.open(QIODevice::WriteOnly | QIODevice::Truncate))
               : out.open(stdout, QIODevice::WriteOnly);
    if (!opened) {
        cli::err() << "mvxctl log2csv: cannot write " << paths.value(1) << ": " << out.errorString() << "\n";
        return 1;
    }
    QStringList titles;
    QVector<int> columns;
    for (int i = 0; i < reader.names().size(); ++i) {
        titles << plotdata::CsvWriter::columnTitle(reader.names().at(i), reader.units().at(i));
        columns << i;
    }
    plotdata::CsvWriter csv(&out);
    csv.writeHeader(titles);
    const qint64 startMs = reader.startTime().toMSecsSinceEpoch();
    reader.readRows(
        columns,
        [&](qint64 elapsedMs, const QVector<double> &values) {
            csv.writeRow(startMs + elapsedMs, startMs, values.constData(), values.size());
        },
        {}, &error);
    out.close();
    if (!csv.ok()) {
        cli::err() << "mvxctl log2csv: writing failed: " << out.errorString() << "\n";
        return 1;
    }
    if (reader.skippedLines() > 0) {
        cli::err() << "mvxctl log2csv: " << reader.skippedSummary() << "\n";
    }
    if (toFile) {
        cli::err() << "mvxctl log2csv: wrote " << QFileInfo(paths.at(1)).fileName() << "\n";
    }
    return 0;
}
