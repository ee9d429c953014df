#include <QFile>
#include <QFileInfo>
#include <cmath>

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

// Columns whose every value reads as base 2 ("101", "1111"): without the map they may be bin
// registers read as decimal numbers, and the user is told how to read them right.
class BinaryLooking {
  public:
    explicit BinaryLooking(int columns) : m_possible(columns, true), m_wide(columns, false) {}

    void see(const QVector<double> &values) {
        for (int c = 0; c < values.size(); ++c) {
            if (m_possible.at(c) && !std::isnan(values.at(c))) {
                m_possible[c] = onlyZerosAndOnes(values.at(c));
                m_wide[c] = m_wide.at(c) || values.at(c) >= 10;
            }
        }
    }

    QStringList columns(const QStringList &names) const {
        QStringList found;
        for (int c = 0; c < names.size() && c < m_possible.size(); ++c) {
            if (m_possible.at(c) && m_wide.at(c)) {
                found << names.at(c);
            }
        }
        return found;
    }

  private:
    static bool onlyZerosAndOnes(double value) {
        if (value < 0 || value > 1.2e16 || value != std::floor(value)) {
            return false;
        }
        for (auto digits = static_cast<unsigned long long>(value); digits > 0; digits /= 10) {
            if (digits % 10 > 1) {
                return false;
            }
        }
        return true;
    }

    QVector<bool> m_possible;
    QVector<bool> m_wide;  // a value of more than one digit seen
};

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
    const bool withMap = parser.isSet(QStringLiteral("map"));
    BinaryLooking binaryLooking(withMap ? 0 : columns.size());
    reader.readRows(
        columns,
        [&](qint64 elapsedMs, const QVector<double> &values) {
            csv.writeRow(startMs + elapsedMs, startMs, values.constData(), values.size());
            if (!withMap) {
                binaryLooking.see(values);
            }
        },
        {}, &error);
    out.close();
    if (!csv.ok()) {
        cli::err() << "mvxctl log2csv: writing failed: " << out.errorString() << "\n";
        return 1;
    }
    const QStringList binary = binaryLooking.columns(reader.names());
    if (!binary.isEmpty()) {
        cli::err() << "mvxctl log2csv: " << binary.join(QStringLiteral(", "))
                   << " hold only the digits 0 and 1: if they are bin registers, give --map to read them "
                      "in base 2\n";
    }
    if (reader.skippedLines() > 0) {
        cli::err() << "mvxctl log2csv: " << reader.skippedSummary() << "\n";
    }
    if (toFile) {
        cli::err() << "mvxctl log2csv: wrote " << QFileInfo(paths.at(1)).fileName() << "\n";
    }
    return 0;
}
