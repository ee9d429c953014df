#pragma once

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QModbusRtuSerialSlave>
#include <QSet>
#include <QTimer>
#include <optional>

#include "accesslevels.h"
#include "comm/driveregisters.h"
#include "driveprofile.h"
#include "faultsettings.h"
#include "firmwarereceiver.h"
#include "linetiming.h"
#include "motionmodel.h"
#include "serialsettings.h"

class RequestLog;

// One simulated drive on the bus: a Modbus RTU server with its own registers, reached
// through its own serial device (a PtyLink end). It answers only its own address, logs
// every request and answer, applies the faults it was told to inject and plays the
// drive's side of the command register, the password registers, the capture trigger and
// the firmware function.
class DriveServer : public QModbusRtuSerialSlave {
    Q_OBJECT

  public:
    static constexpr quint16 kCommandRegister = 0;
    static constexpr quint16 kIdentificationBase = driveregisters::kIdentificationStart;
    static constexpr quint16 kPasswordBase = driveregisters::kPasswordStart;
    static constexpr quint16 kCaptureTrigger = driveregisters::kCaptureTrigger;
    static constexpr quint16 kCaptureReadyBit = driveregisters::kCaptureReadyBit;
    static constexpr int kCaptureDelayMs = 300;
    static constexpr int kMotionPeriodMs = 100;

    struct Setup {
        int address = 1;
        bool logsBroadcasts = true;  // a broadcast reaches every drive but is logged once
        QString imageDir;
        int powerUpLevel = 0;     // access level granted before any password
        bool lineTiming = false;  // answers take their time on a line at the attached speed
        double processingMs = LineTiming::kDefaultProcessingMs;
    };

    DriveServer(const DriveProfile &profile, const Setup &setup, RequestLog *log, QObject *parent = nullptr);

    // Opens the drive's serial device; the drive answers from then on.
    bool attach(const QString &device, const SerialSettings &settings, QString *error);

    int address() const { return m_setup.address; }
    FaultSettings &faults() { return m_faults; }

    // Forces an input register: the motion no longer moves it.
    bool forceInput(int position, quint16 value);
    bool forceHolding(int address, quint16 value);

  signals:
    // The answer just produced will be written; the bus delays or damages it as planned, and
    // releases it no earlier than notBefore.
    void replyPlanned(int delayMs, bool corrupt, QDeadlineTimer notBefore);

  protected:
    friend class UnitServer;  // the Modbus TCP front end answers through the same processing
    QModbusResponse processRequest(const QModbusPdu &request) override;
    QModbusResponse processPrivateRequest(const QModbusPdu &request) override;

  private:
    void buildRegisterMap();
    void loadHoldingDefaults();
    void loadCaptureData();
    void updateMotion();
    QModbusResponse settleReply(const QModbusPdu &request, const QModbusResponse &response);
    void afterWrite(const QModbusPdu &request);
    void runCommand(quint16 command);
    void checkPassword(int registerCount);
    void reportAccessLevel();
    QDeadlineTimer answerDue(const QModbusPdu &request, const QModbusResponse &response) const;
    void triggerCapture();
    void setCaptureReady(bool ready);
    quint16 holding(int address) const;
    void logEvent(const QString &text);

    const DriveProfile &m_profile;
    Setup m_setup;
    RequestLog *m_log;
    FaultSettings m_faults;
    AccessLevels m_access;
    std::optional<LineTiming> m_lineTiming;
    FirmwareReceiver m_firmware;
    MotionModel m_motion;
    QSet<int> m_forcedInputs;
    QElapsedTimer m_sinceReset;
    QElapsedTimer m_powered;
    QTimer m_motionTimer;
    QTimer m_captureTimer;
    bool m_inBroadcast = false;
};
