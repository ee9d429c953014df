#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

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
    {"check-test", runCheckTest, "check-test FILE [--json]           parse a test-definition file"},
    {"format", runFormat, "format --vis TYPE --mul M RAW...   show raw words as the tables would"},
    {"read", runRead, "read --port P --map FILE [--address A] [--speed S] [--framing F] [--json]"},
    {"flash", runFlash, "flash --port P --file F [--model M] [--address A] [--speed S] [--framing F]"},
    {"export", runExport, "export --port P --map FILE --out FILE [--address A] [--speed S] [--framing F]"},
    {"log2csv", runLog2Csv,
     "log2csv LOG [OUT]                  convert a data log to CSV (names and units in the header)"},
    {"test", runTest, "test --port P --map M --test T [--serial S] [--log-dir D] [--address A] ..."},
};

int usage(QTextStream &out) {
    out << "usage: mvxctl COMMAND ...\n\ncommands:\n";
    for (const Command &c : kCommands) {
        out << "  " << c.usage << "\n";
    }
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
    QTextStream err(stderr);
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        QTextStream out(stdout);
        usage(out);
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
