#pragma once

#include <QString>

// Where the drive is reached: a serial device ("/dev/ttyUSB0", a socat link) or a Modbus TCP
// gateway written "tcp://HOST[:PORT]" (port 502 when none is given). The port box of the
// window, every mvxctl --port and the worker read the same text through this class.
class Endpoint {
  public:
    enum class Transport { Serial, Tcp };
    static constexpr int kDefaultTcpPort = 502;

    // Never throws away the text: an endpoint that cannot be used says why in error().
    static Endpoint parse(const QString &text);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    Transport transport() const { return m_transport; }
    bool isTcp() const { return m_transport == Transport::Tcp; }

    QString device() const { return m_device; }  // serial only
    QString host() const { return m_host; }      // TCP only
    int port() const { return m_port; }          // TCP only

    // The canonical text: the device, or "tcp://HOST:PORT" with the port always written.
    QString toString() const;
    // For messages: "serial port /dev/ttyUSB0", "Modbus TCP gateway 10.0.0.5 port 502".
    QString describe() const;

  private:
    Transport m_transport = Transport::Serial;
    QString m_device;
    QString m_host;
    int m_port = 0;
    QString m_error = QStringLiteral("no port given");
};
