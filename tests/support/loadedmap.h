#pragma once

#include <QString>
#include <QVector>

#include "map/xmlmap.h"

// A register map read from a file, with the input and holding lists the worker takes. The lists
// point into `map` and live as long as this object.
struct LoadedMap {
    explicit LoadedMap(const QString &path) {
        read = map.readMap(path);
        map.getInputRegisters(inputs);
        map.getHoldings(holdings);
    }

    xmlmap map;
    QVector<input_reg_t *> inputs;
    QVector<holding_t *> holdings;
    bool read = false;
};
