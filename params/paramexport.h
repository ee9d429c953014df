#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

class settings;

// The pieces of "Save File" that need no dialog: the proposed name, the drive identity taken
// from the input registers, and the write itself with a message a user can act on.

// "<directory>/motor_export_yyyyMMdd-hhmmss.xml"
QString proposedExportPath(const QString &directory, const QDateTime &now);

struct DriveIdentity {
    uint16_t model = 0;    // raw word of input register 1
    uint16_t version = 0;  // raw word of input register 0
};

// Zero for a register the list does not have.
DriveIdentity driveIdentity(const QVector<input_reg_t *> &inputs);

// Puts the identity into the settings, sets their Poll_Interval to 50 and writes the file with
// savedAt as its time. Returns an empty string on success, otherwise the error to show.
QString exportParameters(settings &appSettings, const QVector<holding_t *> &holdings, DriveIdentity identity,
                         const QString &path, const QDateTime &savedAt);

// Why a file cannot be written at path, as far as the file system tells.
QString exportFailureText(const QString &path);
