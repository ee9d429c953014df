#include "driveprofile.h"

#include <QFileInfo>

#include "map/xmlmap.h"

namespace {

std::optional<quint16> parseWord(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 0);
    if (!ok || value < 0 || value > 0xFFFF) {
        return std::nullopt;
    }
    return quint16(value);
}

InputChannel channelFor(const input_reg_t &reg) {
    InputChannel channel;
    channel.name = reg.name;
    channel.visType = reg.vis_type;
    channel.unit = reg.unit;
    channel.multiplier = reg.multiplier;
    channel.initialWord = quint16(reg.def);
    for (const item_t *item : reg.items) {
        if (item) {
            channel.listValues << item->val;
        }
        if (item && (!channel.listWord || item->val == channel.initialWord)) {
            channel.listWord = item->val;
        }
    }
    return channel;
}

void appendHoldings(const QVector<holding_t *> &holdings, int baseAddress, bool byPosition,
                    QVector<HoldingDefault> *out) {
    for (int i = 0; i < holdings.size(); ++i) {
        const int address = byPosition ? baseAddress + i : holdings.at(i)->add;
        out->append({quint16(address), quint16(holdings.at(i)->def), holdings.at(i)->level});
    }
}

void applyOptions(const xmlmap &map, DriveProfile *profile) {
    profile->flagsPosition = map.getFlags();
    profile->accessLevelPosition = map.getAccessLevel();
    profile->powerId = map.getPowerId();
    profile->powerIq = map.getPowerIq();
    profile->powerVd = map.getPowerVd();
    profile->powerVq = map.getPowerVq();
    if (const auto model = parseWord(map.getModel())) {
        profile->model = *model;
    }
    if (const auto version = parseWord(map.getVersion())) {
        profile->motorVersion = *version;
        profile->userVersion = *version;
    }
}

}  // namespace

DriveProfile fallbackProfile() {
    DriveProfile profile;
    profile.inputs.resize(DriveProfile::kFallbackInputCount);
    return profile;
}

bool loadProfileFromMap(const QString &path, DriveProfile *profile, QString *error, QStringList *warnings) {
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("register map %1 not found").arg(path);
        return false;
    }
    xmlmap map;
    if (!map.readMap(path)) {
        *error = QStringLiteral("register map %1 cannot be opened").arg(path);
        return false;
    }
    for (const ReadWarning &warning : map.warnings()) {
        warnings->append(warning.toString());
    }
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> holdings, aux, ram;
    map.getInputRegisters(inputs);
    map.getHoldings(holdings);
    map.getAuxHoldings(aux);
    map.getRamParams(ram);
    if (inputs.isEmpty() && holdings.isEmpty() && aux.isEmpty()) {
        *error =
            QStringLiteral("register map %1 describes no registers%2")
                .arg(path, warnings->isEmpty() ? QString() : QStringLiteral(" (") + warnings->first() + ')');
        return false;
    }
    DriveProfile loaded;
    for (const input_reg_t *reg : inputs) {
        loaded.inputs.append(channelFor(*reg));
    }
    appendHoldings(holdings, 0, true, &loaded.holdingDefaults);
    appendHoldings(aux, 1000, true, &loaded.holdingDefaults);
    appendHoldings(ram, 0, false, &loaded.holdingDefaults);
    applyOptions(map, &loaded);
    *profile = loaded;
    return true;
}
