#include "cli.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace cli {

namespace {
// Flushed when the process ends, like any static stream.
struct Utf8Stream {
    explicit Utf8Stream(FILE *file) : stream(file) { stream.setCodec("UTF-8"); }
    QTextStream stream;
};
}  // namespace

QTextStream &out() {
    static Utf8Stream out(stdout);
    return out.stream;
}

QTextStream &err() {
    static Utf8Stream err(stderr);
    return err.stream;
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
