#pragma once

#include <QSerialPort>

// Line settings of the bus, shared by the external port and every drive's own device.
struct SerialSettings {
    int speed = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::TwoStop;

    // 0: none/2 stop, 1: odd/1, 2: even/1, 3: none/1, anything else: none/2.
    static SerialSettings fromFraming(int speed, int framing) {
        SerialSettings settings;
        settings.speed = speed;
        switch (framing) {
            case 1:
                settings.parity = QSerialPort::OddParity;
                settings.stopBits = QSerialPort::OneStop;
                break;
            case 2:
                settings.parity = QSerialPort::EvenParity;
                settings.stopBits = QSerialPort::OneStop;
                break;
            case 3:
                settings.stopBits = QSerialPort::OneStop;
                break;
            default:
                break;
        }
        return settings;
    }
};
