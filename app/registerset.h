#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

#include "map/descriptors.h"

class xmlmap;

// The map options the window works with.
struct MapOptions {
    uint16_t stopIndex = 65535;
    QString testFile;
    uint16_t accessLevel = 65535;  // position of the access-level register in the input list
    uint16_t flags = 65535;        // position of the capture-status word in the input reply
    int32_t powerId = -1;
    int32_t powerIq = -1;
    int32_t powerVd = -1;
    int32_t powerVq = -1;
    int32_t col1Width = 200;
    int32_t col2Width = 100;
    int32_t col3Width = 50;
};

// The descriptor lists the window takes from the map reader. The records belong to the
// reader; these are pointer copies.
struct RegisterSet {
    QVector<holding_t *> holdings;
    QVector<block_t *> blocks;
    QVector<holding_t *> auxHoldings;
    QVector<coil_t *> coils;
    QVector<coil_t *> discreteInputs;
    QVector<input_reg_t *> inputRegisters;
    QVector<holding_t *> ramParams;
    MapOptions options;

    // Takes the lists and options, in the order and with the diagnostics of start-up.
    static RegisterSet takeFrom(const xmlmap &map);
};
