#pragma once

#include <QStringList>
#include <functional>

#include "virtualserial.h"

// The simulated drive process (mvx-drive-sim) on one serial port or behind its TCP gateway,
// with its request log and firmware images in a temporary directory of its own.
class SimulatedDrive {
  public:
    struct Options {
        QString port;
        QString tcp;  // "[HOST:]PORT": serve over Modbus TCP (with or without a port)
        QList<int> addresses{1};
        QString mapFile;
        int speed = 115200;
        // Granted at power-up. The drive's own default is 0; most tests write parameters of
        // every level without going through the password, so the fixture's drive is unlocked.
        int accessLevel = 3;
        bool lineTiming = false;  // answers take their time on a line at `speed`
        QStringList extraArgs;
    };

    ~SimulatedDrive() { stop(); }
    bool start(const Options &options, QString *error = nullptr);  // waits for READY
    void stop() { testprocess::stop(m_process, "quit\n"); }
    // Sends one fault-injection command and waits for its "OK" acknowledgement; false on
    // "ERR", on a time-out or when the simulator is not running.
    bool command(const QString &line);
    QStringList logLines() const;  // every line of the log
    QStringList requests() const;  // the REQ lines of the log, without the "REQ " prefix
    // Polls the log, processing events, until done() holds or the time is up.
    bool waitForLog(const std::function<bool(const QStringList &)> &done, int timeoutMs = 10000) const;
    QString imagePath(const QString &controller) const { return file("images/" + controller + ".bin"); }
    // "tcp://127.0.0.1:PORT" once started with Options::tcp, else empty.
    QString tcpEndpoint() const { return m_run.tcpEndpoint; }

  private:
    QString file(const QString &name) const { return m_dir ? m_dir->filePath(name) : QString(); }
    // Consumes standard output lines up to the first for which last() holds and returns it;
    // empty on a time-out or when the simulator has exited.
    QString waitForOutputLine(const std::function<bool(const QString &)> &last, int timeoutMs);

    // What one simulator process has produced so far.
    struct Run {
        QByteArray output;
        QString tcpEndpoint;
        qint64 logOffset = 0;  // the log is read incrementally: tests poll it often while it grows
        QStringList logLines, requests;
    };

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
    mutable Run m_run;
};

// How the code under test reaches the simulated drive: a socat line with the simulator on its
// drive end, or the simulator's Modbus TCP gateway on a loopback port.
enum class Transport { Serial, Tcp };
Q_DECLARE_METATYPE(Transport)

// The two rows of a test that runs over both transports (column "transport").
void addTransportRows();


struct SimulatedBus {
    Transport transport = Transport::Serial;
    VirtualSerialPair line;
    SimulatedDrive drive;
    bool start(const SimulatedDrive::Options &o, QString *error = nullptr);
    // Restarts a stopped simulator where the code under test expects it (same line or port).
    bool restartDrive(const SimulatedDrive::Options &o, QString *error = nullptr);
    // What the code under test opens: the line's master end or tcp://127.0.0.1:PORT.
    QString endpoint() const { return transport == Transport::Tcp ? drive.tcpEndpoint() : line.masterPort(); }
    // Stops the simulator and, on a serial line, the line itself: the port is gone.
    void pullThePlug();

  private:
    bool launch(SimulatedDrive::Options options, const QString &tcp, QString *error);
};

// Starts `bus` with one drive of the example map on `transport`; says why on failure.
bool startExampleDrive(SimulatedBus &bus, Transport transport = Transport::Serial);
