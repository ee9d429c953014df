#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"
#include "map/readwarning.h"

class QIODevice;

// Parameter files: root Motor_Configuration, one MetaData element, then one holding element
// per normal holding (add, txt, mul, bin, val). Writer and reader live here so they agree.

struct ParamFileMeta {
    QString file;      // register-map path in use when the file was saved
    QString datetime;  // "yyyy/MM/dd hh:mm:ss"
    QString model;
    QString version;
};

struct ParamFileContents {
    ParamFileMeta meta;
    QVector<holding_t> holdings;
    ReadWarnings warnings;
    QString error;  // set when the file could not be opened or parsed
};

// Reads a parameter file. False when it cannot be opened or is not well-formed XML; holdings
// with a bad address or a bin that is not a register word are dropped with a warning.
bool readParamFile(const QString &path, ParamFileContents *out);
bool readParamFileData(const QByteArray &xml, ParamFileContents *out);

// Writes the whole document. False when the device reports a write error.
bool writeParamFileData(QIODevice *device, const ParamFileMeta &meta, const QVector<holding_t *> &holdings);

// The datetime text of the metadata.
QString paramFileDateTime(const QDateTime &when);
// The general-format text of a multiplier (6 significant digits).
QString paramFileMultiplier(float multiplier);
// The val word: round(fvalue / multiplier), halves away from zero, low 16 bits. When the
// quotient is not a finite number (multiplier 0), the raw word is the only sound value.
uint16_t paramFileVal(float fvalue, float multiplier, uint16_t rawValue);
