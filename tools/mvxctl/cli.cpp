#include "cli.h"

#include <unistd.h>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

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

bool parse(QCommandLineParser &parser, const QStringList &args, const QString &usage) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
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
                  bool *json) {
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print one JSON object.")});
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
