#pragma once

#include <QMetaType>
#include <QVector>
#include <cstdint>

// One drive's entry of the bus overview after an exchange with it, as the worker reports it.
struct OverviewReading {
    int address = 0;
    // The drive answered this exchange; false on a time-out, an exception or a bad reply.
    bool answered = false;
    // Input register positions of the overview and, when this exchange read them, their words
    // (one per position; empty when it was the identification read or a failure).
    QVector<int> positions;
    QVector<uint16_t> words;
    // The identification holdings (status, motor version, user version, model) once read.
    QVector<uint16_t> identification;
    // Exchanges with this drive that failed since it was put in the poll list.
    int failures = 0;
};

Q_DECLARE_METATYPE(OverviewReading)
