#pragma once

#include <QString>

// A loopback TCP port on which a connection takes its time, like a gateway slow to accept: its
// accept queue is kept full, so the kernel drops a client's first SYN, and the connection is
// made when the client sends it again (after about a second) once letIn() has made room.
// Nothing is ever answered on a connection.
class SlowGateway {
  public:
    SlowGateway() = default;
    ~SlowGateway();
    SlowGateway(const SlowGateway &) = delete;
    SlowGateway &operator=(const SlowGateway &) = delete;

    bool start(QString *error = nullptr);
    QString endpoint() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(m_port); }
    // Makes room for one waiting connection.
    void letIn();

  private:
    int m_listener = -1;
    int m_filler = -1;
    int m_accepted = -1;
    int m_port = 0;
};
