#include "cli.h"

#include <unistd.h>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <cstdlib>

namespace cli {

TextOut::TextOut(FILE *file) : m_stream(file) {
    m_stream.setCodec("UTF-8");
}

TextOut &TextOut::operator<<(const char *text) {
    m_stream << QString::fromUtf8(text);
    return *this;
}

TextOut &TextOut::operator<<(const QByteArray &bytes) {
    m_stream << QString::fromUtf8(bytes);
    return *this;
}

TextOut &out() {
    static TextOut out(stdout);
    return out;
}

TextOut &err() {
    static TextOut err(stderr);
    return err;
}

namespace {

struct CommandExits {
    const char *command;
    const char *codes;
};

// What each command's exit code says, for its --help.
const CommandExits kExitCodes[] = {
    {"check-map",
     "  0  the map was read: what the program uses, and the warnings\n"
     "  1  the file cannot be opened, is too large, or is not well-formed XML\n"
     "  2  bad arguments\n"},
    {"check-test",
     "  0  the test file was read and can run\n"
     "  1  the file cannot be opened or read, or mvxctl test would refuse it\n"
     "  2  bad arguments\n"},
    {"format", "  0  shown\n  2  bad arguments or a raw word that is not 16 bits\n"},
    {"read",
     "  0  read\n  1  the map or the port cannot be opened, or the drive does not answer\n"
     "  2  bad arguments\n"},
    {"export",
     "  0  written\n  1  the map, the port or the file cannot be opened, or the drive does not answer\n"
     "  2  bad arguments\n"},
    {"flash",
     "  0  flashed\n  1  the port cannot be opened, the file is refused, or the drive refused or did not "
     "answer\n  2  bad arguments or no firmware file\n"},
    {"search", "  0  a drive answered\n  1  none did, or the port cannot be opened\n  2  bad arguments\n"},
    {"test",
     "  0  the board passed\n  1  the board failed\n"
     "  2  the test could not run (bad file, no port, no answer, serial number missing)\n"
     "  3  stopped (Ctrl-C)\n  4  the line was lost during the test (recorded as cancelled)\n"
     "  5  the board passed but its logs could not be written (the run is recorded)\n"},
    {"report",
     "  0  printed\n  1  the database cannot be opened or is not a results database\n"
     "  2  bad arguments\n"},
    {"records",
     "  0  the spools are empty\n  1  runs are left (the database cannot be reached)\n"
     "  2  bad arguments\n"},
    {"log2csv",
     "  0  converted (skipped lines are counted on stderr)\n"
     "  1  the log or the map cannot be read, or the CSV cannot be written\n  2  bad arguments\n"},
};

// Qt's option list (with the defaults the descriptions give) under the command's usage line,
// then the exit codes.
void printHelp(const QCommandLineParser &parser, const QString &usage) {
    QString options = parser.helpText();
    options = options
                  .mid(options.indexOf(QLatin1Char('\n')) + 1)  // Qt's own usage line
                  .replace(QLatin1String("\nOptions:\n"), QLatin1String("\noptions:\n"))
                  .replace(QLatin1String("\nArguments:\n"), QLatin1String("\narguments:\n"));
    out() << "usage: mvxctl " << usage << "\n" << options;
    const QString command = usage.section(QLatin1Char(' '), 0, 0);
    for (const CommandExits &exits : kExitCodes) {
        if (command == QLatin1String(exits.command)) {
            out() << "\nexit codes:\n" << exits.codes;
        }
    }
    out().flush();
}

}  // namespace

bool parse(QCommandLineParser &parser, const QStringList &args, const QString &usage) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                      QStringLiteral("Print this help: the options and the exit codes.")});
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        printHelp(parser, usage);
        std::exit(0);  // as QCommandLineParser::showHelp does
    }
    if (!parser.parse(QStringList{QStringLiteral("mvxctl")} + args)) {
        err() << "mvxctl: " << parser.errorText() << "\nusage: mvxctl " << usage << "\n";
        err().flush();
        return false;
    }
    return true;
}

QJsonValue jsonFloat(float value) {
    return QJsonValue(QString::number(value, 'g', 7).toDouble());
}

void printJson(const QJsonValue &value) {
    QJsonDocument doc = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    out() << doc.toJson(QJsonDocument::Indented);
    out().flush();
}

int fileArguments(const QStringList &args, const QString &usage, const QString &what, QString *path,
                  bool *json, QString *mapPath) {
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print one JSON object (default: text).")});
    if (mapPath != nullptr) {
        parser.addOption({QStringLiteral("map"),
                          QStringLiteral("The register map the test runs with: its positions are checked "
                                         "against it too (default: no map, positions only checked to be 0 "
                                         "or more)."),
                          QStringLiteral("FILE")});
    }
    parser.addPositionalArgument(QStringLiteral("FILE"), what);
    if (!parse(parser, args, usage)) {
        return 2;
    }
    if (parser.positionalArguments().size() != 1) {
        err() << "usage: mvxctl " << usage << "\n";
        return 2;
    }
    *path = parser.positionalArguments().first();
    *json = parser.isSet(QStringLiteral("json"));
    if (mapPath != nullptr) {
        *mapPath = parser.value(QStringLiteral("map"));
    }
    if (!QFileInfo(*path).isFile()) {
        err() << "mvxctl: cannot open " << what.toLower() << " '" << *path << "': no such file\n";
        return 1;
    }
    return 0;
}

bool loadMap(const QString &path, const QString &command, LoadedMap *loaded) {
    if (!QFileInfo(path).isFile() || !loaded->map.readMap(path)) {
        err() << "mvxctl " << command << ": cannot open register map '" << path << "'\n";
        return false;
    }
    loaded->map.getInputRegisters(loaded->inputs);
    loaded->map.getHoldings(loaded->holdings);
    return true;
}

ProgressLine::ProgressLine(TextOut &stream, bool terminal) : m_stream(&stream), m_terminal(terminal) {}

ProgressLine ProgressLine::forStderr() {
    return ProgressLine(err(), isatty(fileno(stderr)) != 0);
}

void ProgressLine::show(const QString &text) {
    if (text == m_last) {
        return;
    }
    if (m_terminal) {
        // Blanks wipe what a longer previous text left behind.
        const int wipe = qMax(0, m_last.size() - text.size());
        *m_stream << '\r' << text << QString(wipe, QLatin1Char(' '));
        m_open = true;
    } else {
        *m_stream << text << '\n';
    }
    m_last = text;
    m_stream->flush();
}

void ProgressLine::finish() {
    if (m_open) {
        *m_stream << '\n';
        m_stream->flush();
        m_open = false;
    }
    m_last.clear();
}

QJsonValue warningsJson(const ReadWarnings &warnings) {
    QJsonArray array;
    for (const ReadWarning &w : warnings) {
        array.append(QJsonObject{{QStringLiteral("line"), w.line},
                                 {QStringLiteral("element"), w.element},
                                 {QStringLiteral("reason"), w.reason}});
    }
    return array;
}

void printWarnings(const ReadWarnings &warnings) {
    out() << "\nwarnings (" << warnings.size() << ")\n";
    for (const ReadWarning &w : warnings) {
        out() << "  " << w.toString() << "\n";
    }
    out().flush();
}

}  // namespace cli
