#pragma once

#include <QString>

// Where the window's line stands as far as the window knows. The worker answers a Connect
// later with com_connected or com_disconnected (through a gateway that can take seconds),
// so what a Connect press does and whether a write may go are decided here, from that one
// value, and not from the worker's own state, which runs ahead of what the window shows.
class ConnectionGate {
  public:
    enum class Phase { Disconnected, Connecting, Connected, Reconnecting };
    enum class Press { Open, Close, Ignore };
    // What a refused write was meant to send; it names the refusal.
    enum class Write { Value, Password, CaptureRequest, Firmware };

    // What a Connect press does. Open leaves the gate Connecting and Close Disconnected (no
    // write may slip in while the worker closes); a press while connecting is ignored, and a
    // press while reconnecting closes (it ends the retries).
    Press press();
    // The worker's answers; also an open that could not even start.
    void opened() { m_phase = Phase::Connected; }
    void closed() { m_phase = Phase::Disconnected; }
    // The worker lost the line and tries it again. True when the window follows the retries;
    // false when the user has closed the line (or is opening another) meanwhile.
    bool retrying();

    Phase phase() const { return m_phase; }
    bool mayWrite() const { return m_phase == Phase::Connected; }
    // Why a write does not go, for the log area and the status bar; empty when it may go.
    QString refusal(Write what) const;

  private:
    Phase m_phase = Phase::Disconnected;
};
