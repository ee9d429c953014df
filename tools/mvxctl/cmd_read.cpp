#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "cli.h"
#include "comm/modbus.h"
#include "comm/threadhandoff.h"
#include "commands.h"
#include "drivelink.h"
#include "map/presentation.h"
#include "map/xmlmap.h"

namespace {

const char kUsage[] = "read --port P --map FILE [--address A] [--speed S] [--framing F] [--json]";

// One row as a register table shows it.
struct Row {
    int index = 0;
    int add = 0;
    QString label;
    uint16_t raw = 0;
    QString value;
    QString unit;
    bool hidden = false;
};

QVector<Row> inputRows(const QVector<input_reg_t *> &regs, const QVector<uint16_t> &words) {
    const QVector<presentation::CellUpdate> cells = presentation::applyInputWords(regs, words);
    QVector<Row> rows;
    for (int i = 0; i < cells.size(); ++i) {
        const input_reg_t &reg = *regs.at(i);
        const bool hidden = presentation::isHiddenInputRow(reg);
        rows.append({i, reg.add, reg.text, words.at(i), hidden ? QString() : cells.at(i).text,
                     presentation::shownUnit(reg.unit), hidden});
    }
    return rows;
}

QVector<Row> holdingRows(const QVector<holding_t *> &holdings, const QVector<uint16_t> &words) {
    const QVector<presentation::CellUpdate> cells = presentation::applyHoldingWords(holdings, words);
    QVector<Row> rows;
    for (int i = 0; i < cells.size(); ++i) {
        const holding_t &holding = *holdings.at(i);
        QString value = cells.at(i).text;
        if (!holding.items.isEmpty()) {
            const int item = presentation::listIndexForWord(holding.items, words.at(i));
            value = item >= 0 ? holding.items.at(item)->text : QString();
        }
        rows.append(
            {i, holding.add, holding.text, words.at(i), value, presentation::shownUnit(holding.unit), false});
    }
    return rows;
}

QJsonArray rowsJson(const QVector<Row> &rows) {
    QJsonArray array;
    for (const Row &row : rows) {
        array.append(QJsonObject{{QStringLiteral("index"), row.index},
                                 {QStringLiteral("add"), row.add},
                                 {QStringLiteral("text"), row.label},
                                 {QStringLiteral("raw"), row.raw},
                                 {QStringLiteral("value"), row.value},
                                 {QStringLiteral("unit"), row.unit}});
    }
    return array;
}

void printRows(const char *title, const QVector<Row> &rows) {
    int width = 0;
    for (const Row &row : rows) {
        width = std::max(width, row.label.size());
    }
    cli::TextOut &o = cli::out();
    o << title << " (" << rows.size() << ")\n";
    for (const Row &row : rows) {
        if (!row.hidden) {
            o << "  " << row.label.leftJustified(width) << "  " << row.value.rightJustified(12);
            o << (row.unit.isEmpty() ? QString() : QLatin1Char(' ') + row.unit) << "\n";
        }
    }
    o.flush();
}

}  // namespace

int runRead(const QStringList &args) {
    drivelink::quietDiagnostics();
    QCommandLineParser parser;
    drivelink::addLineOptions(parser);
    parser.addOption(
        {QStringLiteral("map"), QStringLiteral("Register map. Required."), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print one JSON object (default: text).")});
    if (!cli::parse(parser, args, QString::fromLatin1(kUsage))) {
        return 2;
    }
    drivelink::LineOptions line;
    QString error;
    const QString mapPath = parser.value(QStringLiteral("map"));
    if (drivelink::lineOptions(parser, &line, &error) && mapPath.isEmpty()) {
        error = QStringLiteral("--map is required");
    }
    if (error.isEmpty() && !parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    }
    if (!error.isEmpty()) {
        cli::err() << "mvxctl read: " << error << "\nusage: mvxctl " << kUsage << "\n";
        return 2;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(mapPath, QStringLiteral("read"), &loaded)) {
        return 1;
    }
    const QVector<input_reg_t *> &inputs = loaded.inputs;
    const QVector<holding_t *> &holdings = loaded.holdings;

    drivelink::Reading reading;
    if (!drivelink::readDrive(line, inputs.size(), holdings.size(), &reading, &error)) {
        cli::err() << "mvxctl read: " << error << "\n";
        return 1;
    }
    const QVector<Row> inputTable = inputRows(inputs, reading.inputs);
    const QVector<Row> holdingTable = holdingRows(holdings, reading.holdings);
    if (parser.isSet(QStringLiteral("json"))) {
        cli::printJson(QJsonObject{{QStringLiteral("input_registers"), rowsJson(inputTable)},
                                   {QStringLiteral("holdings"), rowsJson(holdingTable)}});
    } else {
        printRows("input registers", inputTable);
        printRows("holdings", holdingTable);
    }
    return 0;
}
