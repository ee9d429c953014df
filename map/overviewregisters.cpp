#include "map/overviewregisters.h"

#include <QStringList>

#include "map/presentation.h"

namespace overviewregisters {

namespace {

constexpr int kFallbackCount = 4;

// The element names a drive's maps give these quantities, in the order they are shown.
const QStringList &roleNames() {
    static const QStringList names{QStringLiteral("state"),      QStringLiteral("status"),
                                   QStringLiteral("alarm"),      QStringLiteral("speed"),
                                   QStringLiteral("vbus"),       QStringLiteral("v_bus"),
                                   QStringLiteral("bus_voltage")};
    return names;
}

enum class Rule { Marked, ByName, FirstFour };

QVector<int> marked(const QVector<input_reg_t *> &inputs) {
    QVector<int> out;
    for (int i = 0; i < inputs.size(); ++i) {
        if (inputs.at(i) && inputs.at(i)->overview) {
            out << i;
        }
    }
    return out;
}

QVector<int> byName(const QVector<input_reg_t *> &inputs) {
    QVector<int> out;
    for (const QString &name : roleNames()) {
        for (int i = 0; i < inputs.size(); ++i) {
            if (inputs.at(i) && inputs.at(i)->name.compare(name, Qt::CaseInsensitive) == 0 &&
                !out.contains(i)) {
                out << i;
                break;
            }
        }
    }
    return out;
}

QVector<int> choose(const QVector<input_reg_t *> &inputs, Rule *rule) {
    QVector<int> out = marked(inputs);
    *rule = Rule::Marked;
    if (out.isEmpty()) {
        out = byName(inputs);
        *rule = Rule::ByName;
    }
    if (out.isEmpty()) {
        *rule = Rule::FirstFour;
        for (int i = 0; i < std::min<int>(kFallbackCount, inputs.size()); ++i) {
            out << i;
        }
    }
    return out;
}

}  // namespace

QVector<int> positions(const QVector<input_reg_t *> &inputs) {
    Rule rule;
    return choose(inputs, &rule);
}

QString describe(const QVector<input_reg_t *> &inputs) {
    Rule rule;
    const QVector<int> chosen = choose(inputs, &rule);
    QStringList names;
    for (const int i : chosen) {
        names << inputs.at(i)->name;
    }
    const char *why = rule == Rule::Marked ? "marked" : (rule == Rule::ByName ? "by name" : "the first four");
    return QStringLiteral("%1 (%2)").arg(names.join(QStringLiteral(", ")), QLatin1String(why));
}

QString valueText(const input_reg_t &reg, uint16_t word) {
    if (reg.vis_type == QLatin1String("list")) {
        const int index = presentation::listIndexForWord(reg.items, word);
        return index >= 0 ? reg.items.at(index)->text : QString::number(word);
    }
    const QString value = presentation::formatValue(word, reg.multiplier, reg.vis_type).text;
    const QString unit = presentation::shownUnit(reg.unit);
    return unit.isEmpty() ? value : QStringLiteral("%1 %2").arg(value, unit);
}

bool isActiveAlarm(const input_reg_t &reg, uint16_t word) {
    return reg.name.compare(QLatin1String("alarm"), Qt::CaseInsensitive) == 0 && word != 0;
}

}  // namespace overviewregisters
