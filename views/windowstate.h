#pragma once

#include <QString>

class QMainWindow;

namespace ads {
class CDockManager;
}

// Geometry and dock layout of the main window, kept in "Settings.ini" (group mainWindow).
namespace windowstate {

QString defaultIniPath();
// False when the file could not be written.
bool saveWindowState(const QMainWindow *window, const ads::CDockManager *docks,
                     const QString &iniPath = defaultIniPath());
// Missing or unusable data leaves the default geometry and layout.
void restoreWindowState(QMainWindow *window, ads::CDockManager *docks,
                        const QString &iniPath = defaultIniPath());

}  // namespace windowstate
