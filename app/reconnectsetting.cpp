#include "app/reconnectsetting.h"

#include <QSettings>

namespace {
const QString kKey = QStringLiteral("connection/ReconnectAutomatically");
}  // namespace

bool reconnectsetting::load(const QString &iniPath) {
    return QSettings(iniPath, QSettings::IniFormat).value(kKey, true).toBool();
}

void reconnectsetting::save(bool on, const QString &iniPath) {
    QSettings(iniPath, QSettings::IniFormat).setValue(kKey, on);
}
