#include "comm/linesettings.h"

#include <algorithm>

#include "comm/endpoint.h"

namespace linesettings {

SpeedRow speedRow(int speed) {
    switch (speed) {
        case 19200:
            return {19200, 250, 200};
        case 38400:
            return {38400, 100, 150};
        case 57600:
            return {57600, 100, 75};
        case 115200:
            return {115200, 100, 250};
        default:
            return {9600, 250, 400};
    }
}

Framing framing(int index) {
    switch (index) {
        case 1:
            return {QSerialPort::OddParity, QSerialPort::OneStop};
        case 2:
            return {QSerialPort::EvenParity, QSerialPort::OneStop};
        case 3:
            return {QSerialPort::NoParity, QSerialPort::OneStop};
        default:
            return {QSerialPort::NoParity, QSerialPort::TwoStop};
    }
}

FlashTiming flashTiming(int speed) {
    switch (speedRow(speed).baudRate) {
        case 19200:
            return {250, 200};
        case 38400:
            return {100, 150};
        case 57600:
            return {100, 75};
        case 115200:
            return {40, 20};
        default:
            return {400, 400};
    }
}

int pollInterval(int requestedMs, int speed) {
    return std::max(requestedMs, speedRow(speed).lowestPollIntervalMs);
}

int timingSpeed(const Endpoint &endpoint, int speed) {
    return endpoint.isTcp() ? kTcpTimingSpeed : speed;
}

}  // namespace linesettings
