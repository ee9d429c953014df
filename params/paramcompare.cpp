#include "params/paramcompare.h"

#include <QCoreApplication>
#include <algorithm>

#include "map/presentation.h"

namespace {

param_list_t sendRecord(const holding_t &fileHolding) {
    param_list_t record;
    record.add = static_cast<uint8_t>(fileHolding.add);
    record.value = fileHolding.value;
    return record;
}

QString addressList(const QVector<uint16_t> &addresses) {
    QStringList texts;
    for (uint16_t address : addresses) {
        texts << QString::number(address);
    }
    return texts.join(QStringLiteral(", "));
}

}  // namespace

QString comparedValueText(const holding_t *mapHolding, uint16_t word) {
    if (mapHolding == nullptr) {
        return QString::number(word);
    }
    if (mapHolding->vis_type == QLatin1String("list")) {
        const int index = presentation::listIndexForWord(mapHolding->items, word);
        return index >= 0 ? mapHolding->items.at(index)->text : QString::number(word);
    }
    const QString text = presentation::formatValue(word, mapHolding->multiplier, mapHolding->vis_type).text;
    const QString unit = presentation::shownUnit(mapHolding->unit);
    return unit.isEmpty() || unit == QLatin1String("none") ? text : QStringLiteral("%1 %2").arg(text, unit);
}

QStringList ParamComparison::summaryLines() const {
    QStringList lines;
    lines << QCoreApplication::translate("paramcompare",
                                         "There are <b>%1</b> parameters with different values")
                 .arg(differences);
    if (modelDiffers) {
        lines << QCoreApplication::translate(
            "paramcompare",
            "<font color='red'><b>ERROR!</b></font> Different hardware models. Parameter file can't be sent");
    }
    if (versionDiffers) {
        lines << QCoreApplication::translate(
            "paramcompare",
            "<font color='orange'><b>WARNING!</b></font> Different firmware version. Make sure "
            "parameters are compatible");
    }
    if (!unsendable.isEmpty()) {
        lines << QCoreApplication::translate(
                     "paramcompare",
                     "<font color='orange'><b>WARNING!</b></font> Addresses above %1 can't be sent and "
                     "are skipped: %2")
                     .arg(kMaxSendAddress)
                     .arg(addressList(unsendable));
    }
    return lines;
}

ParamComparison compareParameters(const QVector<holding_t> &fileHoldings,
                                  const QVector<holding_t *> &driveHoldings,
                                  const DriveIdentityTexts &identity) {
    ParamComparison result;
    const int count = std::min(fileHoldings.size(), driveHoldings.size());
    result.marks.reserve(count);
    for (int i = 0; i < count; ++i) {
        const holding_t &fileHolding = fileHoldings[i];
        const holding_t *driveHolding = driveHoldings[i];
        if (driveHolding == nullptr || driveHolding->value == fileHolding.value) {
            result.marks << ParamComparison::Mark::Same;
            continue;
        }
        result.marks << ParamComparison::Mark::Different;
        ++result.differences;
        if (fileHolding.add > kMaxSendAddress) {
            result.unsendable << fileHolding.add;
        } else {
            result.sendList << sendRecord(fileHolding);
        }
    }
    result.modelDiffers = identity.fileModel != identity.driveModel;
    result.versionDiffers = identity.fileVersion != identity.driveVersion;
    return result;
}
