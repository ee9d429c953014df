#pragma once

#include <QString>

// "Reconnect automatically": whether the window opens a lost line again by itself. Kept in
// "Settings.ini" (group connection) beside the window state, since settings.xml keeps only its
// own keys; on unless the user turned it off.
namespace reconnectsetting {

bool load(const QString &iniPath = QStringLiteral("Settings.ini"));
void save(bool on, const QString &iniPath = QStringLiteral("Settings.ini"));

}  // namespace reconnectsetting
