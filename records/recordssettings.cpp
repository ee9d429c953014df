#include "records/recordssettings.h"

#include <QSettings>

RecordsSettings RecordsSettings::load(const QString &iniPath) {
    QSettings ini(iniPath, QSettings::IniFormat);
    return RecordsSettings{ini.value(QStringLiteral("records/Database")).toString(),
                           ini.value(QStringLiteral("records/Station")).toString()};
}

void RecordsSettings::save(const QString &iniPath) const {
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(QStringLiteral("records/Database"), url.trimmed());
    ini.setValue(QStringLiteral("records/Station"), station.trimmed());
}

RecordsTarget RecordsSettings::target(const QString &logDir, QString *problem) const {
    DbTarget database;
    problem->clear();
    if (!url.trimmed().isEmpty() && !DbTarget::parse(url, &database, problem)) {
        database = DbTarget();
    }
    return RecordsTarget::inLogFolder(logDir, database, station.trimmed());
}
