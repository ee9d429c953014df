#pragma once

#include <QString>

#include "records/runrecorder.h"

// The station's choice of results database, kept in "Settings.ini" (group records) beside the
// window state; settings.xml keeps only its own keys. An empty URL means the SQLite file in
// the log folder. No password is ever stored: libpq finds it (~/.pgpass, PGPASSWORD).
struct RecordsSettings {
    QString url;
    QString station;

    static QString defaultIniPath() { return QStringLiteral("Settings.ini"); }
    static RecordsSettings load(const QString &iniPath = defaultIniPath());
    void save(const QString &iniPath = defaultIniPath()) const;

    // Where the runs go with these settings; a URL that cannot be used gives the log folder's
    // SQLite file and the reason in *problem.
    RecordsTarget target(const QString &logDir, QString *problem) const;
};
