#pragma once

#include <QString>
#include <QVector>
#include <optional>

// What one simulated drive looks like: which input registers move and how, which holdings
// start at which value, and the identification it reports. Built from a register map or
// from the built-in fallback; shared read-only by every simulated address.
struct InputChannel {
    QString name;  // the map element's tag, e.g. "vbus"
    QString visType;
    QString unit;
    float multiplier = 1.0f;
    quint16 initialWord = 0;
    std::optional<quint16> listWord;  // list registers stay on a valid choice: the default if it is one
    QVector<quint16> listValues;      // the list's choices
};

struct HoldingDefault {
    quint16 address = 0;
    quint16 word = 0;
    int level = 0;  // access level needed to write it
};

struct DriveProfile {
    static constexpr quint16 kNoPosition = 65535;
    static constexpr int kFallbackInputCount = 40;

    QVector<InputChannel> inputs;             // index = input register address
    QVector<HoldingDefault> holdingDefaults;  // normal, aux and RAM holdings of the map
    quint16 flagsPosition = kNoPosition;
    quint16 accessLevelPosition = kNoPosition;
    int powerId = -1;
    int powerIq = -1;
    int powerVd = -1;
    int powerVq = -1;

    quint16 model = 0x0123;
    quint16 motorVersion = 100;
    quint16 userVersion = 100;
    quint16 status = 0x00A5;
};

// Inputs without units (nothing moves), no holdings, no flags or access-level register.
DriveProfile fallbackProfile();

// Reads the register map at `path`. False with a message when it cannot be read or describes
// no register at all; `warnings` receives what the reader dropped (the map still loads).
bool loadProfileFromMap(const QString &path, DriveProfile *profile, QString *error, QStringList *warnings);
