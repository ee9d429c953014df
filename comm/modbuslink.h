#pragma once

#include <QSerialPort>

#include "comm/endpoint.h"

class QModbusClient;
class QObject;

// Everything the worker needs to open its link to the drive. Speed and framing only mean
// something on a serial line; a gateway runs its own line behind the network.
struct ModbusLink {
    // A gateway that does not accept the connection within this time is given up.
    static constexpr int kConnectTimeoutMs = 3000;
    // Qt's clients ignore a shorter response time-out and keep the one they had (1000 ms at first).
    static constexpr int kShortestTimeoutMs = 10;

    Endpoint endpoint;
    int baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::TwoStop;

    // The one place where the transports differ: a serial master or a TCP client, with its
    // connection parameters set, 0 retries and a 50 ms time-out until the first request.
    QModbusClient *createClient(QObject *parent) const;
};
