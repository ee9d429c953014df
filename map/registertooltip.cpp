#include "map/registertooltip.h"

#include <QCoreApplication>
#include <QStringList>

#include "map/presentation.h"

namespace registertooltip {

namespace {

QString addressLine(int address) {
    const QString hex = QString::number(address, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QCoreApplication::translate("registertooltip", "Address: 0x%1 (%2)").arg(hex).arg(address);
}

QString rangeLine(int32_t min, int32_t max, const QString &unit) {
    const QString shown = presentation::shownUnit(unit);
    const QString range = QCoreApplication::translate("registertooltip", "Range: %1 .. %2").arg(min).arg(max);
    return shown.isEmpty() ? range : range + QLatin1Char(' ') + shown;
}

// The label first: a narrow label column may cut it short.
void appendText(QStringList *lines, const QString &text) {
    if (!text.trimmed().isEmpty()) {
        lines->append(text.trimmed());
    }
}

void appendChoices(QStringList *lines, const QVector<item_t *> &items) {
    if (items.isEmpty()) {
        return;
    }
    lines->append(QCoreApplication::translate("registertooltip", "Choices:"));
    for (const item_t *item : items) {
        lines->append(QStringLiteral("  %1 = %2").arg(item->val).arg(item->text));
    }
}

}  // namespace

QString levelName(int level) {
    switch (level) {
        case 1:
            return QCoreApplication::translate("registertooltip", "user");
        case 2:
            return QCoreApplication::translate("registertooltip", "distributor");
        case 3:
            return QCoreApplication::translate("registertooltip", "developer");
        default:
            return QCoreApplication::translate("registertooltip", "anyone");
    }
}

QString forHolding(const holding_t &holding, int address) {
    QStringList lines;
    appendText(&lines, holding.text);
    if (!holding.help.trimmed().isEmpty()) {
        lines.append(holding.help.trimmed());
    }
    lines.append(rangeLine(holding.min, holding.max, holding.unit));
    lines.append(QCoreApplication::translate("registertooltip", "Access level: %1 (%2)")
                     .arg(holding.level)
                     .arg(levelName(holding.level)));
    lines.append(addressLine(address));
    appendChoices(&lines, holding.items);
    return lines.join(QLatin1Char('\n'));
}

QString forInput(const input_reg_t &input, int address) {
    QStringList lines;
    appendText(&lines, input.text);
    const QString unit = presentation::shownUnit(input.unit);
    if (!unit.isEmpty()) {
        lines.append(QCoreApplication::translate("registertooltip", "Unit: %1").arg(unit));
    }
    lines.append(addressLine(address));
    appendChoices(&lines, input.items);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace registertooltip
