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
    {"check-test", runCheckTest, "check-test FILE [--json]           parse a test-definition file"},
    {"format", runFormat, "format --vis TYPE --mul M RAW...   show raw words as the tables would"},
    {"read", runRead, "read --port P --map FILE [--address A] [--speed S] [--framing F] [--json]"},
    {"flash", runFlash, "flash --port P --file F [--model M] [--address A] [--speed S] [--framing F]"},
    {"export", runExport, "export --port P --map FILE --out FILE [--address A] [--speed S] [--framing F]"},
    {"search", runSearch,
     "search --port P [--from A] [--to B] [--speed S] [--framing F] [--timeout MS] [--json|--csv]"},
    {"test", runTest, "test --port P --map M --test T [--serial S] [--log-dir D] [--db URL] ..."},
    {"report", runReport,
     "report [--db URL] [--from DATE] [--to DATE] [--station S] [--serial SN] [--json|--csv]"},
};

int usage(cli::TextOut &out) {
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
    cli::TextOut &err = cli::err();
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
