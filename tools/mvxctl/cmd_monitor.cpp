#include <unistd.h>
#include <QDateTime>
#include <QFile>

#include "app/rotatingdatalog.h"
#include "cli.h"
#include "comm/modbus.h"
#include "comm/reconnectbackoff.h"
#include "comm/threadhandoff.h"
#include "commands.h"
#include "drivelink.h"
#include "map/overviewregisters.h"
#include "map/presentation.h"
#include "stopsignals.h"
#include "views/plotdata/csvwriter.h"
#include "views/plotdata/datalogreader.h"
#include "views/plotdata/otherdrives.h"

namespace {

const char kUsage[] =
    "monitor --port P --map M [--address A[,B...]] [--interval MS] [--log-dir D] [--csv] [--duration S] "
    "[--max-size MB] [--speed S] [--framing F]";
// How long the end waits for the worker to close the line before the footer is written.
constexpr int kCloseWaitMs = 2000;

enum ExitCode { kDone = 0, kCannotRun = 1, kBadArguments = 2 };

struct Options {
    drivelink::LineOptions line;
    QVector<int> watched;  // the other drives of --address
    bool fastPolling = false;
    QString mapPath;
    QString logDir;
    bool writeLog = true;
    bool csv = false;
    int durationS = 0;
    qint64 maxBytes = RotatingDataLog::kDefaultLimitBytes;
};

bool parseOptions(const QStringList &args, Options *options, QString *error) {
    QCommandLineParser parser;
    drivelink::addLineOptions(parser, true);
    parser.addOption({QStringLiteral("map"), QStringLiteral("Register map."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("interval"),
                      QStringLiteral("Polling time in ms, as the window's: input and holding registers "
                                     "are read on alternate ticks (default: the line's shortest); 0: fast "
                                     "polling, each request as soon as the previous answer is in."),
                      QStringLiteral("MS")});
    parser.addOption({QStringLiteral("log-dir"),
                      QStringLiteral("Folder of the data logs (default: log, unless only --csv is given)."),
                      QStringLiteral("D")});
    parser.addOption({QStringLiteral("csv"), QStringLiteral("CSV rows on standard output.")});
    parser.addOption({QStringLiteral("duration"), QStringLiteral("Stop after S seconds (default: never)."),
                      QStringLiteral("S"), QStringLiteral("0")});
    parser.addOption({QStringLiteral("max-size"),
                      QStringLiteral("Start a new data log when one reaches MB megabytes (default 100)."),
                      QStringLiteral("MB"), QStringLiteral("100")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        *error = QStringLiteral("bad arguments");
        return false;
    }
    if (!drivelink::lineOptions(parser, &options->line, error, &options->watched)) {
        return false;
    }
    options->mapPath = parser.value(QStringLiteral("map"));
    options->csv = parser.isSet(QStringLiteral("csv"));
    options->writeLog = parser.isSet(QStringLiteral("log-dir")) || !options->csv;
    options->logDir = parser.isSet(QStringLiteral("log-dir")) ? parser.value(QStringLiteral("log-dir"))
                                                              : QStringLiteral("log");
    int megabytes = 0;
    const bool intervalGiven = parser.isSet(QStringLiteral("interval"));
    if ((intervalGiven &&
         (!drivelink::parseNumber(parser.value(QStringLiteral("interval")), &options->line.pollTimeMs) ||
          options->line.pollTimeMs < 0)) ||
        !drivelink::parseNumber(parser.value(QStringLiteral("duration")), &options->durationS) ||
        options->durationS < 0 ||
        !drivelink::parseNumber(parser.value(QStringLiteral("max-size")), &megabytes) || megabytes < 1) {
        *error = QStringLiteral("--interval, --duration and --max-size take whole positive numbers");
        return false;
    }
    options->maxBytes = qint64(megabytes) * 1024 * 1024;
    options->fastPolling = intervalGiven && options->line.pollTimeMs == 0;
    if (options->mapPath.isEmpty()) {
        *error = QStringLiteral("--map is required");
        return false;
    }
    return true;
}

// The CSV on standard output: the data log's columns (the other drives' last), read back from
// its line as log2csv reads the file, so that both give the same rows; a lost line is a row
// without values.
class CsvRows {
  public:
    CsvRows(const QVector<input_reg_t *> &inputs, const plotdata::OtherDrives &others) : m_csv(&m_out) {
        // Straight to the descriptor: each row reaches a pipe (a journal, a script) at once.
        m_out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
        const QStringList names =
            (DataLog::nameHeader(inputs, {}) + others.nameEntries()).split(QLatin1Char(';')).mid(1);
        const QStringList units =
            (DataLog::unitHeader(inputs, {}) + others.unitEntries()).split(QLatin1Char(';')).mid(1);
        QStringList titles;
        for (int i = 0; i < names.size(); ++i) {
            titles << plotdata::CsvWriter::columnTitle(names.at(i), units.value(i));
        }
        m_columns = names.size();
        m_csv.writeHeader(titles);
    }

    void row(qint64 nowMs, const QString &dataLine) {
        QVector<double> values(m_columns, qQNaN());
        const QList<QByteArray> cells = dataLine.toUtf8().split(';');
        for (int i = 0; i < m_columns && i + 1 < cells.size(); ++i) {
            values[i] = plotdata::DataLogReader::parseValue(cells.at(i + 1));
        }
        if (m_connectMs == 0) {
            m_connectMs = nowMs;
        }
        m_csv.writeRow(nowMs, m_connectMs, values.constData(), values.size());
    }
    void gap(qint64 nowMs) { row(nowMs, QString()); }

  private:
    QFile m_out;
    plotdata::CsvWriter m_csv;
    int m_columns = 0;
    qint64 m_connectMs = 0;
};

// What the monitor hears from the worker, in this thread.
struct Recording {
    RotatingDataLog *log = nullptr;
    CsvRows *csv = nullptr;
    QVector<input_reg_t *> inputs;
    const plotdata::OtherDrives *others = nullptr;
    bool stopping = false;
    bool open = false;
    int disconnects = 0;
    int shownAttempt = 0;
    qint64 samples = 0;

    void record(const QVector<uint16_t> &words) {
        QString line;
        presentation::applyInputWords(inputs, words, &line);
        ++samples;
        if (log) {
            log->writeValues(line);
        }
        if (csv) {
            csv->row(QDateTime::currentMSecsSinceEpoch(), line + others->valueEntries());
        }
    }
    void lost() {
        ++disconnects;
        const bool wasOpen = open;
        open = false;
        if (!wasOpen || stopping) {
            return;
        }
        if (log) {
            log->writeGap();
        }
        if (csv) {
            csv->gap(QDateTime::currentMSecsSinceEpoch());
        }
    }
};

void wire(Modbus &worker, QObject &context, Recording *rec, plotdata::OtherDrives *others) {
    threadhandoff::connectQueued(&worker, &Modbus::recv_input_registers, &context,
                                 [rec](int, int start, const QVector<uint16_t> &words) {
                                     if (start == 0) {
                                         rec->record(words);
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::overviewReading, &context,
                                 [others](const OverviewReading &reading) { others->note(reading); });
    threadhandoff::connectQueued(&worker, &Modbus::com_disconnected, &context, [rec] { rec->lost(); });
    threadhandoff::connectQueued(&worker, &Modbus::com_connected, &context, [rec] {
        rec->open = true;
        rec->shownAttempt = 0;
    });
    // Stamped lines are the ones worth a journal line: the loss and the reconnection.
    threadhandoff::connectQueued(&worker, &Modbus::send_status, &context,
                                 [](bool stamped, bool, bool, const QString &text) {
                                     if (stamped) {
                                         cli::err() << "mvxctl monitor: " << text << "\n";
                                         cli::err().flush();
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::reconnecting, &context, [rec](int attempt, int seconds) {
        if (attempt != rec->shownAttempt && !rec->stopping) {
            rec->shownAttempt = attempt;
            cli::err() << "mvxctl monitor: " << ReconnectBackoff::statusText(attempt, seconds) << "\n";
            cli::err().flush();
        }
    });
}

}  // namespace

// Polls a drive (and reads the overview of the other drives listed) until stopped (SIGINT, SIGTERM,
// --duration), recording every input reply in data logs and/or CSV rows, and opening a lost line again by
// itself.
int runMonitor(const QStringList &args) {
    drivelink::quietDiagnostics();
    Options options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        cli::err() << "mvxctl monitor: " << error << "\nusage: mvxctl " << kUsage << "\n";
        return kBadArguments;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(options.mapPath, QStringLiteral("monitor"), &loaded)) {
        return kCannotRun;
    }
    StopSignals stop;
    // The other drives as the window watches them: their overview registers, last values kept.
    const QVector<int> overview = overviewregisters::positions(loaded.inputs);
    plotdata::OtherDrives others;
    others.configure(loaded.inputs, overview, options.watched, options.line.address);
    std::unique_ptr<RotatingDataLog> log;
    if (options.writeLog) {
        log = std::make_unique<RotatingDataLog>(options.logDir, loaded.inputs, options.maxBytes);
        log->setOtherDrives(&others);
        if (!log->start()) {
            cli::err() << "mvxctl monitor: cannot create a data log in " << options.logDir << "\n";
            return kCannotRun;
        }
    }
    std::unique_ptr<CsvRows> csv = options.csv ? std::make_unique<CsvRows>(loaded.inputs, others) : nullptr;
    drivelink::Session session;
    Modbus &worker = session.worker();
    worker.setInputList(loaded.inputs);
    worker.setHoldingList(loaded.holdings);
    worker.setAutoReconnect(true);
    worker.setOverviewRegisters(overview);
    worker.setPollList(options.watched);
    worker.setFastPolling(options.fastPolling);
    Recording rec{log.get(), csv.get(), loaded.inputs, &others};
    wire(worker, session.context(), &rec, &others);
    if (!session.open(options.line, loaded.inputs.size(), loaded.holdings.size(), &error)) {
        cli::err() << "mvxctl monitor: " << error << "\n";
        if (log) {
            log->finish();
        }
        return kCannotRun;
    }
    drivelink::waitFor([&stop] { return stop.stopAsked(); },
                       options.durationS > 0 ? options.durationS * 1000 : -1);
    // Replies already on their way are recorded; the worker's answer to the close comes after them.
    const int disconnects = rec.disconnects;
    rec.stopping = true;
    worker.disconnectPort();
    drivelink::waitFor([&rec, disconnects] { return rec.disconnects > disconnects; }, kCloseWaitMs);
    if (log) {
        log->finish();
        cli::err() << "mvxctl monitor: " << rec.samples << " samples in "
                   << log->files().join(QLatin1String(", ")) << "\n";
    }
    return kDone;
}
