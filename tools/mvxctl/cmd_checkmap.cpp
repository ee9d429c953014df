#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "cli.h"
#include "commands.h"
#include "map/xmlmap.h"

namespace {

const char kUsage[] = "check-map FILE [--json]";

QJsonArray itemsJson(const QVector<item_t *> &items) {
    QJsonArray array;
    for (const item_t *item : items) {
        array.append(QJsonObject{{QStringLiteral("val"), item->val}, {QStringLiteral("text"), item->text}});
    }
    return array;
}

QJsonObject holdingJson(const holding_t &h) {
    return QJsonObject{
        {QStringLiteral("add"), h.add},
        {QStringLiteral("text"), h.text},
        {QStringLiteral("name"), h.name},
        {QStringLiteral("def"), h.def},
        {QStringLiteral("min"), h.min},
        {QStringLiteral("max"), h.max},
        {QStringLiteral("vis_type"), h.vis_type},
        {QStringLiteral("multiplier"), cli::jsonFloat(h.multiplier)},
        {QStringLiteral("unit"), h.unit},
        {QStringLiteral("help"), h.help},
        {QStringLiteral("hidden"), h.hidden},
        {QStringLiteral("level"), h.level},
        {QStringLiteral("items"), itemsJson(h.items)},
    };
}

QJsonObject inputJson(const input_reg_t &r) {
    return QJsonObject{
        {QStringLiteral("add"), r.add},
        {QStringLiteral("text"), r.text},
        {QStringLiteral("name"), r.name},
        {QStringLiteral("def"), r.def},
        {QStringLiteral("vis_type"), r.vis_type},
        {QStringLiteral("multiplier"), cli::jsonFloat(r.multiplier)},
        {QStringLiteral("unit"), r.unit},
        {QStringLiteral("items"), itemsJson(r.items)},
        {QStringLiteral("bg_r"), r.bg_r},
        {QStringLiteral("bg_g"), r.bg_g},
        {QStringLiteral("bg_b"), r.bg_b},
    };
}

QJsonObject blockJson(const block_t &b) {
    return QJsonObject{{QStringLiteral("name"), b.name},
                       {QStringLiteral("query"), b.query},
                       {QStringLiteral("type"), b.type},
                       {QStringLiteral("start"), b.start},
                       {QStringLiteral("end"), b.end}};
}

QJsonObject optionsJson(const xmlmap &map) {
    QString testFile;
    map.getTestFile(testFile);
    return QJsonObject{
        {QStringLiteral("version"), map.getVersion()},
        {QStringLiteral("model"), map.getModel()},
        {QStringLiteral("StopIndex"), map.getStopIndex()},
        {QStringLiteral("test_file"), testFile},
        {QStringLiteral("access_level"), map.getAccessLevel()},
        {QStringLiteral("flags"), map.getFlags()},
        {QStringLiteral("power_id"), map.getPowerId()},
        {QStringLiteral("power_iq"), map.getPowerIq()},
        {QStringLiteral("power_vd"), map.getPowerVd()},
        {QStringLiteral("power_vq"), map.getPowerVq()},
        {QStringLiteral("col1_width"), map.getCol1Width()},
        {QStringLiteral("col2_width"), map.getCol2Width()},
        {QStringLiteral("col3_width"), map.getCol3Width()},
    };
}

template <typename T, typename F>
QJsonArray listJson(const QVector<T *> &list, F toJson) {
    QJsonArray array;
    for (const T *record : list) {
        array.append(toJson(*record));
    }
    return array;
}

struct MapLists {
    QVector<block_t *> blocks;
    QVector<holding_t *> holdings, aux, ram;
    QVector<input_reg_t *> inputs;

    explicit MapLists(const xmlmap &map) {
        map.getHoldings(holdings);
        map.getBlocks(blocks);
        map.getAuxHoldings(aux);
        map.getInputRegisters(inputs);
        map.getRamParams(ram);
    }
};

QString itemsText(const QVector<item_t *> &items) {
    QStringList parts;
    for (const item_t *item : items) {
        parts << QStringLiteral("%1=%2").arg(item->val).arg(item->text);
    }
    return parts.join(QStringLiteral(", "));
}

void printHoldings(const char *title, const QVector<holding_t *> &list) {
    cli::TextOut &o = cli::out();
    o << "\n" << title << " (" << list.size() << ")\n";
    for (const holding_t *h : list) {
        o << QStringLiteral(
                 "  add=%1 text=\"%2\" name=%3 def=%4 min=%5 max=%6 vis_type=%7 multiplier=%8 unit=\"%9\"")
                 .arg(h->add)
                 .arg(h->text, h->name)
                 .arg(h->def)
                 .arg(h->min)
                 .arg(h->max)
                 .arg(h->vis_type)
                 .arg(static_cast<double>(h->multiplier), 0, 'g', 7)
                 .arg(h->unit)
          << QStringLiteral(" hidden=%1 level=%2").arg(h->hidden ? "true" : "false").arg(h->level);
        if (!h->help.isEmpty()) {
            o << " help=\"" << h->help << "\"";
        }
        if (!h->items.isEmpty()) {
            o << " items=[" << itemsText(h->items) << "]";
        }
        o << "\n";
    }
}

void printText(const xmlmap &map, const MapLists &lists) {
    cli::TextOut &o = cli::out();
    o << "options\n";
    const QJsonObject options = optionsJson(map);
    for (auto it = options.begin(); it != options.end(); ++it) {
        o << "  " << it.key() << " = " << it.value().toVariant().toString() << "\n";
    }
    o << "\nblocks (" << lists.blocks.size() << ")\n";
    for (const block_t *b : lists.blocks) {
        o << QStringLiteral("  \"%1\" query=%2 type=%3 start=%4 end=%5\n")
                 .arg(b->name, b->query, b->type)
                 .arg(b->start)
                 .arg(b->end);
    }
    printHoldings("holdings", lists.holdings);
    printHoldings("aux holdings", lists.aux);
    o << "\ninput registers (" << lists.inputs.size() << ")\n";
    for (const input_reg_t *r : lists.inputs) {
        o << QStringLiteral(
                 "  add=%1 text=\"%2\" name=%3 def=%4 vis_type=%5 multiplier=%6 unit=\"%7\" bg=%8,%9")
                 .arg(r->add)
                 .arg(r->text, r->name)
                 .arg(r->def)
                 .arg(r->vis_type)
                 .arg(static_cast<double>(r->multiplier), 0, 'g', 7)
                 .arg(r->unit)
                 .arg(r->bg_r)
                 .arg(r->bg_g)
          << "," << r->bg_b;
        if (!r->items.isEmpty()) {
            o << " items=[" << itemsText(r->items) << "]";
        }
        o << "\n";
    }
    printHoldings("RAM parameters", lists.ram);
    cli::printWarnings(map.warnings());
}

}  // namespace

int runCheckMap(const QStringList &args) {
    QString path;
    bool json = false;
    if (const int code = cli::fileArguments(args, QString::fromLatin1(kUsage), QStringLiteral("Register map"),
                                            &path, &json)) {
        return code;
    }
    xmlmap map;
    if (!map.readMap(path)) {
        cli::err() << "mvxctl: cannot open register map '" << path << "'\n";
        for (const ReadWarning &w : map.warnings()) {
            cli::err() << "  " << w.toString() << "\n";
        }
        return 1;
    }
    if (!map.wellFormed()) {
        cli::err() << "mvxctl: '" << path << "' is not a register map: it is not well-formed XML\n";
        for (const ReadWarning &w : map.warnings()) {
            cli::err() << "  " << w.toString() << "\n";
        }
        return 1;
    }
    const MapLists lists(map);
    if (!json) {
        printText(map, lists);
        return 0;
    }
    cli::printJson(QJsonObject{
        {QStringLiteral("options"), optionsJson(map)},
        {QStringLiteral("blocks"), listJson(lists.blocks, blockJson)},
        {QStringLiteral("holdings"), listJson(lists.holdings, holdingJson)},
        {QStringLiteral("aux_holdings"), listJson(lists.aux, holdingJson)},
        {QStringLiteral("input_registers"), listJson(lists.inputs, inputJson)},
        {QStringLiteral("ram_params"), listJson(lists.ram, holdingJson)},
        {QStringLiteral("warnings"), cli::warningsJson(map.warnings())},
    });
    return 0;
}
