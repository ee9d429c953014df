#pragma once

#include <QSerialPort>

class Endpoint;

// Line-speed and framing tables of the serial link to the drive.
namespace linesettings {

struct SpeedRow {
    int baudRate = 9600;
    int lowestPollIntervalMs = 250;
    int responseTimeoutMs = 400;
};

struct Framing {
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::TwoStop;
};

struct FlashTiming {
    int blockIntervalMs = 400;
    int responseTimeoutMs = 400;
};

// Any speed not in the table takes the 9600 row.
SpeedRow speedRow(int speed);
// Any index outside 0..3 gives no parity and two stop bits.
Framing framing(int index);
FlashTiming flashTiming(int speed);
// The poll interval for a requested poll time at a speed: never below the row's lowest.
int pollInterval(int requestedMs, int speed);

// The speed whose rows time a link. A gateway's own line is not known here: it is timed like
// the 38400 row, the first with the shortest poll interval.
constexpr int kTcpTimingSpeed = 38400;
int timingSpeed(const Endpoint &endpoint, int speed);

}  // namespace linesettings
