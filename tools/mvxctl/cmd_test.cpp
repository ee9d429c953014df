#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>
#include <atomic>
#include <csignal>

#include "app/logger.h"
#include "cli.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "commands.h"
#include "drivelink.h"
#include "map/numbertext.h"
#include "map/presentation.h"
#include "map/xmlmap.h"
#include "records/runrecorder.h"
#include "test/test_engine.h"
#include "test/test_logs.h"
#include "test/test_validation.h"
#include "test/xml_test_reader.h"

namespace {

const char kUsage[] =
    "test --port P --map M --test T [--serial S] [--log-dir D] [--db URL] [--station NAME] [--address A] "
    "[--speed S] [--framing F]";
constexpr int kAnswerTimeoutMs = 5000;
// How long the end of a run may wait for its record to be written (or spooled), after the
// verdict is printed.
constexpr int kRecordWaitMs = 5000;

enum ExitCode { kPassed = 0, kFailed = 1, kCannotRun = 2, kStopped = 3, kLineLost = 4, kLogsNotWritten = 5 };

std::atomic<bool> g_interrupted{false};

void onInterrupt(int) {
    g_interrupted = true;
}

QString plainText(QString text) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return text.remove(tags).trimmed();
}

struct Options {
    drivelink::LineOptions line;
    QString mapPath;
    QString testPath;
    QString serial;
    QString logDir;
    RecordsTarget records;
};

bool parseOptions(const QStringList &args, Options *options, QString *error) {
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption(
        {QStringLiteral("map"), QStringLiteral("Register map. Required."), QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("test"), QStringLiteral("Test-definition file. Required."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("serial"),
                      QStringLiteral("Serial number of the board; required when the test checks one."),
                      QStringLiteral("S")});
    parser.addOption({QStringLiteral("log-dir"), QStringLiteral("Folder for the test logs (default: log)."),
                      QStringLiteral("D"), QStringLiteral("log")});
    parser.addOption({QStringLiteral("db"),
                      QStringLiteral("Results database: sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME "
                                     "(default: sqlite in the log folder)."),
                      QStringLiteral("URL")});
    parser.addOption({QStringLiteral("station"),
                      QStringLiteral("Station name recorded with the run (default: "
                                     "host name)."),
                      QStringLiteral("NAME")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        error->clear();  // said with the usage already
        return false;
    }
    options->mapPath = parser.value(QStringLiteral("map"));
    options->testPath = parser.value(QStringLiteral("test"));
    options->serial = parser.value(QStringLiteral("serial"));
    options->logDir = parser.value(QStringLiteral("log-dir"));
    if (!drivelink::lineOptions(parser, &options->line, error)) {
        return false;
    }
    DbTarget database;
    if (parser.isSet(QStringLiteral("db")) &&
        !DbTarget::parse(parser.value(QStringLiteral("db")), &database, error)) {
        return false;
    }
    options->records =
        RecordsTarget::inLogFolder(options->logDir, database, parser.value(QStringLiteral("station")));
    if (options->mapPath.isEmpty() || options->testPath.isEmpty()) {
        *error = QStringLiteral("--map and --test are required");
        return false;
    }
    return true;
}

// Everything the run hears from the worker, in this thread.
struct RunState {
    bool haveInputs = false;
    bool haveHoldings = false;
    bool finished = false;
    QString portLost;  // the worker's "Port lost: ..." line
};

void printResult(int num, int tipo, const QString &txt, float res, float min, float max, int ok) {
    const QString verdict = ok > 0 ? QStringLiteral("PASS") : QStringLiteral("FAIL");
    cli::out() << QStringLiteral("step %1 [%2] %3: %4 (%5 .. %6) %7\n")
                      .arg(num + 1)
                      .arg(tipo)
                      .arg(txt, shortestFloatText(res), shortestFloatText(min), shortestFloatText(max),
                           verdict);
    cli::out().flush();
}

void wireRun(Modbus &worker, QObject &context, RunState *state, TestLogs *logs, RunRecorder *recorder,
             const cli::LoadedMap &map) {
    const QVector<input_reg_t *> inputs = map.inputs;
    const QVector<holding_t *> holdings = map.holdings;
    QObject::connect(recorder, &RunRecorder::note, &context, [](const QString &text) {
        cli::out() << plainText(text) << "\n";
        cli::out().flush();
    });
    threadhandoff::connectQueued(&worker, &Modbus::send_status, &context,
                                 [state](bool, bool, bool toBrowser, const QString &text) {
                                     if (text.startsWith(QLatin1String("Port lost:"))) {
                                         state->portLost = text;
                                     }
                                     if (toBrowser && !plainText(text).isEmpty()) {
                                         cli::out() << "  " << plainText(text) << "\n";
                                         cli::out().flush();
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::testResult, &context,
                                 [logs, recorder](int num, int tipo, const QString &txt, float res, float min,
                                                  float max, int ok, bool reg) {
                                     logs->stepResult(num, tipo, txt, res, min, max, ok, reg);
                                     recorder->step(num, tipo, txt, res, min, max, ok, reg);
                                     if (reg && ok != 0) {
                                         printResult(num, tipo, txt, res, min, max, ok);
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::test_stop, &context, [state] { state->finished = true; });
    threadhandoff::connectQueued(&worker, &Modbus::recv_input_registers, &context,
                                 [state, inputs](int, int start, const QVector<uint16_t> &words) {
                                     // The first reply identifies the drive in the run's record.
                                     if (start == 0 && !state->haveInputs) {
                                         presentation::applyInputWords(inputs, words);
                                         state->haveInputs = true;
                                     }
                                 });
    threadhandoff::connectQueued(&worker, &Modbus::recv_holding_registers, &context,
                                 [state, holdings](int start, const QVector<uint16_t> &words) {
                                     if (start == 0 && words.size() == holdings.size()) {
                                         presentation::applyHoldingWords(holdings, words);
                                         state->haveHoldings = true;
                                     }
                                 });
}

// Runs the loaded test to its end; SIGINT stops it.
int runLoadedTest(TestEngine *engine, RunState *state) {
    g_interrupted = false;
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    bool stopAsked = false;
    engine->startTest();
    drivelink::waitFor(
        [&] {
            if (g_interrupted && !stopAsked) {
                stopAsked = true;
                cli::err() << "mvxctl test: stopping\n";
                engine->stopTest();
            }
            return state->finished;
        },
        -1);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return engine->isTestOK();
}

// The run's record is written (or spooled) before the process ends; its note is printed.
void finishRecord(RunRecorder &recorder) {
    if (!recorder.waitWritten(kRecordWaitMs)) {
        cli::err() << "mvxctl test: the run's record is still being written to "
                   << recorder.target().database.url() << "\n";
    }
    QCoreApplication::processEvents();
}

// A board that passed without its logs is not a pass a station may take silently.
int exitFor(int result, bool lineLost, bool logsWritten) {
    if (result > 0) {
        return logsWritten ? kPassed : kLogsNotWritten;
    }
    if (result < 0) {
        return kFailed;
    }
    return lineLost ? kLineLost : kStopped;
}

// The engine refuses a file only once the drive has answered, among the run's messages: the
// file is checked first, without the line, and the reasons go to stderr.
bool testFileCanRun(const QString &path, int inputCount, int holdingCount) {
    TestDefinition def;
    xml_test_reader reader;
    QStringList reasons;
    if (reader.readTestFile(path, def)) {
        reasons = validateTestDefinition(def, inputCount, holdingCount);
    } else {
        for (const ReadWarning &w : reader.warnings()) {
            reasons << w.toString();
        }
    }
    if (reasons.isEmpty()) {
        return true;
    }
    cli::err() << "mvxctl test: the test file '" << path << "' cannot be run:\n";
    for (const QString &reason : reasons) {
        cli::err() << "  " << reason << "\n";
    }
    cli::err() << "El fichero de test no pudo ser cargado.\n";
    return false;
}

// Keeps the engine in the worker's poll cycle for as long as it exists.
class InstalledEngine {
  public:
    explicit InstalledEngine(Modbus &worker) : m_engine(&worker), m_worker(worker) {
        worker.setTickHook(&m_engine);
    }
    ~InstalledEngine() { m_worker.setTickHook(nullptr); }
    TestEngine *get() { return &m_engine; }

  private:
    TestEngine m_engine;
    Modbus &m_worker;
};

}  // namespace

int runTest(const QStringList &args) {
    drivelink::quietDiagnostics();
    Options options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        if (!error.isEmpty()) {
            cli::err() << "mvxctl test: " << error << "\nusage: mvxctl " << kUsage << "\n";
        }
        return kCannotRun;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(options.mapPath, QStringLiteral("test"), &loaded)) {
        return kCannotRun;
    }
    if (!QFileInfo(options.testPath).isFile()) {
        cli::err() << "mvxctl test: cannot open test file '" << options.testPath << "'\n";
        return kCannotRun;
    }
    const QVector<input_reg_t *> &inputs = loaded.inputs;
    const QVector<holding_t *> &holdings = loaded.holdings;
    if (!testFileCanRun(options.testPath, inputs.size(), holdings.size())) {
        return kCannotRun;
    }

    drivelink::Session session;
    Modbus &worker = session.worker();
    worker.setInputList(inputs);
    worker.setHoldingList(holdings);
    QString why;
    bool logsWritten = RecordsTarget::folderUsable(options.logDir, &why);
    if (!logsWritten) {
        cli::err() << "mvxctl test: the log folder '" << options.logDir << "' cannot be used (" << why
                   << "): no logs are written; the run is recorded in " << options.records.database.url()
                   << " or in the spool " << QDir::toNativeSeparators(options.records.spoolPath) << "\n";
    }
    logger full, result, summary;
    for (logger *log : {&full, &result, &summary}) {
        QObject::connect(log, &logger::writeFailed, &session.context(),
                         [&logsWritten](const QString &message) {
                             logsWritten = false;
                             cli::err() << "mvxctl test: " << message << "\n";
                         });
    }
    TestLogs logs(&full, &result, &summary);
    RunState state;
    RunRecorder recorder(options.records);
    wireRun(worker, session.context(), &state, &logs, &recorder, loaded);
    InstalledEngine installed(worker);
    if (!session.open(options.line, inputs.size(), holdings.size(), &error)) {
        cli::err() << "mvxctl test: " << error << "\n";
        return kCannotRun;
    }
    if (!drivelink::waitFor([&state] { return state.haveInputs && state.haveHoldings; }, kAnswerTimeoutMs)) {
        cli::err() << "mvxctl test: no answer from the drive at address " << options.line.address << " on "
                   << options.line.port << "\n";
        return kCannotRun;
    }
    TestEngine *engine = installed.get();
    if (!engine->loadTest(options.testPath)) {
        drivelink::waitFor([&state] { return state.finished; }, 1000);  // let its messages through
        cli::err() << "mvxctl test: the test file cannot be run\n";
        return kCannotRun;
    }
    if (engine->serialRequired() && options.serial.isEmpty()) {
        cli::err() << "mvxctl test: this test checks a serial number: give it with --serial\n";
        return kCannotRun;
    }
    // The logs are written for every test, with a serial-number step or without.
    const TestLogs::Flags flags{engine->doFullLog(), engine->doResultLog(), engine->doSummaryLog()};
    if (logsWritten) {
        logs.begin(options.logDir, flags, options.serial, nullptr);
        for (const auto &[wanted, log] : {std::pair<bool, logger *>{flags.full, &full},
                                          {flags.result, &result},
                                          {flags.summary, &summary}}) {
            if (wanted && !log->isOpen()) {
                logsWritten = false;
                cli::err() << "mvxctl test: cannot create a log in " << options.logDir << "\n";
            }
        }
    }
    if (engine->serialRequired()) {
        cli::out() << "Número de serie: " << options.serial << "\n";
    }
    engine->setSerial(options.serial);
    recorder.begin(RunContext::forDrive(options.testPath, options.mapPath, inputs), options.serial);
    const int outcome = runLoadedTest(engine, &state);
    const bool lineLost = engine->endedByLineLoss();
    const QDateTime endedAt = QDateTime::currentDateTime();
    const QString reason = lineLost ? state.portLost : QString();
    if (!lineLost) {
        // The holding listing of the result log shows the values the drive has now.
        drivelink::waitFor([] { return false; }, 300);
    }
    logs.finish(outcome, holdings, !reason.isEmpty(), reason, endedAt, options.serial);
    recorder.finish(outcome, reason, holdings);
    // The verdict first; then the record, for a bounded time (what is not written by then is
    // spooled when the recorder ends).
    cli::out() << "Resultado: " << TestLogs::resultWord(outcome) << "\n";
    cli::out().flush();
    finishRecord(recorder);
    if (lineLost) {
        cli::err() << "mvxctl test: the line was lost during the test\n";
    }
    return exitFor(outcome, lineLost, logsWritten);
}
