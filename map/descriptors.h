#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

// Register descriptors read from the register map. Records are allocated once by
// their reader and live as long as it does; everything else shares them by pointer.

// One choice of a list-type register.
struct item_t {
    uint16_t val = 0;
    QString text;
};

// One holding register, or one RAM parameter.
struct holding_t {
    uint16_t add = 0;
    uint16_t value = 0;   // last raw word read from the drive (or loaded from a parameter file)
    float fvalue = 0.0f;  // last scaled value
    int32_t def = 0;
    QString name;  // RAM parameters: the element's tag name; holdings: empty
    QString text;
    int32_t min = 0;
    int32_t max = 0;
    QString vis_type;
    float multiplier = 1.0f;
    QString unit;
    QString help;
    bool hidden = false;
    int32_t table = -1;
    int32_t combo = -1;
    int32_t row = 0;
    int32_t level = 0;
    QVector<item_t *> items;
};

// One input register.
struct input_reg_t {
    uint16_t add = 0;
    float fvalue = 0.0f;
    uint16_t raw = 0;
    int32_t def = 0;
    QString name;
    QString text;
    QString vis_type;
    float multiplier = 1.0f;
    QString unit;
    int32_t bg_r = 255;
    int32_t bg_g = 255;
    int32_t bg_b = 255;
    // Marked for the bus overview (the attribute overview="true").
    bool overview = false;
    QVector<item_t *> items;
};

// One named group of holdings. start..end are list positions: below 1000 an index into
// the normal holding list, 1000 or more is 1000 plus an index into the aux holding list.
struct block_t {
    QString name;
    QString query;
    QString type;
    uint16_t start = 0;
    uint16_t end = 0;
};

// One coil or discrete input. The register map has no element for these, so the lists
// stay empty; the type exists so that the tables and the data log can be written against it.
struct coil_t {
    uint16_t add = 0;
    QString name;
    bool state = false;
};

// One pending parameter write handed to the worker. Lists of these travel by value, so a
// record stays valid until the worker has written it and is released with the list.
struct param_list_t {
    uint8_t kind = 3;
    uint8_t add = 0;
    uint16_t value = 0;
    uint16_t field16 = 100;
    uint8_t field8 = 5;
};
