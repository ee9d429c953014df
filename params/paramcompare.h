#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include "map/descriptors.h"

// A parameter file compared with the drive, position by position: the file is meant for a
// map with the same normal holdings in the same order.
struct ParamComparison {
    enum class Mark { Same, Different };

    QVector<Mark> marks;             // one per compared position
    int differences = 0;             // positions whose values differ
    QVector<param_list_t> sendList;  // the differing values, in position order
    QVector<uint16_t> unsendable;    // differing file addresses that do not fit a send record
    bool modelDiffers = false;
    bool versionDiffers = false;

    int compared() const { return marks.size(); }
    // Sending needs the same hardware model and at least one value to write.
    bool canSend() const { return !modelDiffers && !sendList.isEmpty(); }
    // The summary shown under the tables, one rich-text line each.
    QStringList summaryLines() const;
};

// The model and version of each side, as texts: they are compared as shown, so "012" on file
// is not the drive's "12".
struct DriveIdentityTexts {
    QString fileModel;
    QString fileVersion;
    QString driveModel;
    QString driveVersion;
};

// The largest holding address a send record can carry.
constexpr int kMaxSendAddress = 255;

// A value of the compared tables as the holding tables show it, scaled with its unit by the
// map's holding at that position ("150.0 V", a list's choice): raw words alone ("320 / 150")
// tell the user nothing. The word in decimal when the map has no holding there.
QString comparedValueText(const holding_t *mapHolding, uint16_t word);

ParamComparison compareParameters(const QVector<holding_t> &fileHoldings,
                                  const QVector<holding_t *> &driveHoldings,
                                  const DriveIdentityTexts &identity);
