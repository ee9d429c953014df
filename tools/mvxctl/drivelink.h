#pragma once

#include <QCommandLineParser>
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <functional>
#include <memory>

class Modbus;

// What the commands that talk to a drive share: the line options, a worker wired to report
// its connection, and waiting for something to happen.
namespace drivelink {

struct LineOptions {
    QString port;  // a serial device or tcp://HOST[:PORT]
    int address = 1;
    int speed = 115200;
    int framing = 0;
    int pollTimeMs = 0;  // the poll tick; 0: the line's shortest
};

// --port, --address, --speed and --framing. With addressList, --address takes a list of drives
// ("1,2,5", "3-5"): the first is the one polled, the others are watched beside it.
void addLineOptions(QCommandLineParser &parser, bool addressList = false);
// False with a message when one of them is missing or out of range. With watched, --address is
// read as a list and its addresses after the first go there.
bool lineOptions(const QCommandLineParser &parser, LineOptions *line, QString *error,
                 QVector<int> *watched = nullptr);
// Decimal or 0x-prefixed hexadecimal.
bool parseNumber(const QString &text, int *value);

// The worker's and the map reader's debug lines are not for a command's user.
void quietDiagnostics();

// Processes events until done() holds, sleeping while none come; false when timeoutMs passes
// first (a negative timeoutMs never passes).
bool waitFor(const std::function<bool()> &done, int timeoutMs);

// A worker on the line that remembers how the connection went.
class Session {
  public:
    Session();
    ~Session();

    Modbus &worker() { return *m_worker; }
    // Configures the worker for the line and opens the port; false with the reason. Connect
    // to the worker's signals before: from then on it emits from its own thread.
    bool open(const LineOptions &line, int inputCount, int holdingCount, QString *error);

    // Receives the worker's signals in the thread that made the session.
    QObject &context() { return m_context; }

  private:
    QObject m_context;
    std::unique_ptr<Modbus> m_worker;
    int m_connected = 0;
    int m_disconnected = 0;
    QString m_lastMessage;
};

// The words of one ordinary input read and one holding read, as the poll cycle makes them.
struct Reading {
    QVector<uint16_t> inputs;
    QVector<uint16_t> holdings;
    bool haveInputs = false;
    bool haveHoldings = false;
};

// Opens the line, waits for one input and one holding reply (a few seconds at most) and closes
// it; false with the reason when the port does not open or the drive does not answer.
bool readDrive(const LineOptions &line, int inputCount, int holdingCount, Reading *reading, QString *error);

}  // namespace drivelink
