#include "views/windowstate.h"

#include <qtadvanceddocking/DockManager.h>
#include <QMainWindow>
#include <QSettings>

namespace windowstate {

namespace {
const char *const kGeometryKey = "mainWindow/Geometry";
const char *const kDockingKey = "mainWindow/DockingState";
const int kDockingVersion = 0;
}  // namespace

QString defaultIniPath() {
    return QStringLiteral("Settings.ini");
}

bool saveWindowState(const QMainWindow *window, const ads::CDockManager *docks, const QString &iniPath) {
    QSettings ini(iniPath, QSettings::IniFormat);
    // A read-only folder allows no temporary file beside the ini; write it in place instead.
    ini.setAtomicSyncRequired(false);
    ini.setValue(QLatin1String(kGeometryKey), window->saveGeometry());
    ini.setValue(QLatin1String(kDockingKey), docks->saveState(kDockingVersion));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

void restoreWindowState(QMainWindow *window, ads::CDockManager *docks, const QString &iniPath) {
    QSettings ini(iniPath, QSettings::IniFormat);
    const QByteArray geometry = ini.value(QLatin1String(kGeometryKey), QByteArray()).toByteArray();
    if (!geometry.isEmpty()) {
        window->restoreGeometry(geometry);
    }
    const QByteArray docking = ini.value(QLatin1String(kDockingKey), QByteArray()).toByteArray();
    if (!docking.isEmpty()) {
        docks->restoreState(docking, kDockingVersion);
    }
}

}  // namespace windowstate
