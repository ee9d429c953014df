#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "comm/endpoint.h"
#include "comm/reconnectbackoff.h"

class QTcpSocket;
class QTimer;

// Brings a lost line back without a click: checks every kPresenceCheckMs whether the line is
// there again (a serial device path exists; a gateway accepts a TCP connection, which is then
// dropped at once) and asks for an open attempt when the back-off says one is due. The owner
// makes the attempt and reports a failure; an attempt that opens the line ends the retries
// (stop()). Lives in the worker's thread.
class Reconnector : public QObject {
    Q_OBJECT

  public:
    static constexpr int kPresenceCheckMs = 250;
    // A gateway that neither accepts nor refuses within this time counts as absent this time.
    static constexpr int kProbeTimeoutMs = 1000;

    explicit Reconnector(QObject *parent = nullptr);

    // The line to endpoint was lost: retries begin.
    void start(const Endpoint &endpoint);
    void stop();
    bool isActive() const { return m_backoff.isActive(); }
    // The attempt last asked for by attemptDue did not open the line.
    void attemptFailed();

  signals:
    void attemptDue(int attempt);
    // The status to show while waiting, sent when it changes.
    void countdown(int attempt, int seconds);

  private:
    void tick();
    void checkPresence();
    void probeGateway();
    void endProbe(bool present);
    void showCountdown();

    QTimer *m_timer;
    QElapsedTimer m_clock;
    ReconnectBackoff m_backoff;
    Endpoint m_endpoint;
    QTcpSocket *m_probe = nullptr;
    QTimer *m_probeTimer;
    bool m_attempting = false;
    int m_shownAttempt = -1;
    int m_shownSeconds = -1;
};
