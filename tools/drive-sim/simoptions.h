#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The simulator's command line.
struct SimOptions {
    QString port;
    QString tcp;  // [HOST:]PORT for Modbus TCP
    int speed = 115200;
    int framing = 0;
    QList<int> addresses;
    QString mapFile;
    QString logFile;
    QString imageDir;
    std::optional<quint16> model;
    std::optional<quint16> version;
    std::optional<quint16> userVersion;
    std::optional<quint16> status;
    int accessLevel = 0;
    bool lineTiming = false;
    int processingMs = 1;
    bool quitOnEof = false;
    bool help = false;
};

// False with a message on a bad or missing argument.
bool parseSimOptions(const QStringList &arguments, SimOptions *options, QString *error);
QString simUsage();
