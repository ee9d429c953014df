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
#include "test/test_engine.h"
#include "test/test_logs.h"

namespace {

const char kUsage[] =
    "test --port P --map M --test T [--serial S] [--log-dir D] [--address A] [--speed S] [--framing F]";
constexpr int kAnswerTimeoutMs = 5000;

enum ExitCode { kPassed = 0, kFailed = 1, kCannotRun = 2, kStopped = 3 };

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
};

bool parseOptions(const QStringList &args, Options *options, QString *error) {
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption({QStringLiteral("map"), QStringLiteral("Register map."), QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("test"), QStringLiteral("Test-definition file."), QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("serial"), QStringLiteral("Serial number of the board."), QStringLiteral("S")});
    parser.addOption({QStringLiteral("log-dir"), QStringLiteral("Folder for the test logs."),
                      QStringLiteral("D"), QStringLiteral("log")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        *error = QStringLiteral("bad arguments");
        return false;
    }
    options->mapPath = parser.value(QStringLiteral("map"));
    options->testPath = parser.value(QStringLiteral("test"));
    options->serial = parser.value(QStringLiteral("serial"));
    options->logDir = parser.value(QStringLiteral("log-dir"));
    if (!drivelink::lineOptions(parser, &options->line, error)) {
        return false;
    }
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

void wireRun(Modbus &worker, QObject &context, RunState *state, TestLogs *logs,
             QVector<holding_t *> holdings) {
    threadhandoff::connectQueued(&worker, &Modbus::send_status, &context,
                                 [](bool, bool, bool toBrowser, const QString &text) {
                                     if (toBrowser && !plainText(text).isEmpty()) {
                                         cli::out() << "  " << plainText(text) << "\n";
                                         cli::out().flush();
                                     }
                                 });
    threadhandoff::connectQueued(
        &worker, &Modbus::testResult, &context,
        [logs](int num, int tipo, const QString &txt, float res, float min, float max, int ok, bool reg) {
            logs->stepResult(num, tipo, txt, res, min, max, ok, reg);
            if (reg && ok != 0) {
                printResult(num, tipo, txt, res, min, max, ok);
            }
        });
    threadhandoff::connectQueued(&worker, &Modbus::test_stop, &context, [state] { state->finished = true; });
    threadhandoff::connectQueued(&worker, &Modbus::recv_input_registers, &context,
                                 [state](int, int start, const QVector<uint16_t> &) {
                                     state->haveInputs = state->haveInputs || start == 0;
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

int exitFor(int result) {
    if (result > 0) {
        return kPassed;
    }
    return result < 0 ? kFailed : kStopped;
}

}  // namespace

int runTest(const QStringList &args) {
    drivelink::quietDiagnostics();
    Options options;
    QString error;
    if (!parseOptions(args, &options, &error)) {
        cli::err() << "mvxctl test: " << error << "\nusage: mvxctl " << kUsage << "\n";
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

    drivelink::Session session;
    Modbus &worker = session.worker();
    worker.setInputList(inputs);
    worker.setHoldingList(holdings);
    logger full, result, summary;
    TestLogs logs(&full, &result, &summary);
    RunState state;
    wireRun(worker, session.context(), &state, &logs, holdings);
    if (!session.open(options.line, inputs.size(), holdings.size(), &error)) {
        cli::err() << "mvxctl test: " << error << "\n";
        return kCannotRun;
    }
    if (!drivelink::waitFor([&state] { return state.haveInputs && state.haveHoldings; }, kAnswerTimeoutMs)) {
        cli::err() << "mvxctl test: no answer from the drive at address " << options.line.address << " on "
                   << options.line.port << "\n";
        return kCannotRun;
    }
    TestEngine *engine = worker.testEngine();
    if (!engine->loadTest(options.testPath)) {
        drivelink::waitFor([&state] { return state.finished; }, 1000);  // let its messages through
        cli::err() << "mvxctl test: the test file cannot be run\n";
        return kCannotRun;
    }
    if (engine->serialRequired()) {
        if (options.serial.isEmpty()) {
            cli::err() << "mvxctl test: this test checks a serial number: give it with --serial\n";
            return kCannotRun;
        }
        QDir().mkpath(options.logDir);
        logs.begin(options.logDir, {engine->doFullLog(), engine->doResultLog(), engine->doSummaryLog()},
                   options.serial, nullptr);
        cli::out() << "Número de serie: " << options.serial << "\n";
    }
    engine->setSerial(options.serial);
    const int outcome = runLoadedTest(engine, &state);
    // The holding listing of the result log shows the values the drive has now.
    drivelink::waitFor([] { return false; }, 300);
    logs.finish(outcome, holdings, false, QString(), QDateTime::currentDateTime(), options.serial);
    cli::out() << "Resultado: " << TestLogs::resultWord(outcome) << "\n";
    cli::out().flush();
    return exitFor(outcome);
}
