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
    // A gateway at a host name or address (an IPv6 address without brackets) and a port.
    static Endpoint tcp(const QString &host, int port);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    Transport transport() const { return m_transport; }
    bool isTcp() const { return m_transport == Transport::Tcp; }

    QString device() const { return m_device; }  // serial only
    QString host() const { return m_host; }      // TCP only; an IPv6 address without brackets
    int port() const { return m_port; }          // TCP only
    // The host as a URL writes it: an IPv6 address in brackets ("[::1]"), anything else as it is.
    QString hostInUrl() const;

    // The canonical text: the device, or "tcp://HOST:PORT" with the port always written.
    QString toString() const;
    // For messages: "serial port /dev/ttyUSB0", "Modbus TCP gateway 10.0.0.5 port 502",
    // "Modbus TCP gateway [::1] port 5020".
    QString describe() const;

  private:
    Transport m_transport = Transport::Serial;
    QString m_device;
    QString m_host;
    int m_port = 0;
    QString m_error = QStringLiteral("no port given");
};
