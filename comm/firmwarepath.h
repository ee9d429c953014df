#pragma once

#include <QString>
#include <QVector>
#include <cstdint>

// What a firmware file's path says: which controller it is for and, optionally, the model.
struct FirmwarePathInfo {
    enum class Target { None, Motor, User };

    struct ModelPiece {
        int index = 0;   // position of the piece in the path split at '_'
        QString digits;  // the four hexadecimal characters
        uint16_t model = 0;
    };

    Target target = Target::None;
    QVector<ModelPiece> modelPieces;  // every piece "0xHHHH" in path order; the last one wins

    bool hasModel() const { return !modelPieces.isEmpty(); }
    uint16_t model() const { return modelPieces.isEmpty() ? 0 : modelPieces.last().model; }
};

FirmwarePathInfo parseFirmwarePath(const QString &path);
