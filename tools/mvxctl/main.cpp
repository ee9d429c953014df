#include <QCoreApplication>
#include <QLoggingCategory>
#include "cli.h"
#include "commands.h"

namespace {

struct Command {
    const char *name;
    int (*run)(const QStringList &);
    const char *usage;
};

const Command kCommands[] = {
    {"check-map", runCheckMap,
     "check-map FILE [--json]            parse a register map and print what is used"},
    {"check-test", runCheckTest,
     "check-test FILE [--map M] [--json] parse a test-definition file and check it as test would"},
    {"format", runFormat, "format --vis TYPE --mul M RAW...   show raw words as the tables would"},
    {"read", runRead, "read --port P --map FILE [--address A] [--speed S] [--framing F] [--json]"},
    {"flash", runFlash, "flash --port P --file F [--model M] [--address A] [--speed S] [--framing F]"},
    {"export", runExport, "export --port P --map FILE --out FILE [--address A] [--speed S] [--framing F]"},
    {"log2csv", runLog2Csv,
     "log2csv LOG [OUT] [--map FILE]     convert a data log to CSV (names and units in the header)"},
    {"search", runSearch,
     "search --port P [--from A] [--to B] [--speed S] [--framing F] [--timeout MS] [--json|--csv]"},
    {"test", runTest, "test --port P --map M --test T [--serial S] [--log-dir D] [--db URL] ..."},
    {"report", runReport,
     "report [--db URL] [--from DATE] [--to DATE] [--station S] [--serial SN] [--json|--csv]"},
    {"monitor", runMonitor,
     "monitor --port P --map M [--address A] [--interval MS] [--log-dir D] [--csv] [--duration S]"},
    {"records", runRecords,
     "records upload [--db URL] [--log-dir D]   upload spooled runs to the database\n"
     "  records init --db URL [--station-role R] [--report-role R]   create the schema and the roles' "
     "rights"},
};

#ifdef MVX_VERSION
const char *const kVersion = MVX_VERSION;
#else
const char *const kVersion = "unknown";
#endif

int usage(cli::TextOut &out) {
    out << "usage: mvxctl COMMAND ...\n       mvxctl COMMAND --help\n       mvxctl --version\n\ncommands:\n";
    for (const Command &c : kCommands) {
        out << "  " << c.usage << "\n";
    }
    out << "\nexit codes:\n"
           "  0  done (for test: the board passed; for monitor: stopped by a signal or --duration)\n"
           "  1  failed: a file that cannot be read, a drive that does not answer, a failed board\n"
           "  2  bad arguments or usage (for test: the test could not run)\n"
           "  3  test: stopped before its end\n"
           "  4  test: the line was lost during the test (recorded as cancelled)\n"
           "  5  test: the board passed but its logs could not be written (the run is recorded)\n";
    return 2;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("mvxctl"));
    // The readers' diagnostic lines are for developers; MVXCTL_DEBUG=1 shows them.
    if (qEnvironmentVariableIsEmpty("MVXCTL_DEBUG")) {
        QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    }
    QStringList args = QCoreApplication::arguments().mid(1);
    cli::TextOut &err = cli::err();
    if (args.size() == 1 && args.first() == QLatin1String("--version")) {
        cli::out() << "mvxctl " << kVersion << "\n";
        return 0;
    }
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        usage(cli::out());
        return args.isEmpty() ? 2 : 0;
    }
    const QString name = args.takeFirst();
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name)) {
            return c.run(args);
        }
    }
    err << "mvxctl: unknown command '" << name << "'\n";
    return usage(err);
}
